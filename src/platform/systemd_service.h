#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/service_control.h"

namespace vorn::platform {

/// How the systemd service control is set up; the defaults come from the
/// running process (MakeSystemdServiceControl fills them).
struct SystemdOptions {
  /// Folder of the unit file: VORN_UNIT_DIR when set, /etc/systemd/system
  /// for root, ~/.config/systemd/user for anybody else.
  std::string unit_folder;
  bool user_unit = false;         ///< systemctl --user
  std::string executable;         ///< what ExecStart runs
  bool manual_installed = false;  ///< vorn(1) is installed beside the executable
  std::string app_folder;         ///< passed on with --home
  /// User= and Group= of a system unit; empty: root, which a mirror needs
  /// to read everything.
  std::string user;
  std::string group;
  bool running_as_service = false;  ///< this process was started with --service
  /// Whether systemd manages this machine (/run/systemd/system exists);
  /// systemctl is only called when it does.
  bool systemd_running = false;
  /// Runs a command and answers its exit status (systemctl).
  std::function<int(const std::vector<std::string>&)> run;
  /// Writes one event-log entry; syslog with the identity "Vorn Service" by default.
  std::function<void(EventType, const std::string&)> log;
};

/// A user the service may run as, with its primary group.
struct ServiceAccount {
  std::string user;
  std::string group;  ///< the group's name, or its number when it has none
  unsigned uid = 0;
  unsigned gid = 0;
};

/// The account of a user name (or number); none when the machine has no
/// such user.
std::optional<ServiceAccount> FindServiceAccount(const std::string& name);

/// Whether `account`, with its groups, may create and replace files in
/// `folder`: asked of the kernel by a child process that takes on the
/// account, so modes, ACLs and read-only mounts all count. Needs root.
bool AccountMayWriteIn(const ServiceAccount& account, const std::string& folder);

/// The options for this process.
SystemdOptions DefaultSystemdOptions(const std::string& app_folder, bool running_as_service);

/// The service control on systemd: "installed" means the unit file vorn.service
/// exists; start type and desktop interaction are kept in it (as
/// X-Vorn-StartType and X-Vorn-InteractWithDesktop) and read back from it;
/// automatic means enabled. Life-cycle events come from signals: started
/// at the first delivery in service mode, stopped on SIGINT/SIGTERM, paused
/// on SIGTSTP, continued on SIGCONT.
std::unique_ptr<ServiceControl> MakeSystemdServiceControl(SystemdOptions options);

/// The unit file's text for the given settings.
std::string SystemdUnitText(const SystemdOptions& options, int start_type, bool interact);

}  // namespace vorn::platform
