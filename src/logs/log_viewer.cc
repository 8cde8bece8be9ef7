#include "logs/log_viewer.h"

#include <algorithm>

#include "logs/daily_log.h"
#include "logs/log_texts.h"
#include "platform/path.h"
#include "base/list_order.h"

namespace vorn {
namespace {

// "Log Vorn " comes before the date in every log name.
constexpr size_t kDateStart = 9;
constexpr size_t kDateLength = 10;

}  // namespace

std::vector<std::string> ListLogDates(platform::FileSystem& fs, const std::string& folder) {
  std::vector<std::string> dates;
  if (!platform::IsAbsolutePath(folder)) return dates;
  auto opened = fs.OpenFolder(folder);
  if (!opened.ok()) return dates;
  auto reader = fs.ReadFolder(**opened);
  if (!reader.ok()) return dates;
  platform::FolderEntry entry;
  while ((*reader)->Next(entry)) {
    if (entry.type == platform::EntryType::kFolder || !IsLogFileName(entry.name)) continue;
    if (entry.name.size() <= kDateStart) continue;
    dates.push_back(entry.name.substr(kDateStart, kDateLength));
  }
  std::stable_sort(dates.begin(), dates.end(),
                   [](const std::string& a, const std::string& b) { return ListOrderLess(a, b); });
  return dates;
}

DatePlace DateLabelPlace(int index) {
  return {index % 4, index / 4};
}

std::string RemoveLogText(std::string_view date, Language language) {
  return std::string(Tr(LogText::kRemoveLog, language)) + std::string(date) + "'";
}

void DeleteLog(platform::FileSystem& fs, const std::string& folder, std::string_view date) {
  if (!platform::IsAbsolutePath(folder)) return;
  const std::string path = LogPathForDate(folder, date);
  auto opened = fs.OpenFolder(platform::ParentFolder(path));
  if (!opened.ok()) return;
  (void)fs.DeleteFileAt(**opened, platform::BaseName(path));
}

}  // namespace vorn
