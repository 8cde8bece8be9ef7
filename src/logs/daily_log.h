#pragma once

#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "config/mirror_settings.h"

namespace vorn {

/// The text with `&`, `<`, `>` and `"` written as HTML entities: every name
/// from the file system goes into a log line this way, so that a browser
/// shows it as it is instead of reading it as markup.
std::string HtmlEscape(std::string_view text);

/// Whether a file name is one of the daily logs: "Log Vorn" ... ".htm".
bool IsLogFileName(std::string_view name);

/// The log file of a day given as "yyyy-mm-dd": "Log Vorn yyyy-mm-dd.htm".
std::string LogPathForDate(const std::string& folder, std::string_view date);

/// Whether a log writes its lines, or (for a run that must change nothing)
/// drops them.
enum class LogWriting { kOn, kOff };

/// The daily HTML log: one file per day in the log folder, created with a
/// header when a pass first needs it, then grown one line at a time. Each
/// line opens, appends and closes the file, so the log viewer may read or
/// delete it between two lines.
class DailyLog {
 public:
  /// Lines go to the LogFolder of the settings' PathLogs, with `app_folder`
  /// standing in for a log folder that is not there (any more).
  DailyLog(platform::FileSystem& fs, const MirrorSettings& settings, platform::Clock& clock,
           std::string app_folder, LogWriting writing = LogWriting::kOn);

  /// The log file of a day in a folder: "Log Vorn yyyy-mm-dd.htm".
  static std::string DailyLogName(const std::string& folder, const platform::LocalTime& date);

  /// Fixes the file every line goes to until the next call: the file of the
  /// day a pass starts, even when the pass runs past midnight.
  void FixDay(const platform::LocalTime& date);

  /// Makes sure the fixed day's file exists: when it does not, purges old
  /// logs (when purging is on) and creates it with its header.
  void OpenDailyLog();

  /// Appends one line (and a CR LF) to the fixed day's file. A line that
  /// cannot be written is lost; the pass goes on.
  void AppendLogLine(std::string_view text);

  /// The file lines go to; empty before the first FixDay.
  const std::string& current_file() const { return current_file_; }

 private:
  void Purge();

  platform::FileSystem& fs_;
  const MirrorSettings& settings_;
  platform::Clock& clock_;
  std::string app_folder_;
  std::string current_file_;
  LogWriting writing_;
};

}  // namespace vorn
