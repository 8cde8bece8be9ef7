#include "ui/pair_editing.h"

#include "base/strings.h"
#include "config/settings_texts.h"

namespace vorn {

std::string EditPrompt(PathKind kind, EditAction action, Language language) {
  if (action == EditAction::kAdd) return std::string(Tr(SettingsText::kAddSourcePrompt, language));
  return std::string(
      Tr(IsSource(kind) ? SettingsText::kModifySourcePrompt : SettingsText::kModifyTargetPrompt,
         language));
}

bool InsideWindowsFolder(std::string_view path, std::string_view windows_folder_upper) {
  if (windows_folder_upper.empty()) return false;
  return AsciiUpper(path).find(windows_folder_upper) != std::string::npos;
}

}  // namespace vorn
