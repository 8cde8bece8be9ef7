#include "platform/systemd_service.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <syslog.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/path.h"
#include "platform/process.h"
#include "platform/signals.h"
#include "platform/system.h"

namespace vorn::platform {
namespace {

constexpr const char* kUnitName = "vorn.service";
constexpr const char* kStartTypeKey = "X-Vorn-StartType=";
constexpr const char* kInteractKey = "X-Vorn-InteractWithDesktop=";

// One argument of ExecStart: quoted, with the characters systemd treats
// specially escaped.
std::string QuoteForSystemd(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';  // a specifier
    if (c == '$') quoted += '$';  // a variable
    quoted += c;
  }
  return quoted + "\"";
}

bool ReadText(const std::string& path, std::string& text) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buffer[4096];
  ssize_t n;
  text.clear();
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
  ::close(fd);
  return n == 0;
}

// Writes a file through a temporary and a rename, so systemd never reads
// half a unit.
bool WriteText(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".tmp";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  if (::close(fd) != 0 || !written || ::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

void CreateFolders(const std::string& path) {
  if (path.empty() || ::access(path.c_str(), F_OK) == 0) return;
  CreateFolders(ParentFolder(path));
  ::mkdir(path.c_str(), 0755);
}

// The number after `key` at the start of a line, or `fallback`.
int ReadKey(const std::string& text, const std::string& key, int fallback) {
  size_t at = 0;
  while ((at = text.find(key, at)) != std::string::npos) {
    if (at == 0 || text[at - 1] == '\n') {
      size_t pos = at + key.size();
      int value = 0;
      bool any = false;
      while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos++] - '0');
        any = true;
      }
      return any ? value : fallback;
    }
    at += key.size();
  }
  return fallback;
}

// The sandbox of a system unit: every option that still lets the mirror
// read any source and write any target, keep modes, ACLs, times and
// extended attributes, and write to syslog through /dev/log (AF_UNIX).
// Left out on purpose: ProtectSystem= and ProtectHome= (targets and sources
// may be anywhere), PrivateTmp= (a pair under /tmp or /var/tmp would mirror
// into a private folder that vanishes with the service), RestrictSUIDSGID=
// (set-user-ID and set-group-ID files and folders are copied with their
// modes), PrivateUsers= (it would hide the real owners). PrivateDevices=
// costs the copy of device nodes found in a source, which then count as
// entries not mirrored; keeping the disks out of reach is worth it.
constexpr const char* kSystemSandbox =
    "PrivateDevices=yes\n"
    "PrivateIPC=yes\n"
    "ProtectKernelTunables=yes\n"
    "ProtectKernelModules=yes\n"
    "ProtectKernelLogs=yes\n"
    "ProtectControlGroups=yes\n"
    "ProtectClock=yes\n"
    "ProtectHostname=yes\n"
    "ProtectProc=invisible\n"
    "ProcSubset=pid\n"
    "PrivateMounts=yes\n"
    "RemoveIPC=yes\n"
    "IPAddressDeny=any\n"
    // Reading everything, writing everywhere, and keeping modes, times and
    // ACLs of files it does not own (with set-group-ID bits); Vorn never
    // changes an owner, so CAP_CHOWN stays out.
    "CapabilityBoundingSet=CAP_DAC_READ_SEARCH CAP_DAC_OVERRIDE CAP_FOWNER CAP_FSETID\n"
    "AmbientCapabilities=\n";

// What a user unit can have too: no namespaces, which a user manager could
// only set up in a user namespace the kernel may refuse.
constexpr const char* kCommonSandbox =
    "NoNewPrivileges=yes\n"
    "RestrictAddressFamilies=AF_UNIX\n"
    "RestrictNamespaces=yes\n"
    "RestrictRealtime=yes\n"
    "LockPersonality=yes\n"
    "MemoryDenyWriteExecute=yes\n"
    "SystemCallArchitectures=native\n"
    "SystemCallFilter=@system-service\n"
    "SystemCallFilter=~@privileged @resources\n"
    // A refused call fails like any other error and the pass reports it; a
    // mirror killed in the middle of a copy would help nobody.
    "SystemCallErrorNumber=EPERM\n"
    // Logs and new folders are nobody else's business; copies keep their
    // source's mode whatever the mask.
    "UMask=0027\n";

