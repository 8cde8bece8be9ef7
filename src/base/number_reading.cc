#include "base/number_reading.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "base/strings.h"

namespace vorn {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

template <typename T>
T RoundAndClamp(double value) {
  if (std::isnan(value)) return 0;
  // Round half to even explicitly: the default floating-point rounding mode
  // is not something a setting's value should depend on.
  double rounded = std::floor(value);
  const double fraction = value - rounded;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0)) rounded += 1.0;
  if (rounded <= static_cast<double>(std::numeric_limits<T>::min())) {
    return std::numeric_limits<T>::min();
  }
  if (rounded >= static_cast<double>(std::numeric_limits<T>::max())) {
    return std::numeric_limits<T>::max();
  }
  return static_cast<T>(rounded);
}

}  // namespace

double LeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  const size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const size_t digits_start = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  bool any_digit = i > digits_start;
  if (i < text.size() && text[i] == '.') {
    ++i;
    const size_t fraction_start = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    any_digit = any_digit || i > fraction_start;
  }
  if (!any_digit) return 0;
  size_t end = i;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      end = j;
    }
  }
  // from_chars on exactly the scanned characters: no locale decimal comma,
  // no hexadecimal or "inf", whatever follows. It takes no sign itself.
  const bool negative = text[start] == '-';
  const std::string_view number = text.substr(digits_start, end - digits_start);
  double value = 0;
  const auto [last, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                             std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    // Too large for a double, or so small it is zero: the exponent's sign tells.
    value =
        number.find("e-") != std::string_view::npos || number.find("E-") != std::string_view::npos
            ? 0.0
            : HUGE_VAL;
  }
  return negative ? -value : value;
}

std::optional<double> WholeNumber(std::string_view text) {
  const std::string_view trimmed = TrimBlanks(text);
  if (trimmed.empty()) return std::nullopt;
  // The leading number must use up the whole text.
  size_t i = 0;
  if (trimmed[i] == '+' || trimmed[i] == '-') ++i;
  bool digits = false;
  while (i < trimmed.size() && IsDigit(trimmed[i])) digits = ++i > 0;
  if (i < trimmed.size() && trimmed[i] == '.') {
    ++i;
    while (i < trimmed.size() && IsDigit(trimmed[i])) digits = ++i > 0;
  }
  if (!digits) return std::nullopt;
  if (i < trimmed.size() && (trimmed[i] == 'e' || trimmed[i] == 'E')) {
    size_t j = i + 1;
    if (j < trimmed.size() && (trimmed[j] == '+' || trimmed[j] == '-')) ++j;
    if (j == trimmed.size() || !IsDigit(trimmed[j])) return std::nullopt;
    while (j < trimmed.size() && IsDigit(trimmed[j])) ++j;
    i = j;
  }
  if (i != trimmed.size()) return std::nullopt;
  return LeadingNumber(trimmed);
}

int16_t ToInteger(double value) {
  return RoundAndClamp<int16_t>(value);
}

int32_t ToLong(double value) {
  return RoundAndClamp<int32_t>(value);
}

}  // namespace vorn
