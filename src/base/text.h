#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vorn {

/// The interface language, by the code `Langue` stores. A code read from the
/// file is kept as it is; every other value, kUnset (no key) included,
/// selects English.
enum class Language : int16_t {
  kUnset = 0,
  kFrench = 1,
  kPortuguese = 2,
  kEnglish = 3,
};
using enum Language;

/// Which variants a text really has. Each text stores all three; a missing
/// variant repeats the one that serves in its place, so every text is picked
/// by the same rule.
enum class TextForms : uint8_t {
  kThree,                ///< French, Portuguese and English
  kFrenchEnglish,        ///< Portuguese shows the English text
  kFrenchForPortuguese,  ///< Portuguese shows the French text
  kInvariant,            ///< the same words in every language
  kPortugueseOnly,       ///< a word only Portuguese needs; empty elsewhere
};

/// One user-visible text in the three languages.
struct Text {
  TextForms forms;
  std::string_view french;
  std::string_view portuguese;
  std::string_view english;

  /// The variant for a language: French, Portuguese, else English.
  constexpr std::string_view In(Language language) const {
    return language == kFrench ? french : language == kPortuguese ? portuguese : english;
  }
};

/// One caption or tooltip of a window's control, for windows that set
/// their texts in one sweep.
struct ControlText {
  std::string control;  ///< the control's name (its objectName)
  std::string text;
  bool tooltip = false;
};

/// The texts of one subsystem, keyed by an enum whose values run 0..N-1 in
/// the order of the entries (checked when the catalogue is compiled).
template <typename Id, std::size_t N>
class Catalogue {
 public:
  struct Entry {
    Id id;
    Text text;
  };

  consteval explicit Catalogue(const std::array<Entry, N>& entries) : entries_(entries) {
    for (std::size_t i = 0; i < N; ++i) {
      if (static_cast<std::size_t>(entries_[i].id) != i) {
        throw "catalogue entry out of order";  // fails the build, never runs
      }
    }
  }

  constexpr const Text& operator[](Id id) const {
    return entries_[static_cast<std::size_t>(id)].text;
  }
  constexpr std::string_view Get(Id id, Language language) const { return (*this)[id].In(language); }
  constexpr std::span<const Entry> entries() const { return entries_; }

 private:
  std::array<Entry, N> entries_;
};

}  // namespace vorn
