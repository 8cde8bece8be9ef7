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
  kPair,            ///< `vorn pair ...`: list or edit the folder pairs
  kConfig,          ///< `vorn config ...`: read or write the global settings
  kHelp,
  kVersion,
};

/// The program's own options, taken off the command line before anything
/// else sees it.
struct ProgramOptions {
  RunMode mode = RunMode::kDesktop;
  std::string home;          ///< --home DIR, empty when not given
  int start_type = 0;        ///< --start-type: 0 automatic, 1 manual, 2 disabled
  std::string service_user;  ///< --user NAME for the unit's User= and Group=; empty: root
  bool dry_run = false;      ///< --dry-run: decide and report, change nothing
  bool json = false;         ///< --json: one JSON object per event and per pass
  bool verbose = false;      ///< --verbose: every pass's summary, not only the eventful ones
  /// The words after `pair` or `config` (the action, its arguments and its
  /// own options), for kPair and kConfig.
  std::vector<std::string> command;
  /// The command line proper: what follows "--", and the arguments that do
  /// not start with "--", joined by blanks.
  std::string command_line;
  std::string error;  ///< why the options are unusable; empty when they are fine
};

/// Reads the arguments after the program name.
ProgramOptions ParseProgramOptions(const std::vector<std::string>& arguments);

/// The text --help prints.
std::string UsageText();

}  // namespace vorn
