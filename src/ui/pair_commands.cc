#include "ui/pair_commands.h"

#include <algorithm>

#include "config/pair_danger.h"
#include "config/settings_texts.h"
#include "base/strings.h"

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

// The picker hands back folders without a closing separator, but a root
// keeps its own: "/" stays "/", "C:\\" becomes "C:".
std::string WithoutClosingSeparator(std::string path) {
  if (path.size() == 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) {
    path.pop_back();
  }
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

bool RowChosen(const Application& app, const GridSelection& selection) {
  return selection.highlighted && app.pairs.Row(selection.current) != nullptr;
}

std::string NewPairTarget(const Application& app, const std::string& source) {
  return DefaultTarget(source, app.settings.PrefixeCibleDefaut, app.settings.PrefixeCibleDefautUNC);
}

// The folders of the pair as the edit would leave it; `row` is the modified
// pair's, unused for an addition.
std::pair<std::string, std::string> FoldersAfterEdit(Application& app, EditAction action, int row,
                                                     bool source, const std::string& path) {
  if (action == EditAction::kAdd) return {path, NewPairTarget(app, path)};
  const FolderPair* pair = app.pairs.PairOfRow(row);
  if (pair == nullptr) return {};
  return {source ? path : pair->Source, source ? pair->Target : path};
}

}  // namespace

EditOutcome EditPair(platform::FileSystem& fs, Application& app, Dialogs& dialogs, PathKind kind,
                     EditAction action, const GridSelection& selection) {
  const Language language = app.settings.Langue;
  const bool source = IsSource(kind);
  int row = -1;
  if (action == EditAction::kModify) {
    if (!RowChosen(app, selection)) {
      dialogs.ShowMessage(
          MessageIcon::kInformation,
          Tr(source ? SettingsText::kSelectSourceToModify : SettingsText::kSelectTargetToModify,
             language));
      return {};
    }
    row = selection.current;
  }

  const std::string prompt = EditPrompt(kind, action, language);
  std::optional<std::string> path;
  if (IsBrowse(kind)) {
    path = dialogs.PickFolder(prompt);
    if (path) path = WithoutClosingSeparator(*path);
  } else {
    std::string default_text;
    if (const PairRow* shown = app.pairs.Row(row)) {
      default_text = TrimBlanks(source ? shown->source_text : shown->target_text, " ");
    }
    path = dialogs.InputBox(prompt, default_text);
  }
  if (!path || path->empty()) return {};

  const auto [new_source, new_target] = FoldersAfterEdit(app, action, row, source, *path);
  const PairDanger danger =
      DangerOf(new_source, new_target, app.paths.app_folder, app.settings.PathLogs);
  if (danger != PairDanger::kNone) {
    dialogs.ShowMessage(MessageIcon::kExclamation,
                        RefusalMessage(danger, new_source, new_target, language));
    return {};
  }
  if (kind == PathKind::kSourceBrowse && app.system.nt && IsNetworkPath(*path)) {
    dialogs.ShowMessage(MessageIcon::kExclamation, Tr(SettingsText::kUncWarning, language));
  }
  if (InsideWindowsFolder(*path, app.system.windows_folder)) {
    dialogs.ShowMessage(MessageIcon::kExclamation,
                        Tr(SettingsText::kWindowsFolderWarning, language));
  }

  EditOutcome outcome;
  outcome.changed = true;
  if (action == EditAction::kAdd) {
    AddPairWithSource(fs, app, *path);
    if (kind == PathKind::kSourceBrowse && !app.pairs.rows.empty()) {
      outcome.settings_row = static_cast<int>(app.pairs.rows.size()) - 1;
    }
  } else {
    ChangePairFolder(fs, app, row, source, *path);
  }
  return outcome;
}

bool RemoveSelectedPairs(platform::FileSystem& fs, Application& app, Dialogs& dialogs,
                         const GridSelection& selection) {
  const Language language = app.settings.Langue;
  if (app.pairs.rows.empty()) {
    dialogs.ShowMessage(MessageIcon::kInformation, Tr(SettingsText::kNothingToRemove, language));
    return false;
  }
  if (!RowChosen(app, selection)) {
    dialogs.ShowMessage(MessageIcon::kInformation, Tr(SettingsText::kSelectPairToRemove, language));
    return false;
  }
  if (!dialogs.AskYesNo(Tr(SettingsText::kConfirmRemoval, language))) return false;
  RemovePairRows(fs, app, selection.current,
                 selection.selection_end < 0 ? selection.current : selection.selection_end);
  return true;
}

void AddPairWithSource(platform::FileSystem& fs, Application& app, const std::string& source) {
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
  std::vector<int16_t> rows = AllRows(app);
  rows.push_back(pair.Number);
  app.pairs.pairs.push_back(pair);
  SaveAndReload(fs, app, rows);
}

void ChangePairFolder(platform::FileSystem& fs, Application& app, int row, bool source,
                      const std::string& path) {
  FolderPair* pair = app.pairs.PairOfRow(row);
  if (pair == nullptr) return;
  (source ? pair->Source : pair->Target) = path;
  // The remembered file system was the old source's; the new one's is
  // learnt by its first pass with entries.
  if (source) pair->SourceVolume.clear();
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
