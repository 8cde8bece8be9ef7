#include "runtime/pair_list.h"

#include <algorithm>
#include <vector>

#include "config/pair_danger.h"
#include "config/limits.h"

namespace vorn {
namespace {

std::vector<int16_t> AllRows(const Application& app) {
  std::vector<int16_t> rows;
  for (const PairRow& row : app.pairs.rows) rows.push_back(row.pair_number);
  return rows;
}

// Saves the pairs in the given row order, then reloads them.
bool SaveAndReload(platform::FileSystem& fs, Application& app,
                   const std::vector<int16_t>& row_order) {
  const bool saved = SaveFolderPairs(fs, *app.ini, app.paths.pairs_file, app.pairs.pairs, row_order,
                                     app.system.nt ? PathFamily::kWide : PathFamily::kAnsi);
  ReloadPairs(fs, app);
  return saved;
}

}  // namespace

std::string NewPairTarget(const Application& app, const std::string& source) {
  return DefaultTarget(source, app.settings.PrefixeCibleDefaut, app.settings.PrefixeCibleDefautUNC);
}

FolderPair NewPair(const Application& app, const std::string& source) {
  FolderPair pair;
  pair.Number = static_cast<int16_t>(app.pairs.pairs.size() + 1);
  pair.Source = source;
  pair.Target = NewPairTarget(app, source);
  // Without text, a setting takes its default at the next load.
  for (std::string* setting : {&pair.NbTemporisations, &pair.Deplacer, &pair.Renommer,
                               &pair.Nouveau, &pair.Enable, &pair.NoMilliseconds}) {
    setting->clear();
  }
  pair.Effacer = app.settings.Effacement ? "1" : "0";
  pair.KeepVersions = std::to_string(kDefaultKeepVersionsDays);
  return pair;
}

PairDanger DangerOfPair(const Application& app, const std::string& source,
                        const std::string& target) {
  return DangerOf(source, target, app.paths.app_folder, app.settings.PathLogs);
}

void SetPairFolder(FolderPair& pair, PairSide side, const std::string& path) {
  (side == PairSide::kSource ? pair.Source : pair.Target) = path;
  if (side == PairSide::kSource) pair.SourceVolume.clear();
}

bool SavePairList(platform::FileSystem& fs, Application& app) {
  return SaveAndReload(fs, app, AllRows(app));
}

bool AppendPair(platform::FileSystem& fs, Application& app, FolderPair pair) {
  pair.Number = static_cast<int16_t>(app.pairs.pairs.size() + 1);
  std::vector<int16_t> rows = AllRows(app);
  rows.push_back(pair.Number);
  app.pairs.pairs.push_back(std::move(pair));
  return SaveAndReload(fs, app, rows);
}

void AddPairWithSource(platform::FileSystem& fs, Application& app, const std::string& source) {
  // A failed save shows in the reload that follows it.
  (void)AppendPair(fs, app, NewPair(app, source));
}

bool ChangePairFolder(platform::FileSystem& fs, Application& app, int row, PairSide side,
                      const std::string& path) {
  FolderPair* pair = app.pairs.PairOfRow(row);
  if (pair == nullptr) return false;
  SetPairFolder(*pair, side, path);
  return SavePairList(fs, app);
}

bool RemovePairRows(platform::FileSystem& fs, Application& app, int current, int selection_end) {
  const int count = static_cast<int>(app.pairs.rows.size());
  if (count == 0) return true;
  const int first = std::clamp(std::min(current, selection_end), 0, count - 1);
  const int last = std::clamp(std::max(current, selection_end), 0, count - 1);
  std::vector<int16_t> rows = AllRows(app);
  if (count == 1 || (first == 0 && last == count - 1)) {
    rows.clear();
  } else {
    rows.erase(rows.begin() + first, rows.begin() + last + 1);
  }
  return SaveAndReload(fs, app, rows);
}

}  // namespace vorn
