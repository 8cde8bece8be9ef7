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

bool IsNetworkPath(std::string_view path) {
  return path.size() >= 2 &&
         ((path[0] == '/' && path[1] == '/') || (path[0] == '\\' && path[1] == '\\'));
}

std::string DefaultTarget(std::string_view source, std::string_view drive_prefix,
                          std::string_view unc_prefix) {
  if (IsNetworkPath(source)) {
    if (unc_prefix.empty()) return {};
    const char separator = source[0];
    const size_t after_server = source.find(separator, 2);
    if (after_server == std::string_view::npos) return {};
    const size_t after_share = source.find(separator, after_server + 1);
    if (after_share == std::string_view::npos) return std::string(unc_prefix);
    return std::string(unc_prefix) + std::string(source.substr(after_share));
  }
  if (drive_prefix.empty()) return {};
  if (source.size() >= 2 && source[1] == ':') {
    return std::string(drive_prefix) + std::string(source.substr(2));
  }
  if (!source.empty() && source[0] == '/') {
    std::string target(drive_prefix);
    while (target.size() > 1 && target.back() == '/') target.pop_back();
    return target == "/" ? std::string(source) : target + std::string(source);
  }
  return {};
}

bool InsideWindowsFolder(std::string_view path, std::string_view windows_folder_upper) {
  if (windows_folder_upper.empty()) return false;
  return AsciiUpper(path).find(windows_folder_upper) != std::string::npos;
}

}  // namespace vorn
