#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/text.h"
#include "config/folder_pairs.h"  // IsNetworkPath, DefaultTarget

namespace vorn {

/// How a folder is chosen, and for which side.
enum class PathKind {
  kSourceBrowse = 1,
  kTargetBrowse = 2,
  kSourceType = 3,
  kTargetType = 4,
};

/// Add a pair, or modify the selected one.
enum class EditAction { kAdd = 1, kModify = 2 };

inline bool IsSource(PathKind kind) {
  return kind == PathKind::kSourceBrowse || kind == PathKind::kSourceType;
}
inline bool IsBrowse(PathKind kind) {
  return kind == PathKind::kSourceBrowse || kind == PathKind::kTargetBrowse;
}

/// The folder picker's title and the input box's prompt.
std::string EditPrompt(PathKind kind, EditAction action, Language language);

/// Whether the upper-cased path lies in the Windows folder (never when
/// that folder is unknown, as it is on Linux).
bool InsideWindowsFolder(std::string_view path, std::string_view windows_folder_upper);

}  // namespace vorn
