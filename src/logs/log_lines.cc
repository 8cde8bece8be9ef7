#include "logs/log_lines.h"

#include "base/constants.h"
#include "logs/daily_log.h"
#include "logs/log_texts.h"

namespace vorn {
namespace {

std::string Words(std::initializer_list<LogText> words, Language language) {
  std::string joined;
  for (const LogText word : words) {
    if (!joined.empty()) joined += ' ';
    joined += Tr(word, language);
  }
  return joined;
}

}  // namespace

std::string FileEventWords(FileEvent event, Language language) {
  switch (event) {
    case FileEvent::kCreated:
      return Words({LogText::kCreation}, language);
    case FileEvent::kModified:
      return Words({LogText::kModification}, language);
    case FileEvent::kAttributesModified:
      return Words({LogText::kModification, LogText::kAttributes}, language);
    case FileEvent::kSecurityModified:
      return Words({LogText::kSecurity}, language);
    case FileEvent::kDeleted:
      return Words({LogText::kDeletion}, language);
  }
  return {};
}

std::string FolderEventWords(FolderEvent event, Language language) {
  switch (event) {
    case FolderEvent::kCreated:
      return Words({LogText::kCreation, LogText::kFolder}, language);
    case FolderEvent::kAttributesModified:
      return Words({LogText::kModification, LogText::kAttributes, LogText::kFolder}, language);
    case FolderEvent::kSecurityModified:
      return Words({LogText::kSecurity, LogText::kFolder}, language);
    case FolderEvent::kDeleted:
      return Words({LogText::kDeletion, LogText::kFolder}, language);
    case FolderEvent::kEmptyFolderDeleted:
      return Words({LogText::kDeletion, LogText::kEmptyFolder}, language);
  }
  return {};
}

std::string FileEventLine(FileEvent event, std::string_view path, Language language) {
  return "<small>" + FileEventWords(event, language) + " - " + HtmlEscape(path) + "</small><br>";
}

std::string FolderEventLine(FolderEvent event, std::string_view path, Language language) {
  return "<small><i>" + FolderEventWords(event, language) + "</i> - " + HtmlEscape(path) +
         "</small><br>";
}

std::string LockedFileLine(std::string_view path, Language language) {
  return "<small><b>" + std::string(Tr(LogText::kLocked, language)) + "</b> - " +
         HtmlEscape(path) + "</small><br>";
}

std::string TimeDeltaLine(int64_t delta, int32_t max_interval) {
  return "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<small>Time delta between source and target files=" +
         std::to_string(delta) + " [in 100-nanosecond intervals; MaxTimeInterval=" +
         std::to_string(max_interval) + "]</small><br>";
}

std::string PassSummaryLine(std::string_view first, std::string_view second) {
  return "<b>" + ProductLabel() + "</b>&nbsp;" +
         std::string(first) + "<br>" + std::string(second) + "<br><hr>";
}

std::string FolderWarningLine(std::string_view message, std::string_view folder) {
  return std::string(message) + ": " + HtmlEscape(folder) + "<br>";
}

std::string FatalWarningMessage(std::string_view time, std::string_view text) {
  return "<b>" + std::string(time) + std::string(text);
}

}  // namespace vorn
