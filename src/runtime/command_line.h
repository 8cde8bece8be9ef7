#pragma once

#include <string>
#include <vector>

namespace vorn {

/// How the executable was asked to run.
enum class RunMode {
  kDesktop,         ///< the window (needs a display)
  kOnce,            ///< one pass without a window, then exit
  kHeadless,        ///< the scheduler without a window until SIGINT/SIGTERM
  kService,         ///< as kHeadless, in service mode
  kInstallService,  ///< install the systemd unit
  kRemoveService,   ///< remove the systemd unit
  kHelp,
  kVersion,
};

/// The program's own options, taken off the command line before anything
/// else sees it.
struct ProgramOptions {
  RunMode mode = RunMode::kDesktop;
  std::string home;          ///< --home DIR, empty when not given
  int start_type = 0;        ///< --start-type: 0 automatic, 1 manual, 2 disabled
  std::string command_line;  ///< the remaining arguments joined by blanks
  std::string error;         ///< why the options are unusable; empty when they are fine
};

/// Reads the arguments after the program name.
ProgramOptions ParseProgramOptions(const std::vector<std::string>& arguments);

/// The text --help prints.
std::string UsageText();

}  // namespace vorn
