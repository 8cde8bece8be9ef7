#pragma once

#include <cstdint>
#include <string>

#include "platform/path_identity.h"
#include "config/folder_pairs.h"
#include "base/text.h"

namespace vorn {

/// Why a pair of `source` and `target` may never be mirrored; kNone when it
/// may (and when either folder is empty: such a pair is invalid already).
/// The folders are compared as the system places them (links and bind
/// mounts followed); a target not made yet counts where it would be made.
/// `application_folder` and `log_folder` are Vorn's own: a target that is
/// or holds either would delete them. An empty one is not checked.
PairDanger DangerOf(const std::string& source, const std::string& target,
                    const std::string& application_folder, const std::string& log_folder);
/// The same, for many pairs over one reading of the mount view.
PairDanger DangerOf(const platform::FolderRelations& relations, const std::string& source,
                    const std::string& target, const std::string& application_folder,
                    const std::string& log_folder);

/// The message that refuses such a pair: why, then "source -> target".
std::string RefusalMessage(PairDanger danger, const std::string& source, const std::string& target,
                           Language language);

}  // namespace vorn
