#pragma once

#include <string>

#include "platform/file_system.h"
#include "shell/startup.h"

namespace vorn {

/// Appends a pair with `source`: its target comes from the default prefixes,
/// Effacer from Effacement, every other setting is left without text (the
/// next load gives the defaults). The list is saved and reloaded.
void AddPairWithSource(platform::FileSystem& fs, Application& app, const std::string& source);

/// Changes the source (or the target) of the pair in grid row `row`; saved
/// and reloaded.
void ChangePairFolder(platform::FileSystem& fs, Application& app, int row, bool source,
                      const std::string& path);

/// Removes the pairs of the rows from `current` to `selection_end` (in
/// either order); a range over every row, or a list of one, empties it. The
/// others are saved under their new numbers and reloaded; the removed pairs'
/// sections stay in the configuration file.
void RemovePairRows(platform::FileSystem& fs, Application& app, int current, int selection_end);

}  // namespace vorn
