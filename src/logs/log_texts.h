#pragma once

#include "base/text.h"

namespace vorn {

/// Texts of the daily log: the heading and the operation words.
enum class LogText {
  kHeading,
  kCreation,
  kModification,
  kDeletion,
  kFolder,
  kEmptyFolder,
  kSecurity,
  kAttributes,
  kLocked,
  // The log settings and purge dialogs.
  kChkLogs,
  kChkFichiersLogs,
  kLogFolderTitle,
  kChkPurgeLogs,
  kDays,
  kMinimumReached,
  kMaximumReached,
  kInvalidValuePrefix,
  kCancel,
  // The log viewer.
  kViewerTitle,
  kRemoveLog,
  kPopupCancel,
  kCount,
};

using LogCatalogue = Catalogue<LogText, static_cast<size_t>(LogText::kCount)>;

const LogCatalogue& LogTexts();

inline std::string_view Tr(LogText id, Language language) {
  return LogTexts().Get(id, language);
}

}  // namespace vorn
