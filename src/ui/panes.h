#pragma once

#include "config/ini_file.h"
#include "config/mirror_settings.h"

namespace vorn {

/// What the lower part of the main window shows.
enum class LowerPane {
  kFileLists,  ///< the listings of the selected pair's folders (F2)
  kLocked,     ///< the files the last pass found locked (F3)
  kLegend,     ///< the legend of the grid's styles
  kGuide,      ///< the getting-started guide, while there is no pair
};

/// The pane for the two view settings and whether there are pairs: the file
/// lists win over the locked list, the guide replaces the legend and the
/// locked list while the list is empty.
LowerPane PaneFor(const MirrorSettings& settings, bool has_pairs);

/// F2: turns the file lists on (and the locked list off) or off.
void ToggleFileLists(IniFile& ini, MirrorSettings& settings);

/// F3: turns the locked list on (and the file lists off) or off.
void ToggleLockedList(IniFile& ini, MirrorSettings& settings);

}  // namespace vorn
