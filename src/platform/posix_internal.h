#pragma once

// Shared by the POSIX implementation files only.

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/posix_file_system.h"

namespace vorn::platform::posix {

/// Owns one file descriptor.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    Reset(other.Release());
    return *this;
  }
  ~UniqueFd() { Reset(); }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void Reset(int fd = -1) {
    // close() errors on a descriptor opened for reading or on a folder tell
    // nothing useful; writers check their data before letting go of it.
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_ = -1;
};

/// A folder held open as an O_PATH descriptor: enough to name entries
/// relative to it, and openable even without read permission.
class PosixFolder final : public Folder {
 public:
  PosixFolder(UniqueFd fd, std::string path) : Folder(std::move(path)), fd_(std::move(fd)) {}
  int fd() const { return fd_.get(); }

 private:
  UniqueFd fd_;
};

inline int FdOf(const Folder& folder) {
  return static_cast<const PosixFolder&>(folder).fd();
}

/// A NUL-terminated copy of a name, on the stack for every name a folder can
/// hold, so the hot path allocates nothing.
class CName {
 public:
  explicit CName(std::string_view name) {
    if (name.size() < small_.size()) {
      std::memcpy(small_.data(), name.data(), name.size());
      small_[name.size()] = '\0';
      ptr_ = small_.data();
    } else {
      large_.assign(name);
      ptr_ = large_.c_str();
    }
  }
  const char* c_str() const { return ptr_; }

 private:
  std::array<char, 256> small_;
  std::string large_;
  const char* ptr_;
};

/// An Error for errno about `name` inside `folder`.
Error ErrnoError(int code, std::string operation, const Folder& folder, std::string_view name);

/// EntryInfo from a stat record; `name` decides the hidden bit.
EntryInfo InfoFromStat(const struct stat& st, std::string_view name);

/// Converts a time to 100-nanosecond intervals since 1601-01-01 UTC.
uint64_t FileTimeFromTimespec(const struct timespec& ts);
/// The other way: a time in 100-nanosecond intervals since 1601 as a timespec.
struct timespec TimespecFromFileTime(uint64_t file_time);

/// "/proc/self/fd/N/name": a path that reaches an entry through an open
/// folder descriptor, for interfaces (libacl, xattr by path) that take only paths.
std::string ProcPath(int folder_fd, std::string_view name);

/// Calls f until it does not fail with EINTR.
template <typename F>
auto RetryOnInterrupt(F f) {
  for (;;) {
    auto r = f();
    if (r != -1 || errno != EINTR) return r;
  }
}

/// The temporary a regular file is copied into, in the target folder: an
/// unnamed one (O_TMPFILE) where the file system allows, else one under a
/// fresh name, marked as ours. A failure removes a named temporary again.
class CopyTemporary {
 public:
  CopyTemporary(int folder_fd, std::string target_path);

  /// 0 also when the file system has no unnamed temporaries: see unnamed().
  int OpenUnnamed(mode_t mode);
  int OpenNamed();
  /// Links the unnamed copy under a fresh temporary name, marked; 0 or an errno.
  int GiveName();
  /// Takes the mark off before the copy gets its final name; 0 or an errno.
  int Unmark();
  /// Drops the temporary and answers the error of `operation` on the target.
  Status Fail(int code, const char* operation);
  /// Gives the finished copy the target's name, replacing what bears it.
  Status TakeTargetName(std::string_view target_name);

  int fd() const { return out_.get(); }
  bool unnamed() const { return unnamed_; }
  const std::string& target_path() const { return target_path_; }

  /// The mode the temporary was created with, after the umask.
  mode_t created_mode = 0;

 private:
  int folder_fd_;
  std::string target_path_;
  UniqueFd out_;
  std::string named_;    ///< set while a named temporary exists in the folder
  bool marked_ = false;  ///< the temporary carries kTemporaryMarkAttribute
  bool unnamed_ = false;
};

/// The POSIX file system. Methods are defined in posix_file_system.cc,
/// posix_copy.cc and posix_security.cc.
class PosixFileSystem final : public FileSystem {
 public:
  explicit PosixFileSystem(PosixFileSystemOptions options);

