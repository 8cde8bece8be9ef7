#include "runtime/command_line.h"

#include <optional>
#include <string_view>

namespace vorn {
namespace {

std::optional<RunMode> ModeOption(std::string_view argument) {
  if (argument == "--once") return RunMode::kOnce;
  if (argument == "--headless") return RunMode::kHeadless;
  if (argument == "--service") return RunMode::kService;
  if (argument == "--install-service") return RunMode::kInstallService;
  if (argument == "--remove-service") return RunMode::kRemoveService;
  if (argument == "--help" || argument == "-h") return RunMode::kHelp;
  if (argument == "--version") return RunMode::kVersion;
  return std::nullopt;
}

bool* FlagOption(ProgramOptions& options, std::string_view argument) {
  if (argument == "--dry-run") return &options.dry_run;
  if (argument == "--json") return &options.json;
  if (argument == "--verbose") return &options.verbose;
  return nullptr;
}

// The options that take a value, as "--name VALUE" or "--name=VALUE".
enum class Valued { kNone, kHome, kStartType, kUser };

Valued ValuedOption(std::string_view argument, std::string_view& inline_value, bool& has_inline) {
  const size_t equals = argument.find('=');
  const std::string_view name = argument.substr(0, equals);
  has_inline = equals != std::string_view::npos;
  if (has_inline) inline_value = argument.substr(equals + 1);
  if (name == "--home") return Valued::kHome;
  if (name == "--start-type") return Valued::kStartType;
  if (name == "--user") return Valued::kUser;
  return Valued::kNone;
}

std::string SetValue(ProgramOptions& options, Valued option, const std::string& value) {
  switch (option) {
    case Valued::kHome:
      if (value.empty()) return "--home needs a folder";
      options.home = value;
      return {};
    case Valued::kUser:
      if (value.empty()) return "--user needs a user name";
      options.service_user = value;
      return {};
    case Valued::kStartType:
      if (value == "automatic") {
        options.start_type = 0;
      } else if (value == "manual") {
        options.start_type = 1;
      } else if (value == "disabled") {
        options.start_type = 2;
      } else {
        return "--start-type needs automatic, manual or disabled" +
               (value.empty() ? std::string() : ", not '" + value + "'");
      }
      return {};
    case Valued::kNone:
      break;
  }
  return {};
}

void AddToCommandLine(ProgramOptions& options, const std::string& argument) {
  if (!options.command_line.empty()) options.command_line += ' ';
  options.command_line += argument;
}

// Options that make sense with some modes only: said rather than ignored.
std::string CheckCombination(const ProgramOptions& options, bool start_type_given) {
  const RunMode mode = options.mode;
  const bool unattended =
      mode == RunMode::kOnce || mode == RunMode::kHeadless || mode == RunMode::kService;
  if (start_type_given && mode != RunMode::kInstallService) {
    return "--start-type goes with --install-service only";
  }
  if (!options.service_user.empty() && mode != RunMode::kInstallService) {
    return "--user goes with --install-service only";
  }
  if (options.dry_run && mode != RunMode::kOnce) return "--dry-run goes with --once only";
  if ((options.json || options.verbose) && !unattended) {
    return std::string(options.json ? "--json" : "--verbose") +
           " goes with --once, --headless or --service";
  }
  return {};
}

}  // namespace

ProgramOptions ParseProgramOptions(const std::vector<std::string>& arguments) {
  ProgramOptions options;
  bool mode_given = false;
  bool start_type_given = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--") {
      for (++i; i < arguments.size(); ++i) AddToCommandLine(options, arguments[i]);
      break;
    }
    if (!mode_given && options.command_line.empty() && (argument == "pair" || argument == "config")) {
      // The rest belongs to the command, but for the application folder,
      // which every command needs and users put anywhere.
      options.mode = argument == "pair" ? RunMode::kPair : RunMode::kConfig;
      for (++i; i < arguments.size(); ++i) {
        std::string_view value;
        bool has_inline = false;
        if (ValuedOption(arguments[i], value, has_inline) != Valued::kHome) {
          options.command.push_back(arguments[i]);
          continue;
        }
        if (!has_inline && i + 1 < arguments.size()) value = arguments[++i];
        if (std::string error = SetValue(options, Valued::kHome, std::string(value));
            !error.empty()) {
          options.error = std::move(error);
          return options;
        }
      }
      return options;
    }
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
    if (bool* flag = FlagOption(options, argument)) {
      *flag = true;
      continue;
    }
    std::string_view value;
    bool has_inline = false;
    if (const Valued option = ValuedOption(argument, value, has_inline); option != Valued::kNone) {
      if (!has_inline) {
        if (i + 1 >= arguments.size()) value = {};
        else value = arguments[++i];
      }
      if (std::string error = SetValue(options, option, std::string(value)); !error.empty()) {
        options.error = std::move(error);
        return options;
      }
      start_type_given = start_type_given || option == Valued::kStartType;
      continue;
    }
    if (argument.starts_with("--")) {
      options.error = "unknown option " + argument + " (put it after -- to pass it on)";
      return options;
    }
    // The user's own command line (shown in the title, searched for -U).
    AddToCommandLine(options, argument);
  }
  options.error = CheckCombination(options, start_type_given);
  return options;
}

