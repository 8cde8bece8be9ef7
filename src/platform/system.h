#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace vorn::platform {

/// What the operating system tells about itself and the user running us.
struct OsFacts {
  std::string computer_name;   ///< host name
  std::string user_name;       ///< name of the effective user
  std::string windows_folder;  ///< the "Windir" environment variable, empty when unset
  std::string os_name;         ///< kernel name, "Linux"
  int major = 0;               ///< kernel release, e.g. 6 of 6.1.12
  int minor = 0;
  int patch = 0;
  bool administrator = false;  ///< the effective user may give files to others (root)
};

/// Reads the facts above.
OsFacts ReadOsFacts();

/// The value of an environment variable, empty when unset.
std::string GetEnvironment(const char* name);

/// How many descriptors this process may hold open (the soft limit).
int OpenFileLimit();

/// How many processors this process may run on.
int ProcessorCount();

/// Whether `path` is on a file system where every lookup is a round trip
/// to another process or machine: a network share or a FUSE file system.
bool OnRoundTripFileSystem(const std::string& path);

/// The places a folder choice starts from, as drives are on Windows: the
/// root, the user's home, and the mount points of real file systems.
std::vector<std::string> MountPoints();

/// How the user's locale writes numbers: the digit-grouping and decimal
/// separators (LC_NUMERIC, read without changing the process's locale).
struct NumberFormat {
  std::string grouping_separator = ",";
  std::string decimal_separator = ".";
};
NumberFormat UserNumberFormat();

/// The folder that holds the running executable, without a trailing separator.
std::string ExecutableFolder();

/// The application folder, where the configuration, the pairs, the signatures
/// and by default the logs live: `home_option` when not empty, else the
/// VORN_HOME variable, else the executable's folder when it is writable and
/// not under /usr (a packaged install must not write there), else
/// $XDG_CONFIG_HOME/vorn (~/.config/vorn). Created when missing.
Result<std::string> ResolveApplicationFolder(const std::string& home_option);

/// The kinds of run that hold an application folder.
enum class InstanceKind {
  kWindow,    ///< the desktop program
  kOnce,      ///< --once
  kHeadless,  ///< --headless
  kService,   ///< --service
};

/// The word a kind is recorded and shown as: window, once, headless, service.
std::string_view InstanceKindWord(InstanceKind kind);

/// One running instance per application folder: an exclusive lock on the
/// folder itself, which needs no right to write there, held until the object
/// is destroyed (or the process ends, however).
class InstanceLock {
 public:
  enum class State {
    kHeld,            ///< this process is the only instance
    kAlreadyRunning,  ///< another process holds the lock
    kUnavailable,     ///< the folder cannot be opened or locked; not enforced
  };

  /// Tries to take the lock of `app_folder`.
  static InstanceLock TryAcquire(const std::string& app_folder);
  /// The same; once the lock is taken, writes "PID KIND" into `record_file`
  /// and holds a record lock on it for as long, so that FindInstanceHolder
  /// can tell who runs there. A folder it may not write in gets no record.
  static InstanceLock TryAcquire(const std::string& app_folder, const std::string& record_file,
                                 InstanceKind kind);

  InstanceLock(InstanceLock&& other) noexcept;
  InstanceLock& operator=(InstanceLock&& other) noexcept;
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  ~InstanceLock();

  State state() const { return state_; }

 private:
  InstanceLock(int fd, State state) : fd_(fd), state_(state) {}
  void Release();
  int fd_ = -1;
  int record_fd_ = -1;
  State state_ = State::kUnavailable;
};

/// The process that holds an application folder's instance lock.
struct InstanceHolder {
  int pid = 0;                       ///< 0 when it could not be learnt
  std::optional<InstanceKind> kind;  ///< none when it left no readable record
};

/// Who holds the instance lock of `app_folder` (this process included),
/// learnt without taking or disturbing any lock: from `record_file` while
/// its writer still holds it (a record left by an ended run is ignored),
/// else from the system's lock table. Nothing when no process holds it.
std::optional<InstanceHolder> FindInstanceHolder(const std::string& app_folder,
                                                 const std::string& record_file);

}  // namespace vorn::platform
