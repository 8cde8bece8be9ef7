#include "config/limits.h"

#include "base/number_reading.h"

namespace vorn {

LimitedNumber::Step LimitedNumber::Arrow(const std::string& text, bool up) const {
  const double value = LeadingNumber(text);
  Step step;
  int64_t v = ToLong(up ? value + 1 : value - 1);
  if (up) {
    if (v > maximum) v = maximum;
    step.at_maximum = v == maximum;
  } else if (v <= minimum) {
    v = minimum;
    step.at_minimum = true;
  }
  step.text = std::to_string(v);
  return step;
}

std::optional<int16_t> LimitedNumber::Accept(const std::string& text) const {
  const double value = LeadingNumber(text);
  if (value < minimum || value > maximum) return std::nullopt;
  return ToInteger(value);
}

}  // namespace vorn
