#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vorn {

/// A number box with up and down arrows between two limits (the default
/// interval 1..32767, the purge limit 2..366): what an arrow click makes of
/// the box's text, and whether a limit message shows.
struct LimitedNumber {
  int32_t minimum;
  int32_t maximum;

  struct Step {
    std::string text;         ///< the box's new text
    bool at_minimum = false;  ///< the lower-limit message shows
    bool at_maximum = false;  ///< the upper-limit message shows
  };

  /// One arrow click from the text in the box (read as a leading number).
  Step Arrow(const std::string& text, bool up) const;
  /// The accepted value of the text for OK (rounded, halves to even), or
  /// nothing when it reads outside the limits (a text without a number
  /// reads as 0).
  std::optional<int16_t> Accept(const std::string& text) const;
};

/// The default interval in seconds.
inline constexpr LimitedNumber kTemporisationLimits{1, 32767};
/// Seconds of quiet after a change in a source before its early pass (0: off).
inline constexpr LimitedNumber kWatchQuietLimits{0, 3600};
/// The purge limit in days (log files kept).
inline constexpr LimitedNumber kPurgeLimits{2, 366};
/// Days a pair keeps what passes removed or replaced in its target (0: none).
inline constexpr LimitedNumber kKeepVersionsLimits{0, 3650};
/// The retention of a new pair.
inline constexpr int32_t kDefaultKeepVersionsDays = 30;
/// Event-loop turns per yield point (the performance bar's ends).
inline constexpr LimitedNumber kPerformanceLimits{1, 100};
/// Threads that read the disk for a pass, its own included (0: as many as
/// suit the machine).
inline constexpr LimitedNumber kHelpersLimits{0, 64};

}  // namespace vorn
