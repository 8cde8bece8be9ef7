#pragma once

#include <string>
#include <string_view>

namespace vorn {

/// Title of every message box, base name of the configuration and pairs
/// files, part of the log file name. Not the executable's name.
inline constexpr std::string_view kProductName = "Vorn";
/// Shown in the window title, the tray tip and the about box.
inline constexpr std::string_view kVersion = "2.2i";
/// Name of the background service in messages and event-log texts.
inline constexpr std::string_view kServiceName = "Vorn Service";

/// The name and version together, as titles, tray tips and the log show them.
inline std::string ProductLabel() {
  return std::string(kProductName) + " " + std::string(kVersion);
}

/// Exit status when the program ran as asked.
inline constexpr int kExitOk = 0;
/// Exit status for options it cannot use.
inline constexpr int kExitBadOptions = 1;
/// Exit status when start-up ended the program (another instance, the
/// unattended check, a damaged pairs file, the service question).
inline constexpr int kExitStartupEnded = 2;
/// Exit status of `vorn pair` and `vorn config` when the application folder
/// or its files cannot be read or written.
inline constexpr int kExitFolderUnusable = 2;
/// Exit status when a pass ended the program because a source folder
/// vanished during removal.
inline constexpr int kExitFatalStop = 3;
/// Exit status of --once when the pass completed but some entries could not
/// be mirrored.
inline constexpr int kExitSomeFailed = 4;

}  // namespace vorn
