#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorn {

/// A text without the blanks (spaces and tabs unless told) at its ends.
std::string_view TrimBlanks(std::string_view text, std::string_view blanks = " \t");

/// Letter case changed for A-Z and a-z only: every other byte, those of
/// UTF-8 sequences included, stays as it is whatever the locale.
constexpr char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
constexpr char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string AsciiUpper(std::string_view text);
std::string AsciiLower(std::string_view text);

/// Whether two texts are the same but for the case of A-Z.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

/// Reads delimited fields one by one. A field is either a quoted text, whose
/// content is taken as it is (delimiters and line breaks included) and
/// whatever follows its closing quote up to the next delimiter ignored, or
/// the bare text up to the next delimiter without the blanks at its ends.
/// A CR LF pair counts as one delimiter when CR is one.
class QuotedFieldReader {
 public:
  QuotedFieldReader(std::string_view text, std::string_view delimiters)
      : text_(text), delimiters_(delimiters) {}

  /// The next field, or nothing when only blanks are left.
  std::optional<std::string_view> Next();

 private:
  bool AtDelimiter() const { return delimiters_.find(text_[pos_]) != std::string_view::npos; }

  std::string_view text_;
  std::string_view delimiters_;
  size_t pos_ = 0;
};

}  // namespace vorn
