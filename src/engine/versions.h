#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace vorn {

/// The folder at a target's root that keeps what passes removed or
/// replaced there: one folder per pass, named by its start
/// ("2026-12-05 101502", "2026-12-05 101502-2" for a second pass of that
/// second), holding the entries at their relative paths.
/// The pass neither mirrors nor removes it.
inline constexpr std::string_view kVersionsFolder = ".vorn-versions";

/// The name of a pass's folder of versions.
std::string VersionStamp(const platform::LocalTime& time);

/// The day (days since 1970-01-01) of a pass folder's name; none for a name
/// that is not a stamp, which the purge leaves alone.
std::optional<int64_t> DayOfStamp(std::string_view name);

/// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
int64_t DayNumber(int year, int month, int day);

}  // namespace vorn
