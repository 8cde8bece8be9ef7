#pragma once

#include "platform/file_stamp.h"
#include "platform/file_system.h"
#include "runtime/scheduler.h"
#include "runtime/startup.h"

namespace vorn {

/// Why the settings and pairs are read again.
enum class ReloadCause {
  kSignal,        ///< SIGHUP: always read, and always answered with a line
  kFilesChanged,  ///< Vorn.ini or Vorn.w changed on disk since the last read
};

/// Keeps a running session's settings and pairs in line with Vorn.ini and
/// Vorn.w, between passes only: the files are read with start-up's own
/// loaders into fresh values, and only a complete, readable pair list
/// replaces the one in use. A pair the reload leaves unchanged keeps its
/// countdown; the program's own writes (a pair's source volume) change the
/// files but nothing in use, and pass in silence.
class ConfigurationReload {
 public:
  /// Takes the files as they are now for what start-up read.
  ConfigurationReload(platform::FileSystem& fs, Application& app, Scheduler& scheduler,
                      StartupHost& host);

  /// Between two passes, once a tick: a SIGHUP received, or a timed pass
  /// due and the files changed since they were read and not since the tick
  /// before, reads them again.
  void BetweenPasses();

  /// Reads both files again and applies what changed, with one line to the
  /// host about it (none when the files changed but nothing in use did).
  void Reload(ReloadCause cause);

 private:
  struct Stamps {
    platform::FileStamp configuration;
    platform::FileStamp pairs;
    bool operator==(const Stamps&) const = default;
  };
  Stamps StampsNow() const;

  platform::FileSystem& fs_;
  Application& app_;
  Scheduler& scheduler_;
  StartupHost& host_;
  /// When the files were last read, and as the last tick found them.
  Stamps read_;
  Stamps last_seen_;
};

}  // namespace vorn
