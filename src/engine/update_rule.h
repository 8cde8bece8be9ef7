#pragma once

#include <cstdint>
#include <optional>

namespace vorn {

/// Whether a target file must be updated from its source, and the time
/// difference to log.
struct UpdateDecision {
  bool due = false;
  /// With the time tolerance on: the difference that was compared (source
  /// minus target when only newer sources count, its absolute value
  /// otherwise), logged after the modification.
  std::optional<int64_t> time_delta;
};

/// The update rule. Times are 100-ns counts compared and subtracted in 64
/// bits. Newer-only never compares sizes and never overwrites a newer
/// target; the tolerance makes times closer than `max_interval` equal.
UpdateDecision DecideUpdate(uint64_t source_time, uint64_t target_time, uint64_t source_size,
                            uint64_t target_size, bool newer_only, bool tolerance,
                            int32_t max_interval);

}  // namespace vorn
