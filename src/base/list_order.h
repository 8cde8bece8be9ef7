#pragma once

#include <string_view>

namespace vorn {

/// The order of the window's sorted lists: letter case and accents aside,
/// punctuation (so "[folder]" entries) first, then digits, then letters.
/// Names equal in that order keep the order they were added in when sorted
/// with a stable sort.
bool ListOrderLess(std::string_view a, std::string_view b);

}  // namespace vorn
