#include "logs/daily_log.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "logs/log_texts.h"
#include "platform/path.h"
#include "base/constants.h"

namespace vorn {
namespace {

std::string LogPrefix() {
  return "Log " + std::string(kProductName);
}

}  // namespace

std::string HtmlEscape(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

bool IsLogFileName(std::string_view name) {
  const std::string prefix = LogPrefix();
  constexpr std::string_view kSuffix = ".htm";
  return name.size() >= prefix.size() + kSuffix.size() && name.substr(0, prefix.size()) == prefix &&
         name.substr(name.size() - kSuffix.size()) == kSuffix;
}

DailyLog::DailyLog(platform::FileSystem& fs, const MirrorSettings& settings, platform::Clock& clock,
                   std::string app_folder, LogWriting writing)
    : fs_(fs),
      settings_(settings),
      clock_(clock),
      app_folder_(std::move(app_folder)),
      writing_(writing) {}

std::string LogPathForDate(const std::string& folder, std::string_view date) {
  return platform::JoinPath(folder, LogPrefix() + " " + std::string(date) + ".htm");
}

std::string DailyLog::DailyLogName(const std::string& folder, const platform::LocalTime& date) {
  char day[16];
  std::snprintf(day, sizeof day, "%04d-%02d-%02d", date.year, date.month, date.day);
  return LogPathForDate(folder, day);
}

void DailyLog::FixDay(const platform::LocalTime& date) {
  // Checked at every pass: the folder may vanish while the program runs, and
  // the lines then go to the application folder rather than being lost.
  current_file_ = DailyLogName(LogFolder(fs_, settings_.PathLogs, app_folder_), date);
}

void DailyLog::OpenDailyLog() {
  if (writing_ == LogWriting::kOff) return;
  if (current_file_.empty() || fs_.Lookup(current_file_).ok()) return;
  if (settings_.PurgeLogs) Purge();
  const Language language = settings_.Langue;
  std::string header;
  for (const std::string& line :
       {std::string("<html>"), std::string("<head><meta charset=\"utf-8\">"),
        "<title>Logs " + std::string(kProductName) + "</title>", std::string("</head>"),
        std::string("<body>"), std::string(Tr(LogText::kHeading, language)),
        "<center><h3>" + clock_.LongDate(clock_.Now()) + "</h3></center>"}) {
    header += line;
    header += "\r\n";
  }
  // A header that cannot be written is lost like any log line.
  (void)fs_.AppendToFile(current_file_, header);
}

void DailyLog::AppendLogLine(std::string_view text) {
  if (writing_ == LogWriting::kOff || current_file_.empty()) return;
  std::string line(text);
  line += "\r\n";
  // A lost line must not stop the pass; nothing else can be done with it.
  (void)fs_.AppendToFile(current_file_, line);
}

void DailyLog::Purge() {
  const std::string folder = platform::ParentFolder(current_file_);
  auto opened = fs_.OpenFolder(folder);
  if (!opened.ok()) return;
  auto reader = fs_.ReadFolder(**opened);
  if (!reader.ok()) return;
  std::vector<std::string> logs;
  platform::FolderEntry entry;
  while ((*reader)->Next(entry)) {
    if (entry.type != platform::EntryType::kFolder && IsLogFileName(entry.name)) {
      logs.push_back(entry.name);
    }
  }
  // Names carry the date as yyyy-mm-dd, so name order is age order.
  std::sort(logs.begin(), logs.end());
  const size_t keep = settings_.DelaiLogs > 0 ? static_cast<size_t>(settings_.DelaiLogs) : 0;
  if (logs.size() <= keep) return;
  // Leave one place free for the file about to be created; a file that
  // cannot be deleted is passed over all the same and tried again next time.
  for (size_t i = 0; logs.size() - i >= keep && i < logs.size(); ++i) {
    (void)fs_.DeleteFileAt(**opened, logs[i]);
  }
}

}  // namespace vorn
