#include "engine/folder_warnings.h"

#include "logs/log_lines.h"

namespace vorn {

std::string NetSendCommand(const std::string& message_net_send) {
  return "net send " + message_net_send;
}

void RaiseFolderWarning(const std::string& message, const std::string& folder,
                        const MirrorSettings& settings, WarningChannels& channels) {
  if (settings.ErreurDossier) channels.host.ShowMessageWindow(message);
  if (settings.ErreurDossier && settings.Logs) {
    channels.log.OpenDailyLog();
    channels.log.AppendLogLine(FolderWarningLine(message, folder));
  }
  if (channels.system.nt && settings.ErreurDossierEventLog && channels.service != nullptr &&
      channels.service->IsInstalled() && channels.service->IsRunning()) {
    channels.service->LogEvent(platform::EventType::kWarning, message + ": " + folder);
  }
  if (settings.ErreurDossierSon) channels.host.Beep();
  if (channels.system.nt && settings.ErreurDossierNetSend && !settings.MessageNetSend.empty() &&
      channels.run_detached) {
    channels.run_detached(NetSendCommand(settings.MessageNetSend));
  }
}

}  // namespace vorn
