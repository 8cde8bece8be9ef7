#include "config/hex_path.h"

#include <cstdint>

namespace vorn {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
// Bytes that are not valid UTF-8 travel as these unpaired low surrogates,
// which valid UTF-8 can never produce.
constexpr uint16_t kEscapeBase = 0xDC00;

void AppendByte(std::string& out, uint8_t byte) {
  out += kHexDigits[byte >> 4];
  out += kHexDigits[byte & 15];
}

void AppendUnit(std::string& out, uint16_t unit) {
  AppendByte(out, static_cast<uint8_t>(unit & 0xFF));
  AppendByte(out, static_cast<uint8_t>(unit >> 8));
}

bool IsContinuation(uint8_t byte) {
  return (byte & 0xC0) == 0x80;
}

// Length of the valid UTF-8 sequence at `i` (strict: no overlong forms, no
// surrogates, nothing above U+10FFFF), 0 when it is not valid.
size_t ValidSequenceLength(std::string_view s, size_t i, uint32_t& code_point) {
  const auto byte = [&](size_t k) { return static_cast<uint8_t>(s[k]); };
  const uint8_t b0 = byte(i);
  if (b0 < 0x80) {
    code_point = b0;
    return 1;
  }
  size_t length;
  uint8_t low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2;
    code_point = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3;
    code_point = b0 & 0x0F;
    if (b0 == 0xE0) low = 0xA0;
    if (b0 == 0xED) high = 0x9F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4;
    code_point = b0 & 0x07;
    if (b0 == 0xF0) low = 0x90;
    if (b0 == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > s.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (size_t k = 1; k < length; ++k) {
    if (!IsContinuation(byte(i + k))) return 0;
    code_point = (code_point << 6) | (byte(i + k) & 0x3F);
  }
  return length;
}

void AppendUtf8(std::string& out, uint32_t code_point) {
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    out += static_cast<char>(0xC0 | (code_point >> 6));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    out += static_cast<char>(0xE0 | (code_point >> 12));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code_point >> 18));
    out += static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  }
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::u16string ToUtf16(std::string_view text) {
  std::u16string units;
  units.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    uint32_t code_point = 0;
    const size_t length = ValidSequenceLength(text, i, code_point);
    if (length == 0) {
      units += static_cast<char16_t>(kEscapeBase + static_cast<uint8_t>(text[i]));
      ++i;
      continue;
    }
    i += length;
    if (code_point >= 0x10000) {
      code_point -= 0x10000;
      units += static_cast<char16_t>(0xD800 + (code_point >> 10));
      units += static_cast<char16_t>(0xDC00 + (code_point & 0x3FF));
    } else {
      units += static_cast<char16_t>(code_point);
    }
  }
  return units;
}

std::string FromUtf16(std::u16string_view units) {
  std::string text;
  text.reserve(units.size());
  for (size_t k = 0; k < units.size(); ++k) {
    const char16_t unit = units[k];
    if (unit >= 0xD800 && unit <= 0xDBFF && k + 1 < units.size() && units[k + 1] >= 0xDC00 &&
        units[k + 1] <= 0xDFFF) {
      AppendUtf8(text, 0x10000 + ((unit - 0xD800u) << 10) + (units[k + 1] - 0xDC00u));
      ++k;
    } else if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF) {
      text += static_cast<char>(unit - kEscapeBase);
    } else {
      // Everything else, an unpaired surrogate written by Windows included,
      // takes its generalised UTF-8 form rather than being lost.
      AppendUtf8(text, unit);
    }
  }
  return text;
}

std::string EncodeHexPath(std::string_view path, PathFamily family) {
  std::string out;
  if (family == PathFamily::kAnsi) {
    out.reserve(path.size() * 2);
    for (const char c : path) AppendByte(out, static_cast<uint8_t>(c));
    return out;
  }
  const std::u16string units = ToUtf16(path);
  out.reserve(units.size() * 4);
  for (const char16_t unit : units) AppendUnit(out, unit);
  return out;
}

std::optional<std::string> DecodeHexPath(std::string_view text, PathFamily family) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::string bytes;
  bytes.reserve(text.size() / 2);
  for (size_t i = 0; i < text.size(); i += 2) {
    const int high = HexValue(text[i]);
    const int low = HexValue(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes += static_cast<char>(high * 16 + low);
  }
  if (family == PathFamily::kAnsi) return bytes;
  if (bytes.size() % 2 != 0) return std::nullopt;

  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t k = 0; k < units.size(); ++k) {
    units[k] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * k]) |
                                     (static_cast<uint8_t>(bytes[2 * k + 1]) << 8));
  }
  return FromUtf16(units);
}

}  // namespace vorn
