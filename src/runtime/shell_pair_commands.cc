// `vorn pair list|add|set|remove`: the pair list edited by the window's own
// functions, so the files come out as the window writes them.

#include "runtime/shell_command_parts.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "base/constants.h"
#include "base/number_reading.h"
#include "base/strings.h"
#include "config/exclusions.h"
#include "config/limits.h"
#include "config/pair_danger.h"
#include "config/pair_settings.h"
#include "platform/path.h"
#include "runtime/pair_list.h"

namespace vorn {
namespace {

constexpr std::string_view kUsage =
    "Usage: vorn [--home DIR] pair list [--json]\n"
    "       vorn [--home DIR] pair add SOURCE [TARGET] [OPTION...]\n"
    "       vorn [--home DIR] pair set N OPTION...\n"
    "       vorn [--home DIR] pair remove N\n"
    "Options: --enabled | --disabled, --every N (1 = every pass, else 2..64000),\n"
    "         --copy | --move, --remove-obsolete | --keep-obsolete,\n"
    "         --any-change | --newer-only, --exact-ms | --ignore-ms,\n"
    "         --keep-versions DAYS (0 = none), --exclude PATTERN (repeatable),\n"
    "         --no-exclude, --exact-hour | --ignore-hour-shift,\n"
    "         --hard-links | --no-hard-links;\n"
    "         with set also --source DIR, --target DIR.\n";

// What a command asks of a pair; none where it leaves a setting alone.
struct PairRequest {
  std::optional<bool> enabled;
  std::optional<std::string> every;
  std::optional<bool> move;
  std::optional<bool> remove;
  std::optional<bool> newer_only;
  std::optional<bool> ignore_ms;
  std::optional<bool> hour_shift;
  std::optional<bool> hard_links;
  std::optional<std::string> keep_versions;
  bool no_exclude = false;              ///< the pair's patterns are dropped first
  std::vector<std::string> exclude;     ///< patterns added
  std::optional<std::string> source;
  std::optional<std::string> target;
  std::vector<std::string> operands;

