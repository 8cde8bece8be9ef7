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

  /// Whether either file is another one, or another size or time, than
  /// when it was last read.
  bool FilesChanged() const;

  /// Between two passes: a SIGHUP received, or a timed pass due and the
  /// files changed, reads them again.
  void BetweenPasses();

  /// Reads both files again and applies what changed, with one line to the
  /// host about it (none when the files changed but nothing in use did).
  void Reload(ReloadCause cause);

 private:
  void TakeStamps();

  platform::FileSystem& fs_;
  Application& app_;
  Scheduler& scheduler_;
  StartupHost& host_;
  platform::FileStamp configuration_stamp_;
  platform::FileStamp pairs_stamp_;
};

}  // namespace vorn
