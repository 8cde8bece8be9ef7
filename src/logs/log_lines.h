#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/text.h"

namespace vorn {

// The lines a pass adds to the daily log, each as its HTML, without the
// line end. Paths are escaped here, so any name the file system hands over
// can be passed as it is.

/// What happened to one file of the target (or, when moving, of the source).
enum class FileEvent {
  kCreated,
  kModified,
  kAttributesModified,
  kSecurityModified,
  kDeleted,
};

/// What happened to one folder.
enum class FolderEvent {
  kCreated,
  kAttributesModified,
  kSecurityModified,
  kDeleted,
  kEmptyFolderDeleted,
};

/// The words of a file event ("Creation", "Modification attributes"...).
std::string FileEventWords(FileEvent event, Language language);
/// The words of a folder event ("Creation folder"...).
std::string FolderEventWords(FolderEvent event, Language language);

/// "<small>Creation - /path</small><br>".
std::string FileEventLine(FileEvent event, std::string_view path, Language language);

/// "<small><i>Creation folder</i> - /path/</small><br>".
std::string FolderEventLine(FolderEvent event, std::string_view path, Language language);

/// A source another program held, so it was not copied.
std::string LockedFileLine(std::string_view path, Language language);

/// The time difference that made a modification due, in 100-ns intervals.
std::string TimeDeltaLine(int64_t delta, int32_t max_interval);

/// The pass's two summary lines under the product's name, and a rule.
std::string PassSummaryLine(std::string_view first, std::string_view second);

/// A warning about a folder: its message, then the folder.
std::string FolderWarningLine(std::string_view message, std::string_view folder);

/// The message of the warning that ends the program: the time in bold,
/// which `text` (from the catalogue) closes.
std::string FatalWarningMessage(std::string_view time, std::string_view text);

}  // namespace vorn
