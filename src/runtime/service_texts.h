#pragma once

#include "base/text.h"

namespace vorn {

/// Texts of the service: its administration, the start-up question and the
/// event-log entries.
enum class ServiceText {
  kInstalled,
  kNotInstalled,
  kAlreadyInstalled,
  kRemoved,
  kAfterInstall,
  kStartupQuestion,
  kRemovedAtStartup,
  kEventStarted,
  kEventStopped,
  kEventPaused,
  kEventContinued,
  kEventLoggedOff,
  kModeService,
  kModeApplication,
  kTipService,
  kTipApplication,
  // The unknown-folder warning dialog.
  kWarningTitle,
  kChkDossierErr,
  kChkDossierErrSon,
  kChkDossierErrNetSend,
  kNetSendNote,
  kTry,
  kCancel,
  kNoMessage,
  // The service dialog.
  kAdminTitle,
  kInfo,
  kInteract,
  kInteractWarning,
  kEventLogOption,
  kStartType,
  kAutomatic,
  kManual,
  kDisabled,
  kInstallNote,
  kInstall,
  kRemoveNote,
  kRemove,
  kCount,
};

using ServiceCatalogue = Catalogue<ServiceText, static_cast<size_t>(ServiceText::kCount)>;

const ServiceCatalogue& ServiceTexts();

inline std::string_view Tr(ServiceText id, Language language) {
  return ServiceTexts().Get(id, language);
}

}  // namespace vorn
