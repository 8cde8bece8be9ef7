#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorn {

/// How a system family writes paths into the pairs file.
enum class PathFamily {
  kWide,  ///< UTF-16LE code units (NT family; Linux)
  kAnsi,  ///< one byte per character of the 8-bit code page (95 family)
};

/// The UTF-16 code units of a UTF-8 text. A byte that is not valid UTF-8
/// becomes the unpaired code unit 0xDC00 + byte, so nothing is lost.
std::u16string ToUtf16(std::string_view text);

/// The inverse of ToUtf16: the escaped bytes come back as they were; any
/// other unpaired surrogate takes its generalised UTF-8 form.
std::string FromUtf16(std::u16string_view units);

/// A path as the pairs file stores it: every byte of its encoded form as two
/// upper-case hexadecimal digits. In the wide family the UTF-8 path is
/// written as UTF-16LE; a byte that is not valid UTF-8 becomes the code unit
/// 0xDC00 + byte, so every Linux file name survives a save and a load.
std::string EncodeHexPath(std::string_view path, PathFamily family = PathFamily::kWide);

/// The inverse of EncodeHexPath; nothing for a text that is not an encoded
/// path (odd length, a character that is not a hexadecimal digit, half a
/// UTF-16 code unit).
std::optional<std::string> DecodeHexPath(std::string_view text,
                                         PathFamily family = PathFamily::kWide);

}  // namespace vorn
