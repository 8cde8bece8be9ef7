#include <langinfo.h>
#include <locale.h>

#include <ctime>
#include <string_view>

#include "platform/clock.h"
#include "platform/system.h"

namespace vorn::platform {
namespace {

// How a long date reads in a few languages; others take the day-month-year
// order most of them share.
const char* LongDatePattern(std::string_view locale_name) {
  const std::string_view base = locale_name.substr(0, locale_name.find_first_of(".@"));
  const std::string_view language = base.substr(0, 2);
  if (base.empty() || base == "C" || base == "POSIX" || language == "en") {
    return "%A, %B %d, %Y";
  }
  if (language == "pt" || language == "es") return "%A, %d de %B de %Y";
  if (language == "de") return "%A, %d. %B %Y";
  return "%A %d %B %Y";
}

std::string EnvironmentTimeLocale() {
  for (const char* name : {"LC_ALL", "LC_TIME", "LANG"}) {
    const std::string value = GetEnvironment(name);
    if (!value.empty()) return value;
  }
  return "C";
}

class SystemClock final : public Clock {
 public:
  LocalTime Now() override {
    const std::time_t now = std::time(nullptr);
    struct tm parts;
    ::localtime_r(&now, &parts);
    LocalTime t;
    t.year = parts.tm_year + 1900;
    t.month = parts.tm_mon + 1;
    t.day = parts.tm_mday;
    t.hour = parts.tm_hour;
    t.minute = parts.tm_min;
    t.second = parts.tm_sec;
    t.weekday = parts.tm_wday;
    return t;
  }

  std::string LongDate(const LocalTime& time) override { return FormatLongDate(time, ""); }
};

}  // namespace

std::string FormatLongDate(const LocalTime& time, const std::string& locale) {
  const std::string name = locale.empty() ? EnvironmentTimeLocale() : locale;
  locale_t handle = ::newlocale(LC_TIME_MASK, name.c_str(), static_cast<locale_t>(0));
  const bool installed = handle != static_cast<locale_t>(0);
  if (!installed) handle = ::newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));

  struct tm parts = {};
  parts.tm_year = time.year - 1900;
  parts.tm_mon = time.month - 1;
  parts.tm_mday = time.day;
  parts.tm_wday = time.weekday;
  char buffer[256];
  const size_t n = ::strftime_l(
      buffer, sizeof buffer, LongDatePattern(installed ? name : std::string("C")), &parts, handle);
  ::freelocale(handle);
  return std::string(buffer, n);
}

std::unique_ptr<Clock> MakeSystemClock() {
  return std::make_unique<SystemClock>();
}

int64_t MonotonicMilliseconds() {
  struct timespec ts;
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

}  // namespace vorn::platform
