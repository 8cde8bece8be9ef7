#pragma once

#include <memory>
#include <optional>

#include "macintosh/signatures.h"
#include "platform/file_system.h"
#include "platform/service_control.h"
#include "platform/system.h"
#include "config/folder_pairs.h"
#include "config/ini_file.h"
#include "config/mirror_settings.h"
#include "runtime/scheduler.h"
#include "runtime/app_paths.h"
#include "runtime/command_line.h"
#include "base/constants.h"
#include "base/dialogs.h"
#include "base/system_info.h"
#include "base/text.h"

namespace vorn {

/// The process-wide state the rest of the program works with, filled by
/// start-up and living for the whole run.
struct Application {
  AppPaths paths;
  SystemInfo system;
  std::unique_ptr<IniFile> ini;
  MirrorSettings settings;
  PairList pairs;
  SignatureTable signatures;
  std::optional<platform::InstanceLock> instance;
  bool service_mode = false;  ///< the service is installed and this process is it
};

/// The mode picture, label and tip of the main window.
struct ModeDisplay {
  bool service = false;
  std::string label;  ///< lblMode
  std::string tip;    ///< PictureMode's tip
};

/// The mode shown for an application run or for the service.
ModeDisplay ModeFor(bool service);

/// What start-up asks of the window. A run without a window draws nothing
/// and answers questions with No.
class StartupHost : public Dialogs {
 public:
  /// The window title, and the short one of lblVorn.
  virtual void SetTitle(const std::string& title, const std::string& product_label) = 0;
  virtual void ShowMode(const ModeDisplay& mode) = 0;
  /// Check marks, option groups and the lower pane, from the settings.
  virtual void ApplySettings(const MirrorSettings& settings) = 0;
  virtual void AddTrayIcon(const std::string& tip) = 0;
  virtual void RemoveTrayIcon() = 0;
  virtual void SetWaitProgressRange(int maximum) = 0;
  /// The commands that exist on the NT family only (or on the 95 family only).
  virtual void ApplySystemFeatures(SystemFamily family) = 0;
  virtual void ApplyLanguage(Language language) = 0;
  /// The pair grid, from a fresh load.
  virtual void ShowPairs(const PairList& pairs) = 0;
  virtual void MinimizeMainWindow() = 0;
};

/// How start-up went: go on, or end the process with `exit_code`.
struct StartupResult {
  bool proceed = true;
  int exit_code = kExitOk;
};

/// The start-up sequence, in its binding order: title, paths, command line,
/// language, one instance per application folder, system information,
/// signatures, application or service mode, settings, tray icon, wait
/// range, system features, captions, and the pairs with the "-U" rule.
/// Every way it can end removes the tray icon first.
StartupResult RunStartup(const ProgramOptions& options, platform::FileSystem& fs,
                         platform::ServiceControl& service, StartupHost& host, Application& app);

/// Reloads the pair table from disk, as after every change of the list.
/// The damaged-file message and the "-U" rule are the caller's to apply.
void ReloadPairs(platform::FileSystem& fs, Application& app);

/// The pair table as the files hold it now, judged with `settings` (their
/// language and log folder), without touching the one in use.
PairList LoadPairs(platform::FileSystem& fs, const Application& app,
                   const MirrorSettings& settings);

}  // namespace vorn
