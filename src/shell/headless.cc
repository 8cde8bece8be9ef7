#include "shell/headless.h"

#include <cstdio>

#include "engine/mirror_engine.h"
#include "platform/clock.h"
#include "platform/process.h"
#include "platform/terminal.h"
#include "shell/headless_host.h"
#include "shell/shell_texts.h"
#include "shell/startup.h"

namespace vorn {

int RunOnce(const ProgramOptions& options) {
  const auto fs = platform::MakePosixFileSystem();
  HeadlessHost host(stdout, stderr, platform::IsTerminal(platform::Stream::kError));
  Application app;
  if (const StartupResult started = RunStartup(options, *fs, host, app); !started.proceed) {
    return started.exit_code;
  }
  if (app.pairs.pairs.empty()) {
    host.ShowMessage(MessageIcon::kInformation,
                     Tr(ShellText::kNothingToMirror, app.settings.Langue));
    return 0;
  }

  const auto clock = platform::MakeSystemClock();
  DailyLog log(*fs, app.settings, *clock);
  WarningChannels warnings{host, log, nullptr, app.system, platform::StartDetachedShellCommand};
  MirrorEngine engine(MirrorEnvironment{
      *fs, *clock, app.system, app.settings, app.pairs.pairs, log, host, warnings, {}});
  host.SetLanguage(app.settings.Langue);
  host.SetFilesSeenSource([&engine] { return engine.counters().FilesSeen; });

  platform::CatchStopSignals();
  host.SetIdle(false);
  const PassEnd end = engine.RunMirrorPass(PassKind::kStartCommand);
  return end == PassEnd::kFatalStop ? kExitFatalStop : 0;
}

}  // namespace vorn
