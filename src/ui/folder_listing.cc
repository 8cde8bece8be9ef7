#include "ui/folder_listing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/strings.h"
#include "runtime/main_window_texts.h"
#include "base/list_order.h"

namespace vorn {
namespace {

// An integer with its digits grouped by three.
std::string Grouped(uint64_t value, const std::string& separator) {
  std::string digits = std::to_string(value);
  for (size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, separator);
  return digits;
}

// `value` rounded to `decimals` places (halves away from zero, as the
// number formatting of the system does), with the decimal separator of the
// locale and, like the byte counts' short forms always were, no grouping.
std::string Fixed(double value, int decimals, const platform::NumberFormat& format) {
  const double scale = std::pow(10.0, decimals);
  const auto scaled = static_cast<uint64_t>(std::floor(value * scale + 0.5));
  std::string text = std::to_string(scaled / static_cast<uint64_t>(scale));
  if (decimals > 0) {
    std::string fraction = std::to_string(scaled % static_cast<uint64_t>(scale));
    fraction.insert(0, static_cast<size_t>(decimals) - fraction.size(), '0');
    text += format.decimal_separator + fraction;
  }
  return text;
}

}  // namespace

std::vector<ListingEntry> ListFolderContents(platform::FileSystem& fs, const std::string& folder) {
  std::vector<ListingEntry> entries;
  if (folder.empty()) return entries;
  auto opened = fs.OpenFolder(folder);
  if (!opened.ok()) return entries;
  auto reader = fs.ReadFolder(**opened);
  if (!reader.ok()) return entries;
  platform::FolderEntry entry;
  while ((*reader)->Next(entry)) {
    if (entry.name == "..") continue;
    if (entry.type == platform::EntryType::kFolder) {
      entries.push_back({"[" + entry.name + "]", -1});
      continue;
    }
    // An entry that vanished since the folder was read still shows, as
    // the folder held it a moment ago.
    const auto info = fs.LookupAt(**opened, entry.name);
    entries.push_back({entry.name, info.ok() ? static_cast<int64_t>(info->size) : 0});
  }
  std::stable_sort(
      entries.begin(), entries.end(),
      [](const ListingEntry& a, const ListingEntry& b) { return ListOrderLess(a.text, b.text); });
  return entries;
}

std::string FormatFileSize(uint64_t bytes, const platform::NumberFormat& format) {
  const std::string exact = Grouped(bytes, format.grouping_separator) + " bytes";
  if (bytes < 1024) return exact;
  const uint64_t kib = bytes / 1024;
  const double b = static_cast<double>(bytes);
  std::string size;
  if (kib < 10) {
    size = Fixed(b / 1024, 2, format) + "KB";
  } else if (kib < 100) {
    size = Fixed(b / 1024, 1, format) + "KB";
  } else if (kib < 1000) {
    size = Fixed(b / 1024, 0, format) + "KB";
  } else if (kib < 10000) {
    size = Fixed(b / 1048576, 2, format) + "MB";
  } else if (kib < 100000) {
    size = Fixed(b / 1048576, 1, format) + "MB";
  } else if (kib < 1000000) {
    size = Fixed(b / 1048576, 0, format) + "MB";
  } else if (kib < 10000000) {
    size = Fixed(b / 1048576 / 1024, 2, format) + "GB";
  }
  return size + " (" + exact + ")";
}

std::string ListingTooltip(const ListingEntry& entry, Language language,
                           const platform::NumberFormat& format) {
  if (entry.IsFolder()) return std::string(Tr(MainWindowText::kFolderWord, language)) + entry.text;
  return entry.text + "   " + FormatFileSize(static_cast<uint64_t>(entry.size), format);
}

std::string CountLabelText(size_t count, std::string_view shown_folder, Language language) {
  return std::to_string(count) + std::string(Tr(MainWindowText::kFilesFoldersIn, language)) +
         std::string(TrimBlanks(shown_folder, " "));
}

}  // namespace vorn
