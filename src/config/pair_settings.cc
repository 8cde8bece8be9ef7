#include "config/pair_settings.h"

#include <algorithm>
#include <cmath>

#include "base/number_reading.h"
#include "config/exclusions.h"
#include "config/limits.h"
#include "config/settings_texts.h"

namespace vorn {
namespace {

bool AcceptedCount(const std::string& text) {
  const auto value = WholeNumber(text);
  return value && *value >= kMinIntervalCount && *value <= kMaxIntervalCount;
}

// An empty source can empty the target only by removal.
void AllowSourceVide(PairSettingsForm& form) {
  form.source_vide_allowed = form.remove && form.remove_allowed;
}

}  // namespace

PairSettingsForm OpenPairSettings(const FolderPair& pair, SystemFamily family) {
  PairSettingsForm form;
  // A count edited by hand out of range, or not a number, opens as the
  // default interval.
  if (AcceptedCount(pair.NbTemporisations)) form.interval_count = pair.NbTemporisations;
  form.enabled = pair.Enable == "1";
  form.specific_interval = AcceptedCount(pair.NbTemporisations);
  const bool move = pair.Deplacer != "0";
  form.move = move;
  form.rename_allowed = move && family == SystemFamily::kNt;
  form.remove_allowed = !move;
  form.update_rule_allowed = !move;
  // Renaming only goes with moving; the other values show as stored even
  // where their control is disabled.
  form.rename = move && pair.Renommer != "0";
  form.remove = pair.Effacer != "0";
  form.newer_only = pair.Nouveau == "1";
  form.tolerance = pair.NoMilliseconds == "1";
  form.source_vide = IsOn(pair.SourceVideAutorise);
  form.keep_versions = std::to_string(
      std::clamp(ReadLong(pair.KeepVersions), 0, kKeepVersionsLimits.maximum));
  form.exclusions = pair.Exclusions;
  form.hour_shift = IsOn(pair.IgnoreHourShift);
  form.hard_links = IsOn(pair.HardLinks);
  AllowSourceVide(form);
  return form;
}

void SetMove(PairSettingsForm& form, bool move, SystemFamily family) {
  form.move = move;
  if (move) {
    form.rename_allowed = family == SystemFamily::kNt;
    if (!form.rename_allowed) form.rename = false;
    form.remove = false;
    form.remove_allowed = false;
    form.update_rule_allowed = false;
    form.newer_only = false;
  } else {
    form.rename = false;
    form.rename_allowed = false;
    form.remove_allowed = true;
    form.update_rule_allowed = true;
  }
  AllowSourceVide(form);
}

void SetRemove(PairSettingsForm& form, bool remove) {
  form.remove = remove;
  AllowSourceVide(form);
}

std::string IntervalCountError(const std::string& text, Language language,
                               IntervalErrorPlace place) {
  const auto value = WholeNumber(text);
  if (!value) return std::string(Tr(SettingsText::kInvalidValue, language));
  if (*value < kMinIntervalCount || *value > kMaxIntervalCount) {
    return std::string(Tr(place == IntervalErrorPlace::kMessageBox ? SettingsText::kRangeMessageBox
                                                                   : SettingsText::kRangeLabel,
                          language));
  }
  return {};
}

std::string IntervalSpelledOut(double count, int16_t temporisation, Language language) {
  const int64_t seconds = std::llround(count * temporisation);
  int64_t minutes = seconds / 60;
  const int64_t rest = seconds % 60;
  int64_t hours = 0;
  if (minutes >= 60) {
    hours = minutes / 60;
    minutes %= 60;
  }
  return std::string(Tr(SettingsText::kIntervalPrefix, language)) + std::to_string(hours) + " h " +
         std::to_string(minutes) + " min " + std::to_string(rest) + " sec";
}

std::string SafetyNetError(const PairSettingsForm& form, Language language) {
  const auto days = WholeNumber(form.keep_versions);
  if (!days || *days < kKeepVersionsLimits.minimum || *days > kKeepVersionsLimits.maximum) {
    return std::string(Tr(SettingsText::kKeepVersionsRange, language));
  }
  const Exclusions exclusions(form.exclusions);
  for (const std::string& pattern : exclusions.texts()) {
    // Patterns come split and trimmed, so a re-including one is the only
    // problem left to find.
    if (!Exclusions::ProblemOf(pattern).empty()) {
      return std::string(Tr(SettingsText::kExclusionNegation, language));
    }
  }
  return {};
}

bool ApplyPairSettings(FolderPair& pair, const PairSettingsForm& form) {
  if (!AcceptedCount(form.interval_count) || !SafetyNetError(form, kEnglish).empty()) return false;
  const auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
  pair.Enable = flag(form.enabled);
  pair.NbTemporisations = form.specific_interval ? form.interval_count : "1";
  pair.PassCountdown = ReadLong(pair.NbTemporisations);
  pair.Deplacer = flag(form.move);
  pair.Renommer = flag(form.rename);
  pair.Effacer = flag(form.remove);
  pair.Nouveau = flag(form.newer_only);
  pair.NoMilliseconds = flag(form.tolerance);
  pair.SourceVideAutorise = flag(form.source_vide);
  pair.KeepVersions = std::to_string(std::lround(*WholeNumber(form.keep_versions)));
  pair.Exclusions = Exclusions(form.exclusions).Setting();
  pair.IgnoreHourShift = flag(form.hour_shift);
  pair.HardLinks = flag(form.hard_links);
  return true;
}

bool WritePairSettings(IniFile& ini, const FolderPair& pair) {
  const std::string section = PairSection(pair.Number);
  std::vector<IniFile::Change> changes;
  for (const auto& [key, value] :
       {std::pair{"Enable", pair.Enable}, std::pair{"NbTemporisations", pair.NbTemporisations},
        std::pair{"Deplacer", pair.Deplacer}, std::pair{"Renommer", pair.Renommer},
        std::pair{"Effacer", pair.Effacer}, std::pair{"Nouveau", pair.Nouveau},
        std::pair{"NoMilliseconds", pair.NoMilliseconds},
        std::pair{"SourceVideAutorise", pair.SourceVideAutorise},
        std::pair{"KeepVersions", pair.KeepVersions}, std::pair{"Exclusions", pair.Exclusions},
        std::pair{"IgnoreHourShift", pair.IgnoreHourShift},
        std::pair{"HardLinks", pair.HardLinks}}) {
    changes.push_back({section, key, value});
  }
  return ini.WriteAll(changes);
}

bool SavePairSettings(IniFile& ini, FolderPair& pair, const PairSettingsForm& form) {
  if (!ApplyPairSettings(pair, form)) return false;
  // A failed write is ignored as every configuration write is; the reload
  // that follows shows what the file holds.
  (void)WritePairSettings(ini, pair);
  return true;
}

}  // namespace vorn
