#include "runtime/reload.h"

#include <algorithm>

#include "platform/signals.h"

namespace vorn {
namespace {

enum class ReloadText {
  kReadAgain,
  kOnSignal,
  kOnChange,
  kFolderPairs,
  kNothingChanged,
  kKept,
  kCount,
};

using T = ReloadText;
using F = TextForms;

constexpr Catalogue<ReloadText, static_cast<size_t>(ReloadText::kCount)> kTexts({{
    {T::kReadAgain,
     {F::kThree, "Vorn.ini et Vorn.w relus", "Vorn.ini e Vorn.w relidos",
      "Vorn.ini and Vorn.w read again"}},
    {T::kOnSignal, {F::kInvariant, " (SIGHUP)", " (SIGHUP)", " (SIGHUP)"}},
    {T::kOnChange,
     {F::kThree, " (modifiés sur le disque)", " (alterados no disco)", " (changed on disk)"}},
    {T::kFolderPairs,
     {F::kThree, " couple(s) de dossiers", " par(es) de pastas", " folder pair(s)"}},
    {T::kNothingChanged, {F::kThree, "rien n'a changé", "nada mudou", "nothing changed"}},
    {T::kKept,
     {F::kThree, "les réglages et les couples en cours sont conservés",
      "as definições e os pares em uso são mantidos", "the settings and pairs in use are kept"}},
}});

std::string Say(ReloadText id, Language language) {
  return std::string(kTexts.Get(id, language));
}

// Why a file that is there cannot be read; empty when it can (or is not
// there, which start-up reads as empty too). Read as empty, an unreadable
// Vorn.ini would turn every disabled pair back on.
std::string Unreadable(platform::FileSystem& fs, const std::string& path) {
  if (!platform::StampOf(path).exists) return {};
  const auto text = fs.ReadFile(path);
  return text.ok() ? std::string() : text.error().Describe();
}

// A pair the reload finds unchanged keeps the countdown it has run down;
// true when every pair is unchanged.
bool KeepCountdowns(const std::vector<FolderPair>& in_use, std::vector<FolderPair>& loaded) {
  bool same = in_use.size() == loaded.size();
  for (size_t i = 0; i < std::min(in_use.size(), loaded.size()); ++i) {
    FolderPair as_loaded = loaded[i];
    as_loaded.PassCountdown = in_use[i].PassCountdown;
    if (as_loaded == in_use[i]) {
      loaded[i].PassCountdown = in_use[i].PassCountdown;
    } else {
      same = false;
    }
  }
  return same;
}

}  // namespace

ConfigurationReload::ConfigurationReload(platform::FileSystem& fs, Application& app,
                                         Scheduler& scheduler, StartupHost& host)
    : fs_(fs), app_(app), scheduler_(scheduler), host_(host) {
  read_ = last_seen_ = StampsNow();
}

ConfigurationReload::Stamps ConfigurationReload::StampsNow() const {
  return {platform::StampOf(app_.paths.configuration_file),
          platform::StampOf(app_.paths.pairs_file)};
}

void ConfigurationReload::BetweenPasses() {
  if (platform::TakeSignal(platform::ProcessSignal::kReload)) {
    Reload(ReloadCause::kSignal);
    return;
  }
  // Both files are often written one after the other (an editor, a script,
  // the shell commands): they are read once they have stood still for a
  // tick, so that a change is taken whole.
  const Stamps now = StampsNow();
  const bool still = now == last_seen_;
  last_seen_ = now;
  if (scheduler_.WaitCounter() < 1 && still && now != read_) Reload(ReloadCause::kFilesChanged);
}

void ConfigurationReload::Reload(ReloadCause cause) {
  // Stamped before reading: a change made while the files are read is
  // seen by the next look.
  read_ = last_seen_ = StampsNow();
  const Language language = app_.settings.Langue;
  const std::string heading =
      Say(T::kReadAgain, language) +
      Say(cause == ReloadCause::kSignal ? T::kOnSignal : T::kOnChange, language) + ": ";
  for (const std::string* path : {&app_.paths.configuration_file, &app_.paths.pairs_file}) {
    if (const std::string why = Unreadable(fs_, *path); !why.empty()) {
      host_.ShowMessage(MessageIcon::kExclamation, heading + why + "; " + Say(T::kKept, language));
      return;
    }
  }

  MirrorSettings settings = LoadSettings(*app_.ini, fs_, app_.paths.app_folder);
  PairList pairs = LoadPairs(fs_, app_, settings);
  if (pairs.damaged_message) {
    // Never mirror with half a list: the settings belong with the pairs
    // they were written for, so neither is taken.
    host_.ShowMessage(MessageIcon::kCritical,
                      heading + *pairs.damaged_message + "\r\n" + Say(T::kKept, language));
    return;
  }
  const bool same_pairs = KeepCountdowns(app_.pairs.pairs, pairs.pairs);
  if (same_pairs && settings == app_.settings) {
    if (cause == ReloadCause::kSignal) {
      host_.ShowMessage(MessageIcon::kInformation, heading + Say(T::kNothingChanged, language));
    }
    return;
  }

  app_.settings = std::move(settings);
  app_.pairs = std::move(pairs);  // the same objects: the session's references stay good
  // A shorter interval takes effect at once; a longer one after the wait
  // under way.
  if (scheduler_.WaitCounter() > app_.settings.Temporisation) scheduler_.RestartCountdown();
  scheduler_.RearmWatcher();
  host_.ApplyLanguage(app_.settings.Langue);
  host_.ApplySettings(app_.settings);
  host_.SetWaitProgressRange(WaitProgressMaximum(app_.settings.Temporisation));
  host_.ShowMessage(MessageIcon::kInformation, heading + std::to_string(app_.pairs.pairs.size()) +
                                                   Say(T::kFolderPairs, app_.settings.Langue));
  host_.ShowPairs(app_.pairs);
}

}  // namespace vorn
