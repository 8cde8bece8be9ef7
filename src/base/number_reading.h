#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vorn {

/// The leading decimal number of a text, as a text-to-number scan reads it:
/// blanks first, then an optional sign, digits, a decimal point and an
/// exponent. "12", "12 s" and "12abc" give 12; text without a leading number
/// gives 0.
double LeadingNumber(std::string_view text);

/// A number rounded to the nearest integer, halves to the even neighbour
/// (2.5 gives 2, 3.5 gives 4), held in 16 bits; values out of range stop at
/// the nearest bound.
int16_t ToInteger(double value);

/// The same in 32 bits.
int32_t ToLong(double value);

/// The number a whole text holds (blanks around it allowed), or nothing:
/// "12" and " 1e3 " are numbers, "12abc" and "" are not.
std::optional<double> WholeNumber(std::string_view text);

/// LeadingNumber then ToInteger: how a 16-bit setting is read.
inline int16_t ReadInteger(std::string_view text) {
  return ToInteger(LeadingNumber(text));
}
/// LeadingNumber then ToLong: how a 32-bit setting is read.
inline int32_t ReadLong(std::string_view text) {
  return ToLong(LeadingNumber(text));
}

}  // namespace vorn
