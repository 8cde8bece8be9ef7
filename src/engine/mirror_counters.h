#pragma once

#include <cstdint>

namespace vorn {

/// The tallies of one pass, all reset when a pass starts.
struct MirrorCounters {
  int32_t FilesSeen = 0;         ///< source files compared with their target
  int32_t FilesCreated = 0;      ///< copies of files the target lacked
  int32_t FilesModified = 0;     ///< target files overwritten from their source
  int32_t FilesRemoved = 0;      ///< sources deleted after a move, obsolete targets deleted
  int32_t FilesLocked = 0;       ///< sources another program held, not copied
  /// Entries that could not be mirrored: failed copies and removals, and
  /// failed writes of permissions or access-control lists. No summary text
  /// shows it.
  int32_t FilesFailed = 0;
  int32_t SecuritiesCopied = 0;  ///< access-control lists written
  int32_t SecuritiesNotCopied = 0;
  int32_t AttributesChanged = 0;
  int32_t FoldersCreated = 0;
  int32_t FoldersRemoved = 0;  ///< emptied source folders (move) and obsolete target folders
  int32_t SourceFolders = 0;   ///< pairs with both paths given
  int32_t InvalidSourceFolders = 0;
  int32_t InvalidTargetFolders = 0;

  /// Whether the pass changed something worth a summary in the log.
  bool ChangedSomething() const {
    return FilesCreated != 0 || FilesModified != 0 || FilesRemoved != 0 || FoldersCreated != 0 ||
           FoldersRemoved != 0 || SecuritiesCopied != 0 || AttributesChanged != 0;
  }

  /// Whether the pass is worth a summary where quiet passes are not shown:
  /// it changed something, or met what the user should hear of.
  bool WorthReporting() const {
    return ChangedSomething() || FilesLocked != 0 || FilesFailed != 0 ||
           InvalidSourceFolders != 0 || InvalidTargetFolders != 0;
  }
};

/// The flags of the pair being mirrored, as booleans.
struct PairContext {
  bool Deplacer = false;
  bool Renommer = false;
  bool Effacer = false;
  bool Nouveau = false;
  bool Enable = false;
  bool NoMilliseconds = false;
};

}  // namespace vorn
