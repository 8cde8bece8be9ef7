#include "base/utf8.h"

namespace vorn {
namespace {

// The length of the well-formed UTF-8 sequence at `i`, or 0.
size_t Utf8Length(std::string_view text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return 1;
  size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // past U+10FFFF
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (size_t k = 2; k < length; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  return length;
}

std::string Hex(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const char b : bytes) {
    hex += kHex[static_cast<unsigned char>(b) >> 4];
    hex += kHex[static_cast<unsigned char>(b) & 15];
  }
  return hex;
}

}  // namespace

std::string JsonString(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string json = "\"";
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const size_t length = Utf8Length(text, i);
    if (length == 0) {
      json += "\\ufffd";
      ++i;
      continue;
    }
    if (length > 1) {
      json.append(text.substr(i, length));
    } else if (c == '"' || c == '\\') {
      json += '\\';
      json += static_cast<char>(c);
    } else if (c == '\n') {
      json += "\\n";
    } else if (c == '\r') {
      json += "\\r";
    } else if (c == '\t') {
      json += "\\t";
    } else if (c < 0x20) {
      json += "\\u00";
      json += kHex[c >> 4];
      json += kHex[c & 15];
    } else {
      json += static_cast<char>(c);
    }
    i += length;
  }
  return json + "\"";
}

bool IsValidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const size_t length = Utf8Length(text, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string JsonField(std::string_view name, std::string_view text) {
  std::string field = "\"" + std::string(name) + "\":" + JsonString(text);
  if (!IsValidUtf8(text)) field += ",\"" + std::string(name) + "_hex\":\"" + Hex(text) + "\"";
  return field;
}

std::string PrintableText(std::string_view text) {
  std::string printable;
  printable.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t length = Utf8Length(text, i);
    const auto c = static_cast<unsigned char>(text[i]);
    // C0 controls, DEL, the C1 controls U+0080..U+009F, and stray bytes.
    const bool control =
        length == 0 || (length == 1 && (c < 0x20 || c == 0x7F)) ||
        (length == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0);
    if (control) {
      printable += '?';
    } else {
      printable.append(text.substr(i, length));
    }
    i += length == 0 ? 1 : length;
  }
  return printable;
}

}  // namespace vorn
