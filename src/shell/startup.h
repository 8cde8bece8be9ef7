#pragma once

#include <memory>
#include <optional>

#include "platform/file_system.h"
#include "platform/system.h"
#include "settings/folder_pairs.h"
#include "settings/ini_file.h"
#include "settings/mirror_settings.h"
#include "shell/app_paths.h"
#include "shell/command_line.h"
#include "shell/dialogs.h"
#include "shell/system_info.h"

namespace vorn {

/// Exit status when start-up ended the program.
inline constexpr int kExitStartupEnded = 2;
/// Exit status when a pass ended the program because a source vanished.
inline constexpr int kExitFatalStop = 3;

/// The process-wide state the rest of the program works with, filled by
/// start-up and living for the whole run.
struct Application {
  AppPaths paths;
  SystemInfo system;
  std::unique_ptr<IniFile> ini;
  MirrorSettings settings;
  PairList pairs;
  std::optional<platform::InstanceLock> instance;
};

/// How start-up went: go on, or end the process with `exit_code`.
struct StartupResult {
  bool proceed = true;
  int exit_code = 0;
};

/// Runs start-up up to and including the loading of the pairs: application
/// folder and file paths, the language, the one-instance rule, the system
/// information, the settings and the pairs (with the "-U" rule). Messages go
/// through `dialogs`.
StartupResult RunStartup(const ProgramOptions& options, platform::FileSystem& fs, Dialogs& dialogs,
                         Application& app);

/// Reloads the pair table from disk, as after every change of the list.
/// The damaged-file message and the "-U" rule are the caller's to apply.
void ReloadPairs(platform::FileSystem& fs, Application& app);

}  // namespace vorn