void SystemLog(EventType type, const std::string& text) {
  static const bool opened = [] {
    ::openlog("Vorn Service", LOG_PID, LOG_DAEMON);
    return true;
  }();
  (void)opened;
  ::syslog(type == EventType::kWarning ? LOG_WARNING : LOG_INFO, "%s", text.c_str());
}

class SystemdServiceControl final : public ServiceControl {
 public:
  explicit SystemdServiceControl(SystemdOptions options) : options_(std::move(options)) {}

  bool IsInstalled() override { return ::access(UnitPath().c_str(), F_OK) == 0; }
  bool IsInstalledHere() override {
    std::string text;
    if (!ReadText(UnitPath(), text)) return false;
    const std::string home = " --home " + QuoteForSystemd(options_.app_folder) + "\n";
    const size_t exec = text.find("\nExecStart=");
    const size_t end = exec == std::string::npos ? exec : text.find('\n', exec + 1);
    return end != std::string::npos && end + 1 >= home.size() &&
           text.compare(end + 1 - home.size(), home.size(), home) == 0;
  }
  bool IsRunningAsService() override { return options_.running_as_service; }
  bool IsRunning() override {
    if (options_.running_as_service) return true;
    return options_.systemd_running && Systemctl({"is-active", "--quiet", kUnitName}) == 0;
  }

  int StartType() override { return ReadSetting(kStartTypeKey, start_type_); }
  void SetStartType(int start_type) override {
    start_type_ = start_type;
    if (IsInstalled()) Rewrite();
  }
  bool InteractWithDesktop() override { return ReadSetting(kInteractKey, interact_ ? 1 : 0) == 1; }
  void SetInteractWithDesktop(bool interact) override {
    interact_ = interact;
    if (IsInstalled()) Rewrite();
  }

  void Install(bool /*start_now: never asked for; the user starts the service*/) override {
    CreateFolders(options_.unit_folder);
    Rewrite();
  }

  void Uninstall() override {
    if (options_.systemd_running) Systemctl({"disable", kUnitName});
    ::unlink(UnitPath().c_str());
    if (options_.systemd_running) Systemctl({"daemon-reload"});
  }

  void LogEvent(EventType type, std::string_view text) override {
    if (options_.log) options_.log(type, std::string(text));
  }

  void SetEventHandler(ServiceEventHandler* handler) override { handler_ = handler; }

  void DeliverPendingEvents() override {
    if (handler_ == nullptr || !options_.running_as_service) return;
    if (!started_) {
      started_ = true;
      handler_->OnServiceStarted("");
    }
    if (TakeSignal(ProcessSignal::kPause)) handler_->OnServicePaused();
    if (TakeSignal(ProcessSignal::kContinue)) handler_->OnServiceContinued();
    if (StopRequested() && !stopped_) {
      stopped_ = true;
      handler_->OnServiceStopped();
    }
  }

 private:
  std::string UnitPath() const { return JoinPath(options_.unit_folder, kUnitName); }

  int ReadSetting(const char* key, int fallback) {
    std::string text;
    if (!ReadText(UnitPath(), text)) return fallback;
    return ReadKey(text, key, fallback);
  }

  void Rewrite() {
    if (!WriteText(UnitPath(), SystemdUnitText(options_, start_type_, interact_))) return;
    if (!options_.systemd_running) return;
    Systemctl({"daemon-reload"});
    Systemctl({start_type_ == 0 ? "enable" : "disable", kUnitName});
  }

  int Systemctl(std::vector<std::string> arguments) {
    std::vector<std::string> argv = {"systemctl"};
    if (options_.user_unit) argv.push_back("--user");
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return options_.run ? options_.run(argv) : -1;
  }

  SystemdOptions options_;
  int start_type_ = 0;
  bool interact_ = false;
  ServiceEventHandler* handler_ = nullptr;
  bool started_ = false;
  bool stopped_ = false;
};

}  // namespace

