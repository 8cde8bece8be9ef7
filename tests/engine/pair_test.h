#pragma once

// Short set-up and counts for the engine tests over dir_ "src" and "dst".

#include <string>
#include <string_view>
#include <vector>

#include "support/engine_fixture.h"

namespace vorn::testing {

class PairTest : public EngineTest {
 protected:
  static constexpr int64_t kJan2024 = 1704067200;

  const MirrorCounters& counters() { return engine_.counters(); }
  /// Files seen, created, modified, removed; folders created, removed. One
  /// comparison also catches a count that should have stayed zero.
  std::vector<int> Counts() {
    const MirrorCounters& c = engine_.counters();
    return {c.FilesSeen, c.FilesCreated, c.FilesModified, c.FilesRemoved, c.FoldersCreated,
            c.FoldersRemoved};
  }
  /// Folders (ending in "/") and files holding their own path, in order.
  void Make(std::initializer_list<std::string> entries) {
    for (const std::string& entry : entries) {
      if (entry.back() == '/') {
        dir_.MakeFolder(entry);
      } else {
        dir_.Write(entry, entry);
      }
    }
  }
  /// The same name on both sides with the given contents and times.
  void Both(const std::string& name, std::string_view source, std::string_view target,
            int64_t source_time = kJan2024, int64_t target_time = kJan2024, long source_ns = 0) {
    dir_.Write(Src(name), source);
    dir_.Write(Dst(name), target);
    dir_.SetTime(Src(name), source_time, source_ns);
    dir_.SetTime(Dst(name), target_time, 0);
  }
  void LogFileNames() {
    settings_.Logs = settings_.FichiersLogs = true;
    log_.FixDay(clock_.Now());
    log_.OpenDailyLog();
  }
  /// The full path of a target entry, as log lines show it.
  std::string T(const std::string& relative) { return dir_.Path(Dst(relative)); }
};

}  // namespace vorn::testing