std::string UsageText() {
  return "Usage: vorn [OPTIONS] [--] [ARGS]\n"
         "       vorn [--home DIR] pair list|add|set|remove ...\n"
         "       vorn [--home DIR] config list|get|set ...\n"
         "Mirrors folder pairs one way, source onto target, on a timer.\n"
         "\n"
         "  (no option)          the desktop program\n"
         "  --once               one pass over every enabled pair, print the summary, exit\n"
         "    --dry-run          decide everything, change nothing, print what would be done\n"
         "  --headless           mirror on the schedule without a window until SIGINT/SIGTERM\n"
         "                       (SIGHUP reloads the settings and pairs between passes)\n"
         "  --service            as --headless, in service mode (what the systemd unit runs)\n"
         "  --json               with --once, --headless, --service: one JSON object a line\n"
         "                       for every entry mirrored and every pass\n"
         "  --verbose            with --headless, --service: every pass's summary, not only\n"
         "                       those that changed or met something\n"
         "  --install-service [--start-type automatic|manual|disabled] [--user NAME]\n"
         "                       install the systemd unit vorn.service\n"
         "  --remove-service     remove the systemd unit\n"
         "  --home DIR           application folder (default: $VORN_HOME, the executable's\n"
         "                       folder when writable, else ~/.config/vorn)\n"
         "  --help, --version\n"
         "\n"
         "  pair list [--json]\n"
         "  pair add SOURCE [TARGET] [--remove-obsolete] [--move] [--newer-only]\n"
         "           [--every N] [--ignore-ms] [--disabled] [--keep-versions DAYS]\n"
         "           [--exclude PATTERN]... [--ignore-hour-shift] [--hard-links]\n"
         "  pair set N OPTION...  (the options of add, and --enabled, --keep-obsolete,\n"
         "                        --copy, --any-change, --exact-ms, --no-exclude, --exact-hour,\n"
         "                        --no-hard-links,\n"
         "                        --source DIR, --target DIR)\n"
         "  pair remove N\n"
         "  config list | config get KEY | config set KEY VALUE\n"
         "\n"
         "ARGS are kept as the command line: shown in the window title; -U anywhere in them\n"
         "ends the program at start-up when a pair's folder is missing.\n"
         "\n"
         "Exit status: 0 ran as asked; 1 bad options or a refused command; 2 start-up ended\n"
         "the program; 3 a pass ended the program because a source folder vanished during\n"
         "removal; 4 the pass completed but some entries could not be mirrored.\n"
         "See man vorn for the settings, files and signals.\n";
}

}  // namespace vorn
