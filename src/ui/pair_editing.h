#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/text.h"

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

/// Whether a path names a network share: "//server/share/..." (on Windows
/// "\\server\share\...").
bool IsNetworkPath(std::string_view path);

/// The target a new pair gets from its source. A local path is placed under
/// the default target prefix (the "drive" of targets: with /mnt/backup,
/// /data/x becomes /mnt/backup/data/x; a Windows-style "D:" path keeps the
/// drive-letter rule). A network path //server/share/rest takes the default
/// network prefix in place of //server/share (the prefix alone when nothing
/// follows the share; nothing when no share follows the server). Empty when
/// the prefix that applies is empty.
std::string DefaultTarget(std::string_view source, std::string_view drive_prefix,
                          std::string_view unc_prefix);

/// Whether the upper-cased path lies in the Windows folder (never when
/// that folder is unknown, as it is on Linux).
bool InsideWindowsFolder(std::string_view path, std::string_view windows_folder_upper);

}  // namespace vorn
