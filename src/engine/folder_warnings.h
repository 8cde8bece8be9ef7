#pragma once

#include <functional>
#include <string>

#include "engine/pass_display.h"
#include "logs/daily_log.h"
#include "platform/service_control.h"
#include "config/mirror_settings.h"
#include "base/system_info.h"

namespace vorn {

/// The means by which an unknown folder is reported.
struct WarningChannels {
  PassDisplay& host;  ///< message window and beep
  DailyLog& log;
  platform::ServiceControl* service;  ///< event log; null where there is no service control
  const SystemInfo& system;
  /// Starts a shell command without waiting for it (the network message).
  std::function<void(const std::string&)> run_detached;
};

/// The shell command of a network message: "net send " and the stored text,
/// unchanged (its first word is the recipient, the rest the message).
std::string NetSendCommand(const std::string& message_net_send);

/// Raises one warning about `folder` (already ending with the separator)
/// through every channel its settings switch on, in this order: the message
/// window, the log line (message, ": ", folder, "<br>"), a warning in the
/// event log while the service runs, the beep, and the network message.
void RaiseFolderWarning(const std::string& message, const std::string& folder,
                        const MirrorSettings& settings, WarningChannels& channels);

}  // namespace vorn
