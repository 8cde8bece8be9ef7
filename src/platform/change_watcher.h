#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace vorn::platform {

/// A tree the system had no more watches for: it is left to the timer.
struct UnwatchedTree {
  std::string root;
  std::string limit;  ///< the system setting that ran out, by the name its administrator sets
};

/// What one look at the watched trees found.
struct WatchNews {
  /// Something in a watched tree changed (or the system lost count of the
  /// changes) since the previous look.
  bool changed = false;
  /// When the latest change was read, in MonotonicMilliseconds; 0 before any.
  int64_t last_change_ms = 0;
  /// Trees given up since the previous look; each is named once only.
  std::vector<UnwatchedTree> given_up;
};

/// Tells that something changed in a few folder trees, never what: the pass
/// that follows finds out. Nothing here blocks for long: the folders below a
/// root get their watch a slice at each Poll, so a large tree does not hold
/// up whoever polls.
class ChangeWatcher {
 public:
  virtual ~ChangeWatcher() = default;

  /// Watches these roots (with every folder below them when `recursive`)
  /// and nothing else. Trees already watched keep their watches; a root
  /// that cannot be watched now (missing, unreadable) is tried again at the
  /// next call, a given-up one never.
  virtual void Watch(const std::vector<std::string>& roots, bool recursive) = 0;
  /// Reads what arrived, without waiting, and watches the next slice of
  /// folders still without a watch.
  virtual WatchNews Poll() = 0;
  /// Whether folders are still waiting for their watch.
  virtual bool Arming() const = 0;
  /// Sleeps up to `milliseconds`, returning early when a change arrives or
  /// a signal does.
  virtual void Wait(int milliseconds) = 0;
};

/// The system's watcher. `most_folders` caps the folders it watches; going
/// past it counts as the system's own limit running out (tests use it).
std::unique_ptr<ChangeWatcher> MakeChangeWatcher(
    size_t most_folders = std::numeric_limits<size_t>::max());

}  // namespace vorn::platform
