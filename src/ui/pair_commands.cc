#include "ui/pair_commands.h"

#include "config/pair_danger.h"
#include "config/settings_texts.h"
#include "base/strings.h"

namespace vorn {
namespace {

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
  const PairDanger danger = DangerOfPair(app, new_source, new_target);
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
    ChangePairFolder(fs, app, row, source ? PairSide::kSource : PairSide::kTarget, *path);
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

}  // namespace vorn
