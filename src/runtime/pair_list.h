#pragma once

#include <string>

#include "config/folder_pairs.h"
#include "platform/file_system.h"
#include "runtime/startup.h"

namespace vorn {

/// Which folder of a pair.
enum class PairSide { kSource, kTarget };

/// The target a new pair of `source` gets from the default prefixes (see
/// DefaultTarget); empty when the prefix that applies is.
std::string NewPairTarget(const Application& app, const std::string& source);

/// A pair of `source` as an addition makes it, numbered after the last one:
/// its target from the default prefixes, Effacer from Effacement, every other
/// setting without text (the next load gives the defaults).
FolderPair NewPair(const Application& app, const std::string& source);

/// Why a pair of these folders may never be mirrored from this application
/// folder (see DangerOf); checked before any edit of a pair's folders.
PairDanger DangerOfPair(const Application& app, const std::string& source,
                        const std::string& target);

/// Sets a folder of a pair in memory. A new source forgets the file system
/// the old one was on: the new one's is learnt by its first pass with entries.
void SetPairFolder(FolderPair& pair, PairSide side, const std::string& path);

/// Saves the list in its grid order, then reloads it, as every change of the
/// list is followed by a full load. False when a file could not be written.
bool SavePairList(platform::FileSystem& fs, Application& app);

/// Appends `pair` as the last row; saved and reloaded.
bool AppendPair(platform::FileSystem& fs, Application& app, FolderPair pair);

/// Appends a pair of `source` (see NewPair); saved and reloaded.
void AddPairWithSource(platform::FileSystem& fs, Application& app, const std::string& source);

/// Changes a folder of the pair in grid row `row`; saved and reloaded.
bool ChangePairFolder(platform::FileSystem& fs, Application& app, int row, PairSide side,
                      const std::string& path);

/// Removes the pairs of the rows from `current` to `selection_end` (in
/// either order); a range over every row, or a list of one, empties it. The
/// others are saved under their new numbers and reloaded; the removed pairs'
/// sections stay in the configuration file.
bool RemovePairRows(platform::FileSystem& fs, Application& app, int current, int selection_end);

}  // namespace vorn
