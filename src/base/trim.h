#pragma once

#include <string_view>

namespace vorn {

/// A text without the blanks (spaces and tabs unless told) at its ends.
inline std::string_view TrimBlanks(std::string_view text, std::string_view blanks = " \t") {
  const auto first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace vorn
