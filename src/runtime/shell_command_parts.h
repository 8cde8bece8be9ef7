#pragma once

// Shared by the files of the pair and config commands only.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/system.h"
#include "runtime/startup.h"

namespace vorn {

/// One command's view of the application folder.
struct ShellFolder {
  platform::FileSystem& fs;
  Application& app;
  /// The instance running there, learnt before anything is written.
  std::optional<platform::InstanceHolder> holder;
};

/// Prints "vorn: " and the reason on standard error; the refusal's status.
int Refuse(const std::string& reason);
/// The same for a folder that cannot be used; its status.
int FolderUnusable(const std::string& reason);
/// Prints the reason, then `usage`, on standard error; the refusal's status.
int RefuseUsage(const std::string& reason, std::string_view usage);

/// The line printed after a change: whether the instance running on the
/// folder, if any, takes the change up.
std::string RunningInstanceLine(const std::optional<platform::InstanceHolder>& holder);

/// Why the pairs may not be edited now: a window (or a run of unknown kind)
/// holds the folder and would write its own list back over the change.
/// Empty when they may.
std::string PairEditBlocker(const std::optional<platform::InstanceHolder>& holder);

/// Whether `words` start with an action of `vorn pair` (of `vorn config`):
/// 0, else the usage is printed and the refusal's status returned. Checked
/// before the application folder is looked at.
int CheckPairAction(const std::vector<std::string>& words);
int CheckConfigAction(const std::vector<std::string>& words);

/// A path in the listing: control characters as \xNN.
std::string ShownPath(const std::string& path);
/// Why a pair may never be mirrored, in one line.
std::string DangerReason(PairDanger danger);
/// A pair in the listing: number, folders, settings in words, and why it is
/// not mirrored when it is not; lines ending in "\n".
std::string PairText(const FolderPair& pair, const PairRow& row);
/// The same as one JSON object on one line.
std::string PairJson(const FolderPair& pair, const PairRow& row);

/// `vorn pair ACTION ...`, the action first in `words`.
int RunPairCommand(ShellFolder& folder, const std::vector<std::string>& words, bool json);
/// `vorn config ACTION ...`.
int RunConfigCommand(ShellFolder& folder, const std::vector<std::string>& words);

}  // namespace vorn
