#include "runtime/service_admin.h"

#include "runtime/service_texts.h"

namespace vorn {

using platform::EventType;

std::string ServiceStateText(bool installed, Language language) {
  return std::string(
      Tr(installed ? ServiceText::kInstalled : ServiceText::kNotInstalled, language));
}

ServiceAction InstallService(platform::ServiceControl& service, int start_type, bool interact,
                             Language language) {
  if (service.IsInstalled()) {
    return {false, std::string(Tr(ServiceText::kAlreadyInstalled, language)), {}};
  }
  service.SetStartType(start_type);
  service.SetInteractWithDesktop(interact);
  service.Install(false);
  ServiceAction action{true, ServiceStateText(true, language), {}};
  service.LogEvent(EventType::kInformation, action.state_text);
  action.message =
      action.state_text + "\r\n\r\n" + std::string(Tr(ServiceText::kAfterInstall, language));
  return action;
}

std::string ChooseServiceAccount(const std::string& name, platform::SystemdOptions& unit) {
  if (name.empty()) return {};
  if (unit.user_unit) {
    return "--user needs root: a unit installed by another user runs as that user";
  }
  const auto account = platform::FindServiceAccount(name);
  if (!account) return "--user " + name + ": no such user on this machine";
  if (account->uid == 0) return {};
  if (!platform::AccountMayWriteIn(*account, unit.app_folder)) {
    return "--user " + name + ": " + account->user + " may not write in " + unit.app_folder +
           ", where the service keeps its settings and logs (give it the folder, or choose "
           "another with --home)";
  }
  unit.user = account->user;
  unit.group = account->group;
  return {};
}

ServiceAction RemoveService(platform::ServiceControl& service, Language language) {
  if (!service.IsInstalled()) return {false, ServiceStateText(false, language), {}};
  service.Uninstall();
  ServiceAction action{true, std::string(Tr(ServiceText::kRemoved, language)), {}};
  service.LogEvent(EventType::kInformation, action.state_text);
  return action;
}

void RemoveServiceAtStartup(platform::ServiceControl& service, Language language) {
  service.Uninstall();
  service.LogEvent(EventType::kInformation, Tr(ServiceText::kRemovedAtStartup, language));
}

void ServiceLifecycleLog::OnServiceStarted(std::string_view) {
  service_.LogEvent(EventType::kInformation, Tr(ServiceText::kEventStarted, language_));
}

void ServiceLifecycleLog::OnServiceStopped() {
  service_.LogEvent(EventType::kInformation, Tr(ServiceText::kEventStopped, language_));
}

void ServiceLifecycleLog::OnServicePaused() {
  service_.LogEvent(EventType::kInformation, Tr(ServiceText::kEventPaused, language_));
}

void ServiceLifecycleLog::OnServiceContinued() {
  service_.LogEvent(EventType::kInformation, Tr(ServiceText::kEventContinued, language_));
}

void ServiceLifecycleLog::OnUserLoggedOff() {
  service_.LogEvent(EventType::kWarning, Tr(ServiceText::kEventLoggedOff, language_));
}

}  // namespace vorn
