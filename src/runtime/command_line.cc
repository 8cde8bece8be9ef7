#include "runtime/command_line.h"

#include <optional>

namespace vorn {
namespace {

std::optional<RunMode> ModeOption(const std::string& argument) {
  if (argument == "--once") return RunMode::kOnce;
  if (argument == "--headless") return RunMode::kHeadless;
  if (argument == "--service") return RunMode::kService;
  if (argument == "--install-service") return RunMode::kInstallService;
  if (argument == "--remove-service") return RunMode::kRemoveService;
  if (argument == "--help" || argument == "-h") return RunMode::kHelp;
  if (argument == "--version") return RunMode::kVersion;
  return std::nullopt;
}

// Splits "--name=value"; gives the value of "--name VALUE" from the next argument.
bool TakeValue(const std::vector<std::string>& arguments, size_t& i, const std::string& name,
               std::string& value, bool& matched) {
  const std::string& argument = arguments[i];
  matched = false;
  if (argument == name) {
    matched = true;
    if (i + 1 >= arguments.size()) return false;
    value = arguments[++i];
    return true;
  }
  if (argument.rfind(name + "=", 0) == 0) {
    matched = true;
    value = argument.substr(name.size() + 1);
    return true;
  }
  return true;
}

}  // namespace

ProgramOptions ParseProgramOptions(const std::vector<std::string>& arguments) {
  ProgramOptions options;
  bool mode_given = false;
  bool start_type_given = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (const auto mode = ModeOption(argument)) {
      if (mode_given && options.mode != *mode) {
        options.error =
            "only one of --once, --headless, --service, --install-service, "
            "--remove-service, --help, --version may be given";
        return options;
      }
      options.mode = *mode;
      mode_given = true;
      continue;
    }
    std::string value;
    bool matched = false;
    if (!TakeValue(arguments, i, "--home", value, matched) || (matched && value.empty())) {
      options.error = "--home needs a folder";
      return options;
    }
    if (matched) {
      options.home = value;
      continue;
    }
    if (!TakeValue(arguments, i, "--start-type", value, matched)) {
      options.error = "--start-type needs automatic, manual or disabled";
      return options;
    }
    if (matched) {
      if (value == "automatic") {
        options.start_type = 0;
      } else if (value == "manual") {
        options.start_type = 1;
      } else if (value == "disabled") {
        options.start_type = 2;
      } else {
        options.error = "--start-type needs automatic, manual or disabled, not '" + value + "'";
        return options;
      }
      start_type_given = true;
      continue;
    }
    // Anything else is the user's own command line (shown in the title,
    // searched for -U), whatever it looks like.
    if (!options.command_line.empty()) options.command_line += ' ';
    options.command_line += argument;
  }
  if (start_type_given && options.mode != RunMode::kInstallService) {
    options.error = "--start-type goes with --install-service only";
  }
  return options;
}

std::string UsageText() {
  return "Usage: vorn [OPTIONS] [ARGS]\n"
         "Mirrors folder pairs one way, source onto target, on a timer.\n"
         "\n"
         "  (no option)          the desktop program\n"
         "  --once               one pass over every enabled pair, print the summary, exit\n"
         "  --headless           mirror on the schedule without a window until SIGINT/SIGTERM\n"
         "  --service            as --headless, in service mode (what the systemd unit runs)\n"
         "  --install-service [--start-type automatic|manual|disabled]\n"
         "                       install the systemd unit vorn.service\n"
         "  --remove-service     remove the systemd unit\n"
         "  --home DIR           application folder (default: $VORN_HOME, the executable's\n"
         "                       folder when writable, else ~/.config/vorn)\n"
         "  --help, --version\n"
         "\n"
         "ARGS are kept as the command line: shown in the window title; -U anywhere in them\n"
         "ends the program at start-up when a pair's folder is missing.\n"
         "\n"
         "Exit status: 0 ran as asked; 1 bad options; 2 start-up ended the program;\n"
         "3 a pass ended the program because a source folder vanished during removal.\n";
}

}  // namespace vorn
