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

/// What the rule compares of one side: its time as a 100-ns count, and its size.
struct FileStamp {
  uint64_t time = 0;
  uint64_t size = 0;
};

/// The pair's and the settings' say in the rule.
struct UpdatePolicy {
  bool newer_only = false;    ///< only a newer source replaces its target
  bool tolerance = false;     ///< times closer than `max_interval` count as equal
  int32_t max_interval = 0;   ///< in 100-ns units
  /// The coarsest step of the times the target keeps (100-ns units): times
  /// closer than that are equal, with or without the tolerance.
  int64_t granularity = 1;
  /// A difference of one hour (give or take the granularity) counts as
  /// none: FAT keeps local times, which move by an hour with daylight saving.
  bool ignore_hour_shift = false;
};

/// The update rule. Times are compared and subtracted in 64 bits.
/// Newer-only never compares sizes and never overwrites a newer target.
UpdateDecision DecideUpdate(const FileStamp& source, const FileStamp& target,
                            const UpdatePolicy& policy);

}  // namespace vorn
