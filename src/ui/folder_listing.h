#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/system.h"
#include "base/text.h"

namespace vorn {

/// One line of a folder listing: a folder as "[name]" with size -1, a file
/// as its name with its size in bytes (shown only in the tooltip).
struct ListingEntry {
  std::string text;
  int64_t size = -1;

  bool IsFolder() const { return size < 0; }
  bool operator==(const ListingEntry&) const = default;
};

/// The entries of one folder, one level deep and in list order: hidden
/// entries included, "." kept as "[.]", ".." left out. A folder that cannot
/// be read (empty path, missing, unreachable) lists nothing.
std::vector<ListingEntry> ListFolderContents(platform::FileSystem& fs, const std::string& folder);

/// A size as the tooltips show it: "1,023 bytes", "1.50KB (1,536 bytes)",
/// "0.98MB (1,024,000 bytes)", with the separators of `format`. Units
/// switch at 1000 KiB and 1,000,000 KiB; from 10,000,000 KiB on only the
/// parenthesised byte count is left.
std::string FormatFileSize(uint64_t bytes, const platform::NumberFormat& format);

/// The tooltip of a listing entry: "folder [Images]", or the name, three
/// blanks and the size.
std::string ListingTooltip(const ListingEntry& entry, Language language,
                           const platform::NumberFormat& format);

/// A listing's count label: "12 files/folders in /data" for the folder as
/// the grid shows it (blanks trimmed).
std::string CountLabelText(size_t count, std::string_view shown_folder, Language language);

}  // namespace vorn
