#include "shell/startup.h"

#include "shell/shell_texts.h"

namespace vorn {

void ReloadPairs(platform::FileSystem& fs, Application& app) {
  PairLoadContext context;
  context.nt = app.system.nt;
  context.language = app.settings.Langue;
  app.pairs = LoadFolderPairs(fs, *app.ini, app.paths.pairs_file, context);
}

StartupResult RunStartup(const ProgramOptions& options, platform::FileSystem& fs, Dialogs& dialogs,
                         Application& app) {
  const auto folder = platform::ResolveApplicationFolder(options.home);
  if (!folder.ok()) {
    dialogs.ShowMessage(MessageIcon::kCritical, folder.error().Describe());
    return {false, kExitStartupEnded};
  }
  app.paths = MakeAppPaths(*folder);
  app.ini = std::make_unique<IniFile>(fs, app.paths.configuration_file);

  // The language comes first: the next message already speaks it.
  const int16_t language = ReadLanguage(*app.ini);
  app.instance.emplace(platform::InstanceLock::TryAcquire(app.paths.app_folder));
  if (app.instance->state() == platform::InstanceLock::State::kAlreadyRunning) {
    dialogs.ShowMessage(MessageIcon::kExclamation, Tr(ShellText::kAlreadyRunning, language));
    return {false, kExitStartupEnded};
  }

  app.system = DescribeSystem(options.command_line, platform::ReadOsFacts());
  app.settings = LoadSettings(*app.ini, fs, app.paths.app_folder);

  ReloadPairs(fs, app);
  if (app.pairs.damaged_message) {
    dialogs.ShowMessage(MessageIcon::kCritical, *app.pairs.damaged_message);
    return {false, kExitStartupEnded};
  }
  if (app.system.unattended && app.pairs.first_missing_pair != 0) {
    return {false, kExitStartupEnded};  // silently, as an unattended run must
  }
  return {};
}

}  // namespace vorn