  bool ChangesSettings() const {
    return enabled || every || move || remove || newer_only || ignore_ms || hour_shift ||
           hard_links || keep_versions || no_exclude || !exclude.empty();
  }
};

struct Switch {
  std::string_view on;
  std::string_view off;
  std::optional<bool> PairRequest::*field;
};
constexpr Switch kSwitches[] = {
    {"--enabled", "--disabled", &PairRequest::enabled},
    {"--move", "--copy", &PairRequest::move},
    {"--remove-obsolete", "--keep-obsolete", &PairRequest::remove},
    {"--newer-only", "--any-change", &PairRequest::newer_only},
    {"--ignore-ms", "--exact-ms", &PairRequest::ignore_ms},
    {"--ignore-hour-shift", "--exact-hour", &PairRequest::hour_shift},
    {"--hard-links", "--no-hard-links", &PairRequest::hard_links},
};

enum class FolderOptions { kRefused, kAccepted };

// Reads the words after the action; the reason they are unusable, or empty.
std::string ReadRequest(const std::vector<std::string>& words, FolderOptions folders,
                        PairRequest& request) {
  bool operands_only = false;
  for (size_t i = 1; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (operands_only || !word.starts_with("--")) {
      request.operands.push_back(word);
      continue;
    }
    if (word == "--") {
      operands_only = true;
      continue;
    }
    const size_t equals = word.find('=');
    const std::string name = word.substr(0, equals);
    bool matched = false;
    for (const Switch& option : kSwitches) {
      if (name != option.on && name != option.off) continue;
      if (equals != std::string::npos) return name + " takes no value";
      const bool on = name == option.on;
      std::optional<bool>& field = request.*option.field;
      if (field && *field != on) {
        return std::string(option.on) + " and " + std::string(option.off) +
               " contradict each other";
      }
      field = on;
      matched = true;
    }
    if (matched) continue;
    if (name == "--no-exclude") {
      if (equals != std::string::npos) return name + " takes no value";
      request.no_exclude = true;
      continue;
    }
    std::optional<std::string> pattern;
    std::optional<std::string>* valued =
        name == "--every"                                           ? &request.every
        : name == "--keep-versions"                                 ? &request.keep_versions
        : name == "--exclude"                                       ? &pattern
        : name == "--source" && folders == FolderOptions::kAccepted ? &request.source
        : name == "--target" && folders == FolderOptions::kAccepted ? &request.target
                                                                    : nullptr;
    if (valued == nullptr) return "unknown option " + name;
    if (equals != std::string::npos) {
      *valued = word.substr(equals + 1);
    } else if (i + 1 < words.size()) {
      *valued = words[++i];
    } else {
      return name + " needs a value";
    }
    if (valued->value().empty()) return name + " needs a value";
    if (pattern) {
      if (const std::string problem = Exclusions::ProblemOf(*pattern); !problem.empty()) {
        return "--exclude " + *pattern + ": " + problem;
      }
      request.exclude.push_back(std::move(*pattern));
    }
  }
  if (request.move == true && request.remove == true) {
    return "--move and --remove-obsolete exclude each other: a moving pair removes nothing "
           "from its target";
  }
  if (request.move == true && request.newer_only == true) {
    return "--move and --newer-only exclude each other: a moving pair has no update rule";
  }
  return {};
}

// A message box's text inside a sentence.
std::string Sentence(std::string text) {
  if (!text.empty()) text[0] = AsciiLower(text[0]);
  return text;
}

// The per-pair dialog as the request would leave it; the reason it cannot, or
// empty. `number` names the pair in messages.
std::string ApplyRequest(const PairRequest& request, SystemFamily family, int number,
                         PairSettingsForm& form) {
  if (request.enabled) form.enabled = *request.enabled;
  if (request.every) {
    const std::string& every = *request.every;
    const bool digits = every.find_first_not_of("0123456789") == std::string::npos;
    if (digits && every.size() < 10 && ReadLong(every) == 1) {
      form.specific_interval = false;
    } else {
      const std::string error =
          IntervalCountError(every, kEnglish, IntervalErrorPlace::kMessageBox);
      if (!digits || !error.empty()) {
        return "--every " + every + ": " + (digits ? Sentence(error) : "not a whole number") +
               " (1 for every pass)";
      }
      form.specific_interval = true;
      form.interval_count = std::to_string(ReadLong(every));
    }
  }
  if (request.move) SetMove(form, *request.move, family);
  const std::string pair = number > 0 ? "pair " + std::to_string(number) : "the pair";
  if (request.remove) {
    if (*request.remove && !form.remove_allowed) {
      return pair +
             " moves its files and a moving pair removes nothing from its target; "
             "add --copy to remove obsolete files";
    }
    if (form.remove_allowed) SetRemove(form, *request.remove);
  }
  if (request.newer_only) {
    if (*request.newer_only && !form.update_rule_allowed) {
      return pair +
             " moves its files and a moving pair has no update rule; add --copy for "
             "--newer-only";
    }
    if (form.update_rule_allowed) form.newer_only = *request.newer_only;
  }
  if (request.ignore_ms) form.tolerance = *request.ignore_ms;
  if (request.hour_shift) form.hour_shift = *request.hour_shift;
  if (request.hard_links) form.hard_links = *request.hard_links;
  if (request.keep_versions) {
    form.keep_versions = *request.keep_versions;
    if (!SafetyNetError(form, kEnglish).empty()) {
      return "--keep-versions " + *request.keep_versions + ": days must be a whole number from " +
             std::to_string(kKeepVersionsLimits.minimum) + " to " +
             std::to_string(kKeepVersionsLimits.maximum) + " (0 keeps none)";
    }
  }
  if (request.no_exclude) form.exclusions.clear();
  for (const std::string& pattern : request.exclude) {
    form.exclusions += (form.exclusions.empty() ? "" : "|") + pattern;
  }
  return {};
}

int ListPairs(const Application& app, const PairRequest& request, bool json) {
  if (!request.operands.empty() || request.ChangesSettings() || request.source || request.target) {
    return RefuseUsage("pair list takes no argument but --json", kUsage);
  }
  for (size_t i = 0; i < app.pairs.pairs.size(); ++i) {
    const std::string text = json ? PairJson(app.pairs.pairs[i], app.pairs.rows[i])
                                  : PairText(app.pairs.pairs[i], app.pairs.rows[i]);
    std::fputs(text.c_str(), stdout);
  }
  return kExitOk;
}

// The pair number N of `pair set N` and `pair remove N`; 0 when it names none.
int PairNumber(const Application& app, const std::string& word) {
  if (word.empty() || word.size() > 5 ||
      word.find_first_not_of("0123456789") != std::string::npos) {
    return 0;
  }
  const int number = std::stoi(word);
  return number >= 1 && static_cast<size_t>(number) <= app.pairs.pairs.size() ? number : 0;
}

std::string NoSuchPair(const Application& app, const std::string& word) {
  return "no pair '" + word + "': the list holds " + std::to_string(app.pairs.pairs.size()) +
         (app.pairs.pairs.size() == 1 ? " pair" : " pairs") + " (vorn pair list)";
}

// The pair and the line about the running instance, once a change is saved.
int Done(const ShellFolder& folder, const std::string& what, int number) {
  std::printf("%s\n", what.c_str());
  if (number > 0) {
    const size_t row = static_cast<size_t>(number) - 1;
    std::fputs(PairText(folder.app.pairs.pairs[row], folder.app.pairs.rows[row]).c_str(), stdout);
  }
  std::printf("%s\n", RunningInstanceLine(folder.holder).c_str());
  return kExitOk;
}

int Unsaved(const Application& app) {
  return FolderUnusable("could not save the pairs to " + app.paths.pairs_file + " and " +
                        app.paths.configuration_file);
}

// What the window would show in the grid, said before it surprises anyone.
void NoteOddities(const Application& app, int number) {
  const FolderPair& pair = app.pairs.pairs[static_cast<size_t>(number) - 1];
  const PairRow& row = app.pairs.rows[static_cast<size_t>(number) - 1];
  for (const auto& [exists, path] :
       {std::pair{row.source_exists, &pair.Source}, std::pair{row.target_exists, &pair.Target}}) {
    if (exists) continue;
    std::fprintf(stderr, "vorn: note: %s does not exist; the pair is skipped until it does\n",
                 ShownPath(*path).c_str());
  }
  for (const FolderPair& other : app.pairs.pairs) {
    if (other.Number != pair.Number && other.Source == pair.Source && other.Target == pair.Target) {
      std::fprintf(stderr, "vorn: note: pair %d has the same folders\n", other.Number);
      break;
    }
  }
}

// A folder typed at the shell, made absolute; false (and the refusal said)
// when the working directory is gone.
bool TypedFolder(const std::string& typed, std::string& folder) {
  folder = platform::AbsolutePath(typed);
  if (folder.empty()) Refuse("cannot make " + ShownPath(typed) + " absolute: no working directory");
  return !folder.empty();
}

int AddPair(ShellFolder& folder, const PairRequest& request) {
  Application& app = folder.app;
  if (request.operands.empty() || request.operands.size() > 2 || request.operands[0].empty()) {
    return RefuseUsage("pair add takes SOURCE and an optional TARGET", kUsage);
  }
  if (const std::string blocker = PairEditBlocker(folder.holder); !blocker.empty()) {
    return Refuse(blocker);
  }
  if (app.pairs.pairs.size() >= static_cast<size_t>(kMaxPairs)) {
    return Refuse("the list already holds the most pairs there can be (" +
                  std::to_string(kMaxPairs) + ")");
  }
  std::string source;
  std::string target;
  if (!TypedFolder(request.operands[0], source)) return kExitBadOptions;
  if (request.operands.size() == 2 && !TypedFolder(request.operands[1], target)) {
    return kExitBadOptions;
  }
  FolderPair pair = NewPair(app, source);
  // In the window a pair gets a target or settings of its own only once it
  // is added and loaded again, which gives every setting its text.
  if (!target.empty() || request.ChangesSettings()) GiveDefaultTexts(pair);
  if (!target.empty()) SetPairFolder(pair, PairSide::kTarget, target);
  if (pair.Target.empty()) {
    return Refuse("no TARGET given and no default target prefix applies to " + ShownPath(source) +
                  " (vorn config set target-prefix DIR)");
  }
  if (const PairDanger danger = DangerOfPair(app, pair.Source, pair.Target);
      danger != PairDanger::kNone) {
    return Refuse(DangerReason(danger) + ": " + ShownPath(pair.Source) + " -> " +
                  ShownPath(pair.Target));
  }
  if (request.ChangesSettings()) {
    PairSettingsForm form = OpenPairSettings(pair, app.system.family());
    if (const std::string why = ApplyRequest(request, app.system.family(), 0, form); !why.empty()) {
      return Refuse(why);
    }
    ApplyPairSettings(pair, form);
  }
  if (!AppendPair(folder.fs, app, pair)) return Unsaved(app);
  NoteOddities(app, static_cast<int>(app.pairs.pairs.size()));
  return Done(folder, "Added pair " + std::to_string(app.pairs.pairs.size()) + ".",
              static_cast<int>(app.pairs.pairs.size()));
}

int SetPair(ShellFolder& folder, const PairRequest& request) {
  Application& app = folder.app;
  if (request.operands.size() != 1 ||
      (!request.ChangesSettings() && !request.source && !request.target)) {
    return RefuseUsage("pair set takes a pair number and at least one option", kUsage);
  }
  const int number = PairNumber(app, request.operands[0]);
  if (number == 0) return Refuse(NoSuchPair(app, request.operands[0]));
  if (const std::string blocker = PairEditBlocker(folder.holder); !blocker.empty()) {
    return Refuse(blocker);
  }
  FolderPair changed = *app.pairs.PairOfRow(number - 1);
  for (const auto& [typed, side] : {std::pair{&request.source, PairSide::kSource},
                                    std::pair{&request.target, PairSide::kTarget}}) {
    std::string path;
    if (!*typed) continue;
    if (!TypedFolder(**typed, path)) return kExitBadOptions;
    SetPairFolder(changed, side, path);
  }
  if (request.source || request.target) {
    if (const PairDanger danger = DangerOfPair(app, changed.Source, changed.Target);
        danger != PairDanger::kNone) {
      return Refuse(DangerReason(danger) + ": " + ShownPath(changed.Source) + " -> " +
                    ShownPath(changed.Target));
    }
  }
  if (request.ChangesSettings()) {
    PairSettingsForm form = OpenPairSettings(changed, app.system.family());
    if (const std::string why = ApplyRequest(request, app.system.family(), number, form);
        !why.empty()) {
      return Refuse(why);
    }
    ApplyPairSettings(changed, form);
  }
  *app.pairs.PairOfRow(number - 1) = changed;
  // Settings alone are what the per-pair dialog writes; a new folder saves
  // the whole list, as the window's folder edits do.
  if (request.source || request.target) {
    if (!SavePairList(folder.fs, app)) return Unsaved(app);
  } else {
    if (!WritePairSettings(*app.ini, changed)) {
      return FolderUnusable("could not write " + app.paths.configuration_file);
    }
    ReloadPairs(folder.fs, app);
  }
  if (request.source || request.target) NoteOddities(app, number);
  return Done(folder, "Changed pair " + std::to_string(number) + ".", number);
}

int RemovePair(ShellFolder& folder, const PairRequest& request) {
  Application& app = folder.app;
  if (request.operands.size() != 1 || request.ChangesSettings() || request.source ||
      request.target) {
    return RefuseUsage("pair remove takes one pair number", kUsage);
  }
  const int number = PairNumber(app, request.operands[0]);
  if (number == 0) return Refuse(NoSuchPair(app, request.operands[0]));
  if (const std::string blocker = PairEditBlocker(folder.holder); !blocker.empty()) {
    return Refuse(blocker);
  }
  const FolderPair removed = *app.pairs.PairOfRow(number - 1);
  const size_t count = app.pairs.pairs.size();
  if (!RemovePairRows(folder.fs, app, number - 1, number - 1)) return Unsaved(app);
  std::string what = "Removed pair " + std::to_string(number) + ": " + ShownPath(removed.Source) +
                     " -> " + ShownPath(removed.Target) + "; the folders are left as they are.";
  if (static_cast<size_t>(number) + 1 == count) {
    what += "\nPair " + std::to_string(count) + " is now pair " + std::to_string(number) + ".";
  } else if (static_cast<size_t>(number) < count) {
    what += "\nPairs " + std::to_string(number + 1) + " to " + std::to_string(count) +
            " are now numbered " + std::to_string(number) + " to " + std::to_string(count - 1) +
            ".";
  }
  return Done(folder, what, 0);
}

}  // namespace

int CheckPairAction(const std::vector<std::string>& words) {
  if (words.empty()) return RefuseUsage("pair needs an action", kUsage);
  const std::string& action = words[0];
  if (action != "list" && action != "add" && action != "set" && action != "remove") {
    return RefuseUsage("unknown pair action '" + action + "'", kUsage);
  }
  return kExitOk;
}

int RunPairCommand(ShellFolder& folder, const std::vector<std::string>& words, bool json) {
  const std::string& action = words[0];
  PairRequest request;
  const FolderOptions folders =
      action == "set" ? FolderOptions::kAccepted : FolderOptions::kRefused;
  std::vector<std::string> rest = words;
  if (action == "list") {
    // --json belongs to the listing alone.
    std::erase_if(rest, [&json](const std::string& word) {
      if (word != "--json") return false;
      json = true;
      return true;
    });
  }
  if (const std::string why = ReadRequest(rest, folders, request); !why.empty()) {
    return RefuseUsage(why, kUsage);
  }
  if (action == "list") return ListPairs(folder.app, request, json);
  if (action == "add") return AddPair(folder, request);
  if (action == "set") return SetPair(folder, request);
  return RemovePair(folder, request);
}

}  // namespace vorn
