#pragma once

#include "shell/text.h"

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
  kCount,
};

using ServiceCatalogue = Catalogue<ServiceText, static_cast<size_t>(ServiceText::kCount)>;

const ServiceCatalogue& ServiceTexts();

inline std::string_view Tr(ServiceText id, int16_t language) {
  return ServiceTexts().Get(id, language);
}

}  // namespace vorn
