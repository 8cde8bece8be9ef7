#include "config/folder_pairs.h"

#include <array>

#include "base/number_reading.h"
#include "config/pair_danger.h"
#include "config/settings_texts.h"
#include "base/strings.h"

namespace vorn {
namespace {

struct PairKey {
  std::string_view name;
  std::string FolderPair::*field;
  std::string_view default_text;
};

// The per-pair keys in the order they are written.
const std::array<PairKey, 13> kPairKeys = {{
    {"NbTemporisations", &FolderPair::NbTemporisations, "1"},
    {"Deplacer", &FolderPair::Deplacer, "0"},
    {"Renommer", &FolderPair::Renommer, "0"},
    {"Effacer", &FolderPair::Effacer, "0"},
    {"Nouveau", &FolderPair::Nouveau, "0"},
    {"Enable", &FolderPair::Enable, "1"},
    {"NoMilliseconds", &FolderPair::NoMilliseconds, "0"},
    {"SourceVideAutorise", &FolderPair::SourceVideAutorise, ""},
    {"SourceVolume", &FolderPair::SourceVolume, ""},
    {"KeepVersions", &FolderPair::KeepVersions, ""},
    {"Exclusions", &FolderPair::Exclusions, ""},
    {"IgnoreHourShift", &FolderPair::IgnoreHourShift, ""},
    {"HardLinks", &FolderPair::HardLinks, ""},
}};

constexpr std::string_view kMissingPrefix = "??? ";
constexpr std::string_view kMacintoshMark = "      ";

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

PairRow MakeRow(platform::FileSystem& fs, const FolderPair& pair, const PairLoadContext& context) {
  PairRow row;
  row.pair_number = pair.Number;
  row.source_exists = !pair.Source.empty() && fs.Lookup(pair.Source).ok();
  row.target_exists = !pair.Target.empty() && fs.Lookup(pair.Target).ok();
  row.source_text = row.source_exists ? pair.Source : std::string(kMissingPrefix) + pair.Source;
  if (pair.Target.empty()) {
    row.target_text = "???";
  } else {
    row.target_text = row.target_exists ? pair.Target : std::string(kMissingPrefix) + pair.Target;
  }
  if (context.nt && context.is_macintosh_volume) {
    if (row.source_exists && context.is_macintosh_volume(pair.Source)) {
      row.source_text += kMacintoshMark;
      row.source_is_macintosh = true;
    }
    if (row.target_exists && context.is_macintosh_volume(pair.Target)) {
      row.target_text += kMacintoshMark;
      row.target_is_macintosh = true;
    }
  }

  if (IsOn(pair.Deplacer)) row.source_style.colour = CellColour::kRed;
  if (IsOn(pair.Effacer)) row.target_style.colour = CellColour::kMagenta;
  if (IsOn(pair.Nouveau)) {
    row.source_style.cyan_background = true;
    row.target_style.cyan_background = true;
  }
  if (!IsOn(pair.Enable)) {
    for (CellStyle* style : {&row.source_style, &row.target_style}) {
      style->colour = CellColour::kGrey;
      style->struck_through = true;
    }
  }
  if (pair.Danger != PairDanger::kNone) {
    // A refused pair reads as a broken one: the folder at fault is marked as
    // a missing one is (the target, which would swallow or be swallowed; both
    // when they are one), and the whole row is struck out in red.
    const auto mark = [](std::string& text) {
      if (!text.starts_with(kMissingPrefix)) text.insert(0, kMissingPrefix);
    };
    mark(row.target_text);
    if (pair.Danger == PairDanger::kSameFolder) mark(row.source_text);
    for (CellStyle* style : {&row.source_style, &row.target_style}) {
      style->colour = CellColour::kRed;
      style->struck_through = true;
    }
  }
  row.interval_image = pair.NbTemporisations == "1" ? IntervalImage::kDefaultInterval
                                                    : IntervalImage::kSpecificInterval;
  return row;
}

std::string MacintoshWarning(bool source_side, Language language) {
  const SettingsText first =
      source_side ? SettingsText::kMacSourceOnlyLine1 : SettingsText::kMacTargetOnlyLine1;
  const SettingsText second =
      source_side ? SettingsText::kMacSourceOnlyLine2 : SettingsText::kMacTargetOnlyLine2;
  return std::string(Tr(first, language)) + "\r\n" + std::string(Tr(second, language));
}

}  // namespace

bool IsNetworkPath(std::string_view path) {
  return path.size() >= 2 &&
         ((path[0] == '/' && path[1] == '/') || (path[0] == '\\' && path[1] == '\\'));
}

std::string DefaultTarget(std::string_view source, std::string_view drive_prefix,
                          std::string_view unc_prefix) {
  if (IsNetworkPath(source)) {
    if (unc_prefix.empty()) return {};
    const char separator = source[0];
    const size_t after_server = source.find(separator, 2);
    if (after_server == std::string_view::npos) return {};
    const size_t after_share = source.find(separator, after_server + 1);
    if (after_share == std::string_view::npos) return std::string(unc_prefix);
    return std::string(unc_prefix) + std::string(source.substr(after_share));
  }
  if (drive_prefix.empty()) return {};
  if (source.size() >= 2 && source[1] == ':') {
    return std::string(drive_prefix) + std::string(source.substr(2));
  }
  if (!source.empty() && source[0] == '/') {
    std::string target(drive_prefix);
    while (target.size() > 1 && target.back() == '/') target.pop_back();
    return target == "/" ? std::string(source) : target + std::string(source);
  }
  return {};
}

void GiveDefaultTexts(FolderPair& pair) {
  for (const PairKey& key : kPairKeys) {
    if ((pair.*key.field).empty()) pair.*key.field = std::string(key.default_text);
  }
}

std::string PairSection(int n) {
  return "Mirror_" + std::to_string(n);
}

std::function<void(const FolderPair&, std::string_view, const std::string&)> PairKeyWriter(
    IniFile& ini) {
  return [&ini](const FolderPair& pair, std::string_view key, const std::string& value) {
    // A failed write is retried when the value next changes, as every
    // configuration write is.
    (void)ini.Write(PairSection(pair.Number), key, value);
  };
}

PairList LoadFolderPairs(platform::FileSystem& fs, const IniFile& ini,
                         const std::string& pairs_path, const PairLoadContext& context) {
  PairList list;
  const auto text = fs.ReadFile(pairs_path);
  if (!text.ok()) return list;  // no pairs file (or none readable): no pairs
  const PathFamily family = context.nt ? PathFamily::kWide : PathFamily::kAnsi;

  const platform::FolderRelations relations;
  for (const std::string_view line : SplitLines(*text)) {
    // A blank line (left by a hand edit) holds no pair; counting it would
    // shift every later pair onto another pair's settings.
    if (TrimBlanks(line).empty()) continue;
    if (list.pairs.size() >= static_cast<size_t>(kMaxPairs)) break;
    QuotedFieldReader fields(line, ",");
    const std::string_view source_field = fields.Next().value_or("");
    const std::string_view target_field = fields.Next().value_or("");
    auto source = DecodeHexPath(source_field, family);
    auto target = DecodeHexPath(target_field, family);
    if (!source || !target) {
      list.damaged_message =
          std::string(Tr(SettingsText::kInvalidPairsFile, context.language)) + "\r\n" + pairs_path;
      return list;
    }

    FolderPair pair;
    pair.Number = static_cast<int16_t>(list.pairs.size() + 1);
    pair.Source = std::move(*source);
    pair.Target = std::move(*target);
    const std::string section = PairSection(pair.Number);
    for (const PairKey& key : kPairKeys) pair.*key.field = ini.Read(section, key.name);
    GiveDefaultTexts(pair);
    pair.PassCountdown = ReadLong(pair.NbTemporisations);
    pair.Danger = DangerOf(relations, pair.Source, pair.Target, context.application_folder,
                           context.log_folder);
    if (pair.Danger != PairDanger::kNone) {
      list.refusals.push_back(
          RefusalMessage(pair.Danger, pair.Source, pair.Target, context.language));
    }

    PairRow row = MakeRow(fs, pair, context);
    if (list.first_missing_pair == 0 && (!row.source_exists || !row.target_exists)) {
      list.first_missing_pair = pair.Number;
    }
    if (row.source_exists && row.target_exists &&
        row.source_is_macintosh != row.target_is_macintosh) {
      list.mac_warning = MacintoshWarning(row.source_is_macintosh, context.language);
      list.MacWarningPending = true;
    }
    list.pairs.push_back(std::move(pair));
    list.rows.push_back(std::move(row));
  }
  return list;
}

bool SaveFolderPairs(platform::FileSystem& fs, IniFile& ini, const std::string& pairs_path,
                     const std::vector<FolderPair>& pairs, std::span<const int16_t> row_order,
                     PathFamily family) {
  std::string text;
  std::vector<IniFile::Change> changes;
  changes.reserve(row_order.size() * kPairKeys.size());
  std::vector<const FolderPair*> by_number(pairs.size() + 1, nullptr);
  for (const FolderPair& pair : pairs) {
    if (pair.Number >= 1 && static_cast<size_t>(pair.Number) < by_number.size()) {
      by_number[static_cast<size_t>(pair.Number)] = &pair;
    }
  }
  int row = 0;
  for (const int16_t number : row_order) {
    if (number < 1 || static_cast<size_t>(number) >= by_number.size() ||
        by_number[static_cast<size_t>(number)] == nullptr) {
      continue;
    }
    const FolderPair& pair = *by_number[static_cast<size_t>(number)];
    text += '"' + EncodeHexPath(pair.Source, family) + "\",\"" +
            EncodeHexPath(pair.Target, family) + "\"\r\n";
    const std::string section = PairSection(++row);
    for (const PairKey& key : kPairKeys) {
      const std::string& value = pair.*key.field;
      changes.push_back({section, std::string(key.name),
                         value.empty() ? std::nullopt : std::optional<std::string>(value)});
    }
  }
  if (!fs.ReplaceFile(pairs_path, text).ok()) return false;
  // The window ignores a failed section write, as every configuration write
  // is ignored; a command reports it.
  return ini.WriteAll(changes);
}

}  // namespace vorn
