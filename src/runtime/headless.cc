#include "runtime/headless.h"

#include <algorithm>
#include <cstdio>

#include "platform/change_watcher.h"
#include "platform/clock.h"
#include "platform/dry_run_file_system.h"
#include "platform/process.h"
#include "platform/signals.h"
#include "platform/systemd_service.h"
#include "platform/terminal.h"
#include "runtime/service_admin.h"
#include "runtime/headless_host.h"
#include "runtime/reload.h"
#include "runtime/runtime_texts.h"
#include "runtime/session.h"
#include "runtime/startup.h"

namespace vorn {
namespace {

constexpr int kTickMilliseconds = 1000;

std::unique_ptr<platform::ServiceControl> ServiceControlFor(const ProgramOptions& options) {
  // The application folder goes into the unit's command line; start-up
  // resolves it again the same way.
  const auto folder = platform::ResolveApplicationFolder(options.home);
  return platform::MakeSystemdServiceControl(platform::DefaultSystemdOptions(
      folder.ok() ? *folder : std::string(), options.mode == RunMode::kService));
}

// Ticks every second while the scheduler's timer runs, until the program
// ends or mirroring stops (a stop signal, or nothing to do any more). The
// wait between ticks ends early for a change in a source, which the
// scheduler may answer with the timed pass at once. The settings and pairs
// are read again only here, never during a pass.
void RunSchedule(Scheduler& scheduler, HeadlessHost& host, ConfigurationReload& reload,
                 platform::ChangeWatcher& watcher) {
  int64_t next_tick = platform::MonotonicMilliseconds() + kTickMilliseconds;
  bool timer_was_enabled = host.timer_enabled();
  int watch_wait = scheduler.WatchChanges();
  while (!host.ended() && !scheduler.Idle()) {
    const int64_t now = platform::MonotonicMilliseconds();
    if (host.timer_enabled() && !timer_was_enabled) next_tick = now + kTickMilliseconds;
    timer_was_enabled = host.timer_enabled();
    int64_t wait = host.timer_enabled() ? next_tick - now : kTickMilliseconds;
    if (watch_wait >= 0) wait = std::min<int64_t>(wait, watch_wait);
    if (wait > 0) watcher.Wait(static_cast<int>(wait));
    host.ProcessPendingEvents();
    if (host.ended() || scheduler.Idle()) break;
    watch_wait = scheduler.WatchChanges();
    if (host.timer_enabled() &&
        (scheduler.EarlyPassDue() || platform::MonotonicMilliseconds() >= next_tick)) {
      next_tick += kTickMilliseconds;
      reload.BetweenPasses();
      scheduler.Tick();
      // After a pass the next tick counts from its end, not in a burst
      // making up for the seconds it took.
      const int64_t after = platform::MonotonicMilliseconds();
      if (next_tick <= after) next_tick = after + kTickMilliseconds;
      watch_wait = scheduler.WatchChanges();
    }
  }
}

}  // namespace

int RunWithoutWindow(const ProgramOptions& options) {
  const bool service_run = options.mode == RunMode::kService;
  platform::CatchProcessSignals(service_run);
  const auto real_fs = platform::MakePosixFileSystem();
  // A dry run goes through start-up and its pass over a file system that
  // keeps every write to itself: trees, configuration and log alike.
  std::unique_ptr<platform::FileSystem> dry_fs;
  if (options.dry_run) dry_fs = std::make_unique<platform::DryRunFileSystem>(*real_fs);
  platform::FileSystem* const fs = dry_fs ? dry_fs.get() : real_fs.get();
  const auto service = ServiceControlFor(options);
  HeadlessHost host(stdout, stderr, platform::IsTerminal(platform::Stream::kError));
  host.SetReporting(ReportingFor(options));
  Application app;
  if (const StartupResult started = RunStartup(options, *fs, *service, host, app);
      !started.proceed) {
    return started.exit_code;
  }
  if (app.pairs.pairs.empty()) {
    host.ShowMessage(MessageIcon::kInformation,
                     Tr(ShellText::kNothingToMirror, app.settings.Langue));
    return kExitOk;
  }

  const auto clock = platform::MakeSystemClock();
  // Declared before the session that keeps a reference to it; a single
  // pass has nothing to watch for.
  const auto watcher = options.mode == RunMode::kOnce ? nullptr : platform::MakeChangeWatcher();
  Session session(*fs, *clock, *service, app, host,
                  options.dry_run ? SessionKind::kDryRun : SessionKind::kMirroring);
  host.Attach(&session, service.get());
  service->DeliverPendingEvents();

  Scheduler& scheduler = session.scheduler();
  if (options.mode == RunMode::kOnce) {
    scheduler.StartStop();
    if (options.dry_run) {
      host.ShowMessage(MessageIcon::kInformation, Tr(ShellText::kDryRunNotice, app.settings.Langue));
    }
    if (host.exit_code() == kExitOk && session.engine().counters().FilesFailed > 0) {
      return kExitSomeFailed;
    }
  } else {
    scheduler.AttachWatcher(*watcher);
    // Nobody is there to press start: mirroring starts whatever Automatique says.
    if (!session.StartAutomatically(host)) scheduler.StartStop();
    platform::CatchReloadSignal();
    ConfigurationReload reload(*fs, app, scheduler, host);
    RunSchedule(scheduler, host, reload, *watcher);
  }
  service->DeliverPendingEvents();
  return host.exit_code();
}

int AdministerService(const ProgramOptions& options) {
  const auto fs = platform::MakePosixFileSystem();
  const auto folder = platform::ResolveApplicationFolder(options.home);
  if (!folder.ok()) {
    std::fprintf(stderr, "%s: %s\n", std::string(kProductName).c_str(),
                 folder.error().Describe().c_str());
    return kExitStartupEnded;
  }
  const IniFile ini(*fs, MakeAppPaths(*folder).configuration_file);
  const Language language = ReadLanguage(ini);
  platform::SystemdOptions unit = platform::DefaultSystemdOptions(*folder, false);
  if (options.mode == RunMode::kInstallService) {
    if (const std::string refused = ChooseServiceAccount(options.service_user, unit);
        !refused.empty()) {
      std::fprintf(stderr, "vorn: %s\n", refused.c_str());
      return kExitBadOptions;
    }
  }
  const auto service = platform::MakeSystemdServiceControl(std::move(unit));
  const ServiceAction action = options.mode == RunMode::kInstallService
                                   ? InstallService(*service, options.start_type, false, language)
                                   : RemoveService(*service, language);
  if (!action.done) {
    // Already installed, or not installed: the beep and the text of a
    // message box, and the run ended without doing what it was asked.
    HeadlessHost host(stdout, stderr, false);
    host.Beep();
    host.ShowMessage(MessageIcon::kExclamation, action.state_text);
    return kExitStartupEnded;
  }
  const std::string text =
      TerminalLines(action.message.empty() ? action.state_text : action.message);
  std::printf("%s\n", text.c_str());
  return kExitOk;
}

}  // namespace vorn
