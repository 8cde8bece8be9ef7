#include "ui/panes.h"

namespace vorn {

LowerPane PaneFor(const MirrorSettings& settings, bool has_pairs) {
  if (settings.AfficherFichiers) return LowerPane::kFileLists;
  if (!has_pairs) return LowerPane::kGuide;
  return settings.AfficherLocked ? LowerPane::kLocked : LowerPane::kLegend;
}

void ToggleFileLists(IniFile& ini, MirrorSettings& settings) {
  const bool on = !settings.AfficherFichiers;
  Store(ini, settings, &MirrorSettings::AfficherFichiers, on);
  if (on) Store(ini, settings, &MirrorSettings::AfficherLocked, false);
}

void ToggleLockedList(IniFile& ini, MirrorSettings& settings) {
  const bool on = !settings.AfficherLocked;
  Store(ini, settings, &MirrorSettings::AfficherLocked, on);
  if (on) Store(ini, settings, &MirrorSettings::AfficherFichiers, false);
}

}  // namespace vorn