std::optional<ServiceAccount> FindServiceAccount(const std::string& name) {
  std::vector<char> buffer(16384);
  struct passwd entry {};
  struct passwd* user = nullptr;
  ::getpwnam_r(name.c_str(), &entry, buffer.data(), buffer.size(), &user);
  if (user == nullptr && !name.empty() &&
      name.find_first_not_of("0123456789") == std::string::npos && name.size() < 10) {
    ::getpwuid_r(static_cast<uid_t>(std::stoul(name)), &entry, buffer.data(), buffer.size(), &user);
  }
  if (user == nullptr) return std::nullopt;
  ServiceAccount account{user->pw_name, std::to_string(user->pw_gid), user->pw_uid, user->pw_gid};
  std::vector<char> group_buffer(16384);
  struct group group_entry {};
  struct group* group = nullptr;
  ::getgrgid_r(user->pw_gid, &group_entry, group_buffer.data(), group_buffer.size(), &group);
  if (group != nullptr) account.group = group->gr_name;
  return account;
}

bool AccountMayWriteIn(const ServiceAccount& account, const std::string& folder) {
  constexpr int kRefused = 1;
  const pid_t child = ::fork();
  if (child < 0) return true;  // nothing to ask with: the install goes on
  if (child == 0) {
    if (::initgroups(account.user.c_str(), account.gid) != 0 || ::setgid(account.gid) != 0 ||
        ::setuid(account.uid) != 0) {
      ::_exit(2);
    }
    ::_exit(::access(folder.c_str(), W_OK | X_OK) == 0 ? 0 : kRefused);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return !(WIFEXITED(status) && WEXITSTATUS(status) == kRefused);
}

SystemdOptions DefaultSystemdOptions(const std::string& app_folder, bool running_as_service) {
  SystemdOptions options;
  options.unit_folder = GetEnvironment("VORN_UNIT_DIR");
  options.user_unit = ::geteuid() != 0;
  if (options.unit_folder.empty()) {
    if (!options.user_unit) {
      options.unit_folder = "/etc/systemd/system";
    } else {
      std::string config = GetEnvironment("XDG_CONFIG_HOME");
      if (config.empty()) config = JoinPath(GetEnvironment("HOME"), ".config");
      options.unit_folder = JoinPath(config, "systemd/user");
    }
  }
  options.executable = JoinPath(ExecutableFolder(), "vorn");
  char self[4096];
  const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (n > 0) options.executable.assign(self, static_cast<size_t>(n));
  options.manual_installed =
      ::access(JoinPath(ParentFolder(ParentFolder(options.executable)), "share/man/man1/vorn.1.gz")
                   .c_str(),
               F_OK) == 0;
  options.app_folder = app_folder;
  options.running_as_service = running_as_service;
  options.systemd_running = ::access("/run/systemd/system", F_OK) == 0;
  options.run = RunAndWait;
  options.log = SystemLog;
  return options;
}

std::string SystemdUnitText(const SystemdOptions& options, int start_type, bool interact) {
  std::string text =
      "# Written by Vorn; \"vorn --remove-service\" removes it.\n"
      "[Unit]\n"
      "Description=Vorn Service\n";
  // Named only where it is there: systemd checks the pages a unit names.
  if (options.manual_installed) text += "Documentation=man:vorn(1)\n";
  if (!options.user_unit) {
    // The files to mirror may be on the network: start once it is up.
    text += "Wants=network-online.target\nAfter=network-online.target\n";
  }
  text += "\n[Service]\nType=simple\nExecStart=" + QuoteForSystemd(options.executable) +
          " --service --home " + QuoteForSystemd(options.app_folder) + "\n";
  // Vorn reads Vorn.ini and Vorn.w again between two passes.
  text += "ExecReload=/bin/kill -HUP $MAINPID\n";
  // Bad options, a start-up that ended the program and a fatal stop would
  // end every restart the same way.
  text += "Restart=on-failure\nRestartSec=5\nRestartPreventExitStatus=1 2 3\n";
  if (!options.user_unit && !options.user.empty()) {
    text += "User=" + options.user + "\nGroup=" + options.group + "\n";
  }
  text += std::string(kStartTypeKey) + std::to_string(start_type) + "\n" + kInteractKey +
          (interact ? "1" : "0") + "\n\n" + kCommonSandbox;
  if (!options.user_unit) text += kSystemSandbox;
  text += std::string("\n[Install]\nWantedBy=") +
          (options.user_unit ? "default.target" : "multi-user.target") + "\n";
  return text;
}

std::unique_ptr<ServiceControl> MakeSystemdServiceControl(SystemdOptions options) {
  return std::make_unique<SystemdServiceControl>(std::move(options));
}

}  // namespace vorn::platform
