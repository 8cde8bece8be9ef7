#pragma once

#include <optional>
#include <string>

#include "platform/file_system.h"
#include "ui/pair_editing.h"
#include "base/dialogs.h"
#include "runtime/startup.h"

namespace vorn {

/// Appends a pair with `source`: its target comes from the default prefixes,
/// Effacer from Effacement, every other setting is left without text (the
/// next load gives the defaults). The list is saved and reloaded.
void AddPairWithSource(platform::FileSystem& fs, Application& app, const std::string& source);

/// Changes the source (or the target) of the pair in grid row `row`; saved
/// and reloaded. A new source forgets the file system the old one was on.
void ChangePairFolder(platform::FileSystem& fs, Application& app, int row, bool source,
                      const std::string& path);

/// Removes the pairs of the rows from `current` to `selection_end` (in
/// either order); a range over every row, or a list of one, empties it. The
/// others are saved under their new numbers and reloaded; the removed pairs'
/// sections stay in the configuration file.
void RemovePairRows(platform::FileSystem& fs, Application& app, int current, int selection_end);

/// The grid rows the user picked. A load clears the highlight, so a row
/// counts as chosen only after a click on it.
struct GridSelection {
  bool highlighted = false;
  int current = -1;        ///< the current row
  int selection_end = -1;  ///< the other end of a range; the current row when alone
};

/// What a pair edit leaves to the window.
struct EditOutcome {
  bool changed = false;  ///< the list was saved and reloaded
  /// After a source was added by browsing: the row whose settings dialog
  /// opens next.
  std::optional<int> settings_row;
};

/// Adds a pair or changes a folder of the selected one: asks for the path
/// (picker or input box), warns about network sources and the Windows
/// folder, applies the change, saves and reloads. Refusals are messages and
/// leave the list as it was; among them, a pair whose folders nest or whose
/// target holds Vorn's own folders (see DangerOf).
EditOutcome EditPair(platform::FileSystem& fs, Application& app, Dialogs& dialogs, PathKind kind,
                     EditAction action, const GridSelection& selection);

/// Removes the selected pairs once the user confirmed; true when the list
/// changed.
bool RemoveSelectedPairs(platform::FileSystem& fs, Application& app, Dialogs& dialogs,
                         const GridSelection& selection);

}  // namespace vorn
