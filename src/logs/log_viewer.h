#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "base/text.h"

namespace vorn {

/// The days the log folder holds logs of, oldest first: the ten characters
/// after "Log Vorn " in the name of every daily log, so a stray
/// "Log Vorn 2024-05-01 copy.htm" stands for 2024-05-01 as well. A folder
/// that cannot be read holds none, and so does a relative or empty path: it
/// would name the working directory, never the log folder (see LogFolder).
std::vector<std::string> ListLogDates(platform::FileSystem& fs, const std::string& folder);

/// Where the viewer places date number `index`: four to a row, left to
/// right, oldest first.
struct DatePlace {
  int column = 0;
  int row = 0;
};
DatePlace DateLabelPlace(int index);

/// The question and menu item that remove a day's log: "Remove Log '2024-05-01'".
std::string RemoveLogText(std::string_view date, Language language);

/// Deletes a day's log. A log already gone, in use or protected stays as it
/// is; the viewer hides its date all the same. Nothing is deleted through a
/// relative or empty folder path.
void DeleteLog(platform::FileSystem& fs, const std::string& folder, std::string_view date);

}  // namespace vorn
