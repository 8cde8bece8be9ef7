// How `vorn pair` shows a pair: a listing for people, JSON for scripts.

#include "runtime/shell_command_parts.h"

#include <algorithm>
#include <cstdio>

#include "base/number_reading.h"
#include "base/utf8.h"
#include "config/exclusions.h"
#include "config/limits.h"
#include "config/pair_danger.h"

namespace vorn {
namespace {

// Every pair is mirrored at least every pass, whatever a hand edit says.
int32_t PassesBetween(const FolderPair& pair) {
  const int32_t count = ReadLong(pair.NbTemporisations);
  return count < 1 ? 1 : count;
}

std::string YesNo(std::string_view setting) {
  return IsOn(setting) ? "yes" : "no";
}

int32_t KeptDays(const FolderPair& pair) {
  return std::clamp(ReadLong(pair.KeepVersions), 0, kKeepVersionsLimits.maximum);
}

std::string ExclusionsJson(const FolderPair& pair) {
  std::string json = "[";
  const Exclusions exclusions(pair.Exclusions);
  for (const std::string& pattern : exclusions.texts()) {
    json += (json.size() > 1 ? "," : "") + JsonString(pattern);
  }
  return json + "]";
}

}  // namespace

// Control characters would break the listing's lines; --json carries the
// exact bytes.
std::string ShownPath(const std::string& path) {
  std::string shown;
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02x", byte);
      shown += escape;
    } else {
      shown += c;
    }
  }
  return shown;
}

// The message that refuses such a pair, without the folders it names.
std::string DangerReason(PairDanger danger) {
  const std::string message = RefusalMessage(danger, "", "", kEnglish);
  return message.substr(0, message.find("\r\n"));
}

std::string PairText(const FolderPair& pair, const PairRow& row) {
  const int32_t every = PassesBetween(pair);
  std::string text = std::to_string(pair.Number) + ": " + ShownPath(pair.Source) + " -> " +
                     (pair.Target.empty() ? "(no target)" : ShownPath(pair.Target)) + "\n";
  text += "   enabled: " + YesNo(pair.Enable) + ", every " + std::to_string(every) +
          (every == 1 ? " pass" : " passes") + ", remove obsolete: " + YesNo(pair.Effacer) +
          ", move: " + YesNo(pair.Deplacer) + ", newer only: " + YesNo(pair.Nouveau) +
          ", ignore milliseconds: " + YesNo(pair.NoMilliseconds) +
          ", Macintosh renaming: " + YesNo(pair.Renommer) + "\n";
  const int32_t kept = KeptDays(pair);
  text += "   versions: " +
          (kept == 0 ? std::string("not kept") : "kept " + std::to_string(kept) + " days") +
          ", excluded: " + (pair.Exclusions.empty() ? "nothing" : ShownPath(pair.Exclusions)) +
          ", one-hour shifts ignored: " + YesNo(pair.IgnoreHourShift) +
          ", hard links kept: " + YesNo(pair.HardLinks) + "\n";
  if (pair.Danger != PairDanger::kNone) {
    text += "   never mirrored: " + DangerReason(pair.Danger) + "\n";
  } else if (!row.source_exists) {
    text += "   skipped while its source is missing\n";
  } else if (!row.target_exists) {
    text += "   skipped while its target is missing\n";
  }
  return text;
}

std::string PairJson(const FolderPair& pair, const PairRow& row) {
  const auto flag = [](std::string_view setting) { return IsOn(setting) ? "true" : "false"; };
  return std::string("{\"number\":") + std::to_string(pair.Number) + "," +
         JsonField("source", pair.Source) + "," + JsonField("target", pair.Target) +
         ",\"enabled\":" + flag(pair.Enable) + ",\"remove_obsolete\":" + flag(pair.Effacer) +
         ",\"move\":" + flag(pair.Deplacer) + ",\"newer_only\":" + flag(pair.Nouveau) +
         ",\"every\":" + std::to_string(PassesBetween(pair)) +
         ",\"ignore_milliseconds\":" + flag(pair.NoMilliseconds) +
         ",\"macintosh_renaming\":" + flag(pair.Renommer) +
         ",\"allow_empty_source\":" + flag(pair.SourceVideAutorise) +
         ",\"keep_versions\":" + std::to_string(KeptDays(pair)) + ",\"exclude\":" + ExclusionsJson(pair) +
         ",\"ignore_hour_shift\":" + flag(pair.IgnoreHourShift) +
         ",\"hard_links\":" + flag(pair.HardLinks) +
         ",\"source_exists\":" + (row.source_exists ? "true" : "false") +
         ",\"target_exists\":" + (row.target_exists ? "true" : "false") + ",\"refused\":" +
         (pair.Danger == PairDanger::kNone ? "null" : JsonString(DangerReason(pair.Danger))) +
         "}\n";
}

}  // namespace vorn