  Result<std::unique_ptr<Folder>> OpenFolder(const std::string& path) override;
  Result<std::unique_ptr<Folder>> OpenFolderAt(const Folder& parent,
                                               std::string_view relative) override;
  Result<FolderIdentity> IdentityOf(const Folder& folder) override;
  Result<std::unique_ptr<FolderReader>> ReadFolder(const Folder& folder) override;
  Result<EntryInfo> Lookup(const std::string& path) override;
  Result<EntryInfo> LookupAt(const Folder& folder, std::string_view name) override;
  Status CreateFolderAt(const Folder& folder, std::string_view name) override;
  Status RemoveFolderAt(const Folder& folder, std::string_view name) override;
  Status DeleteFileAt(const Folder& folder, std::string_view name) override;
  Status RenameAt(const Folder& from_folder, std::string_view from, const Folder& to_folder,
                  std::string_view to) override;
  Status LinkFileAt(const std::string& existing, const Folder& folder,
                    std::string_view name) override;
  Status SetPermissionsAt(const Folder& folder, std::string_view name,
                          uint32_t permissions) override;
  Status SetOwnerAt(const Folder& folder, std::string_view name, uint32_t uid,
                    uint32_t gid) override;
  Status MakeWritableAt(const Folder& folder, std::string_view name) override;
  Status SetTimeAt(const Folder& folder, std::string_view name, uint64_t last_write) override;
  Result<uint64_t> ProbeTimeGranularity(const Folder& folder) override;
  Status CopyFileAt(const Folder& source, std::string_view name, const Folder& target,
                    std::string_view target_name, const CopyOptions& options) override;
  bool IsLockedAt(const Folder& folder, std::string_view name) override;
  bool IsCopyDebrisAt(const Folder& folder, std::string_view name) override;
  Result<SecurityDescriptor> ReadSecurityAt(const Folder& folder, std::string_view name) override;
  Status WriteSecurityAt(const Folder& folder, std::string_view name,
                         const SecurityDescriptor& descriptor) override;
  Result<std::string> ReadStreamAt(const Folder& folder, std::string_view name,
                                   std::string_view stream, std::size_t max_bytes) override;
  Status CopyStreamAt(const Folder& source, std::string_view name, const Folder& target,
                      std::string_view target_name, std::string_view stream) override;
  Status DeleteStreamAt(const Folder& folder, std::string_view name,
                        std::string_view stream) override;
  Result<std::string> ReadFile(const std::string& path) override;
  Status ReplaceFile(const std::string& path, std::string_view contents) override;
  Status AppendToFile(const std::string& path, std::string_view text) override;
  Status DeleteFile(const std::string& path) override;

 private:
  int Fault(CopyStep step, uint64_t offset = 0) const {
    return options_.copy_fault ? options_.copy_fault(step, offset) : 0;
  }
  Status CopyRegularFile(UniqueFd in, const struct stat& st, const Folder& source,
                         std::string_view name, const Folder& target, std::string_view target_name,
                         const CopyOptions& options);
  int OpenCopyTemporary(CopyTemporary& temporary, const struct stat& st);
  Status WriteCopy(int in, CopyTemporary& temporary, const struct stat& st,
                   const CopyOptions& options);
  Status CopySpecialEntry(const Folder& source, std::string_view name, const struct stat& st,
                          const Folder& target, std::string_view target_name, bool copy_owner);
  Status CopyContent(int from, int to, const struct stat& st, const std::string& path,
                     const CopyOptions& options);

  PosixFileSystemOptions options_;
  mode_t umask_;  ///< the process's, read once: new files get their mode through it
  std::vector<dev_t> no_clone_devices_;  ///< sources whose file system cannot clone
};

/// A fresh name for a temporary: ".vorn-tmp-", the process id, "-" and 16
/// random hex digits.
std::string NewTemporaryName();

/// Marks a just-created temporary as Vorn's own (kTemporaryMarkAttribute);
/// false when the file system keeps no user attributes on it.
bool MarkTemporary(int fd);

/// Takes the mark off a temporary about to get its final name; 0 or an errno.
int UnmarkTemporary(int fd);

}  // namespace vorn::platform::posix
