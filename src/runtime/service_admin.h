#pragma once

#include <cstdint>
#include <string>

#include "platform/service_control.h"
#include "platform/systemd_service.h"
#include "base/text.h"

namespace vorn {

/// The service's state as the administration dialog's label shows it.
std::string ServiceStateText(bool installed, Language language);

/// What an install or remove did, in the words the dialog shows.
struct ServiceAction {
  bool done = false;       ///< false: already installed / not installed; the caller beeps
  std::string state_text;  ///< the state label's new text
  std::string message;     ///< for install: the message box shown before the program ends
};

/// Installs the service with a start type and the desktop interaction, and
/// writes the installed text to the event log. Does nothing when installed.
ServiceAction InstallService(platform::ServiceControl& service, int start_type, bool interact,
                             Language language);

/// The unit's User= and Group= for `--user NAME` (none: root, which a mirror
/// needs to read everything). Why the name cannot be used, empty when it can:
/// a user unit runs as its owner, the user must exist, and it must be able
/// to write in the application folder, where the service keeps the source
/// volumes that guard the targets, and its logs.
std::string ChooseServiceAccount(const std::string& name, platform::SystemdOptions& unit);

/// Removes the service and writes the removed text to the event log. Does
/// nothing when it is not installed.
ServiceAction RemoveService(platform::ServiceControl& service, Language language);

/// The start-up path when an interactive process finds the service
/// installed and the user agrees to remove it: uninstall and log.
void RemoveServiceAtStartup(platform::ServiceControl& service, Language language);

/// Writes one event-log entry per life-cycle event, in French or English.
class ServiceLifecycleLog final : public platform::ServiceEventHandler {
 public:
  ServiceLifecycleLog(platform::ServiceControl& service, const Language& language)
      : service_(service), language_(language) {}
  void OnServiceStarted(std::string_view argument) override;
  void OnServiceStopped() override;
  void OnServicePaused() override;
  void OnServiceContinued() override;
  void OnUserLoggedOff() override;

 private:
  platform::ServiceControl& service_;
  const Language& language_;  ///< the current language, read at each event
};

}  // namespace vorn
