#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace vorn::platform {

/// A moment in local time, broken down.
struct LocalTime {
  int year = 1970;
  int month = 1;  ///< 1..12
  int day = 1;    ///< 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int weekday = 4;  ///< 0 Sunday .. 6 Saturday

  int SecondsOfDay() const { return hour * 3600 + minute * 60 + second; }
};

/// The time of day and the date, injected so summaries, log names and
/// midnight cases are tested exactly.
class Clock {
 public:
  virtual ~Clock() = default;
  /// The current local time.
  virtual LocalTime Now() = 0;
  /// A date in the user's long date format ("Wednesday, May 01, 2024" in an
  /// English locale).
  virtual std::string LongDate(const LocalTime& time) = 0;
};

/// The system's clock, with the long date of the LC_TIME locale.
std::unique_ptr<Clock> MakeSystemClock();

/// A long date in the locale named `locale` ("" means the environment's):
/// weekday and month names of that locale, in the order its language writes
/// a long date. Locales that are not installed fall back to English.
std::string FormatLongDate(const LocalTime& time, const std::string& locale);

/// Milliseconds of a clock that never goes back, for pacing output.
int64_t MonotonicMilliseconds();

}  // namespace vorn::platform
