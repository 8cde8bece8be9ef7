#include "base/list_order.h"

#include <cstdint>

namespace vorn {
namespace {

// One UTF-8 character from `text` at `pos` (advanced past it); a byte that
// does not start a valid sequence stands for itself.
char32_t NextCharacter(std::string_view text, size_t& pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  size_t length = lead < 0x80           ? 1
                  : (lead >> 5) == 0x6  ? 2
                  : (lead >> 4) == 0xE  ? 3
                  : (lead >> 3) == 0x1E ? 4
                                        : 1;
  if (pos + length > text.size()) length = 1;
  char32_t c = length == 1 ? lead : lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) {
      length = 1;
      c = lead;
      break;
    }
    c = (c << 6) | (byte(pos + i) & 0x3F);
  }
  pos += length;
  return c;
}

// The letter a Latin-1 accented letter is sorted with, lower case.
char32_t BaseLetter(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + ('a' - 'A');
  if (c < 0xC0 || c > 0xFF || c == 0xD7 || c == 0xF7) return c;
  static constexpr char kBase[] =
      "aaaaaaaceeeeiiiidnooooo*ouuuuyts"   // U+00C0..U+00DF
      "aaaaaaaceeeeiiiidnooooo/ouuuuyty";  // U+00E0..U+00FF
  return static_cast<char32_t>(kBase[c - 0xC0]);
}

// Punctuation and symbols, digits, letters (every character beyond ASCII
// counts as a letter).
int ClassOf(char32_t c) {
  if (c >= '0' && c <= '9') return 1;
  if ((c >= 'a' && c <= 'z') || c >= 0x80) return 2;
  return 0;
}

struct Key {
  int kind;
  char32_t base;
  char32_t exact;  // case folded, accent kept: "e" before "é" when all else is equal
};

Key KeyOf(char32_t c) {
  const char32_t base = BaseLetter(c);
  const char32_t folded = c >= 'A' && c <= 'Z'                    ? base
                          : (c >= 0xC0 && c <= 0xDE && c != 0xD7) ? c + 0x20
                                                                  : c;
  return {ClassOf(base), base, folded};
}

// -1, 0 or 1 comparing one level of the keys over the whole texts.
template <typename Field>
int CompareLevel(std::string_view a, std::string_view b, Field field) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const Key x = KeyOf(NextCharacter(a, i));
    const Key y = KeyOf(NextCharacter(b, j));
    const auto fx = field(x);
    const auto fy = field(y);
    if (fx != fy) return fx < fy ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

}  // namespace

bool ListOrderLess(std::string_view a, std::string_view b) {
  const int primary = CompareLevel(
      a, b, [](const Key& k) { return (static_cast<uint64_t>(k.kind) << 32) | k.base; });
  if (primary != 0) return primary < 0;
  return CompareLevel(a, b, [](const Key& k) { return k.exact; }) < 0;
}

}  // namespace vorn
