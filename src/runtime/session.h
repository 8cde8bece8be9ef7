#pragma once

#include <memory>

#include "engine/folder_warnings.h"
#include "engine/mirror_engine.h"
#include "logs/daily_log.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/service_control.h"
#include "runtime/scheduler.h"
#include "runtime/service_admin.h"
#include "runtime/startup.h"

namespace vorn {

/// Whether a session's passes act, or only say what they would do.
enum class SessionKind {
  kMirroring,
  /// Over a file system that keeps its changes to itself: no log is written
  /// and no network message sent either.
  kDryRun,
};

/// Everything that mirrors once start-up has filled the application: the
/// daily log, the scheduler, the folder warnings, the engine and the
/// service's life-cycle log, wired one way for the window and for the runs
/// without one. It lives as long as the application it was built over.
class Session {
 public:
  /// Leaves the host showing the commands of mirroring stopped.
  Session(platform::FileSystem& fs, platform::Clock& clock, platform::ServiceControl& service,
          Application& app, SchedulerHost& host, SessionKind kind = SessionKind::kMirroring);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Scheduler& scheduler() { return scheduler_; }
  const MirrorEngine& engine() const { return engine_; }

  /// The automatic start that closes start-up: with Automatique, minimise
  /// (and, with ArretAutomatique, show the notice and yield once) and start
  /// mirroring; otherwise the service process starts on its own. False when
  /// nothing was started.
  bool StartAutomatically(StartupHost& window);

 private:
  Application& app_;
  SchedulerHost& host_;
  platform::ServiceControl& service_;
  /// The passes' file system when helpers fetch ahead of them; the log goes
  /// through it too, so a log inside a mirrored tree is seen as it changes.
  std::unique_ptr<platform::FileSystem> ahead_;
  DailyLog log_;
  Scheduler scheduler_;
  WarningChannels warnings_;
  MirrorEngine engine_;
  ServiceLifecycleLog lifecycle_;
};

}  // namespace vorn
