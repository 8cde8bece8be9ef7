#include "shell/pair_commands.h"

#include <algorithm>

#include "settings/pair_editing.h"

namespace vorn {
namespace {

// Saves the pairs in the given row order, then reloads them as every change
// of the list is followed by a full load.
void SaveAndReload(platform::FileSystem& fs, Application& app,
                   const std::vector<int16_t>& row_order) {
  SaveFolderPairs(fs, *app.ini, app.paths.pairs_file, app.pairs.pairs, row_order,
                  app.system.nt ? PathFamily::kWide : PathFamily::kAnsi);
  ReloadPairs(fs, app);
}

std::vector<int16_t> AllRows(const Application& app) {
  std::vector<int16_t> rows;
  for (const PairRow& row : app.pairs.rows) rows.push_back(row.pair_number);
  return rows;
}

}  // namespace

void AddPairWithSource(platform::FileSystem& fs, Application& app, const std::string& source) {
  FolderPair pair;
  pair.Number = static_cast<int16_t>(app.pairs.pairs.size() + 1);
  pair.Source = source;
  pair.Target =
      DefaultTarget(source, app.settings.PrefixeCibleDefaut, app.settings.PrefixeCibleDefautUNC);
  // Without text, a setting takes its default at the next load.
  for (std::string* setting : {&pair.NbTemporisations, &pair.Deplacer, &pair.Renommer,
                               &pair.Nouveau, &pair.Enable, &pair.NoMilliseconds}) {
    setting->clear();
  }
  pair.Effacer = app.settings.Effacement ? "1" : "0";
  std::vector<int16_t> rows = AllRows(app);
  rows.push_back(pair.Number);
  app.pairs.pairs.push_back(pair);
  SaveAndReload(fs, app, rows);
}

void ChangePairFolder(platform::FileSystem& fs, Application& app, int row, bool source,
                      const std::string& path) {
  if (row < 0 || static_cast<size_t>(row) >= app.pairs.rows.size()) return;
  const int16_t number = app.pairs.rows[static_cast<size_t>(row)].pair_number;
  FolderPair& pair = app.pairs.pairs[static_cast<size_t>(number) - 1];
  (source ? pair.Source : pair.Target) = path;
  SaveAndReload(fs, app, AllRows(app));
}

void RemovePairRows(platform::FileSystem& fs, Application& app, int current, int selection_end) {
  const int count = static_cast<int>(app.pairs.rows.size());
  if (count == 0) return;
  const int first = std::clamp(std::min(current, selection_end), 0, count - 1);
  const int last = std::clamp(std::max(current, selection_end), 0, count - 1);
  std::vector<int16_t> rows = AllRows(app);
  if (count == 1 || (first == 0 && last == count - 1)) {
    rows.clear();
  } else {
    rows.erase(rows.begin() + first, rows.begin() + last + 1);
  }
  SaveAndReload(fs, app, rows);
}

}  // namespace vorn
