#pragma once

#include <optional>
#include <string>

#include "platform/file_system.h"
#include "ui/pair_editing.h"
#include "base/dialogs.h"
#include "runtime/pair_list.h"
#include "runtime/startup.h"

namespace vorn {

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
