#include "ui/panes.h"

namespace vorn {

LowerPane PaneFor(const MirrorSettings& settings, bool has_pairs) {
  if (settings.AfficherFichiers) return LowerPane::kFileLists;
  if (!has_pairs) return LowerPane::kGuide;
  return settings.AfficherLocked ? LowerPane::kLocked : LowerPane::kLegend;
}

void ToggleFileLists(IniFile& ini, MirrorSettings& settings) {
  StoreFileListsShown(ini, settings, !settings.AfficherFichiers);
}

void ToggleLockedList(IniFile& ini, MirrorSettings& settings) {
  StoreLockedListShown(ini, settings, !settings.AfficherLocked);
}

}  // namespace vorn
