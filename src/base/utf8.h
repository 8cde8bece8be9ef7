#pragma once

#include <string>
#include <string_view>

// File names are bytes to Linux, not text: these are the forms in which a
// name of any bytes is shown and reported without losing or hiding a byte.

namespace vorn {

/// Whether a text is well-formed UTF-8 (no overlong forms, surrogates or
/// code points past U+10FFFF).
bool IsValidUtf8(std::string_view text);

/// A text as a JSON string, quotes included: quotes, backslashes and
/// control characters escaped, each byte that is not part of well-formed
/// UTF-8 replaced by U+FFFD, so every JSON reader accepts it.
std::string JsonString(std::string_view text);

/// `"name":"text"` as JSON. A text that is not UTF-8 is written as
/// JsonString writes it, followed by `"name_hex":"..."`, its exact bytes in
/// hexadecimal, so nothing is lost.
std::string JsonField(std::string_view name, std::string_view text);

/// A text safe to write to a terminal: control characters (which could
/// move the cursor or start an escape sequence) become '?'.
std::string PrintableText(std::string_view text);

}  // namespace vorn
