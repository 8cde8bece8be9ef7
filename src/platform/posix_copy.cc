// CopyFileAt of the POSIX file system: an atomic copy through a temporary
// in the target folder.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "platform/path.h"
#include "platform/posix_internal.h"

namespace vorn::platform::posix {
namespace {

constexpr std::string_view kUserNamespace = "user.";

bool ProcFdAvailable() {
  static const bool available = ::access("/proc/self/fd", X_OK) == 0;
  return available;
}

// Errors of O_TMPFILE that mean "not here", as opposed to a real failure
// such as a full disk or a read-only folder.
bool UnnamedTemporaryUnsupported(int code) {
  return code == EOPNOTSUPP || code == EISDIR || code == EINVAL || code == ENOENT;
}

// Errors of copy_file_range that mean "use read and write instead".
bool RangeCopyUnsupported(int code) {
  return code == EXDEV || code == EOPNOTSUPP || code == ENOSYS || code == EINVAL || code == EBADF;
}

// The names of a descriptor's extended attributes, NUL-separated.
bool ListAttributes(int fd, std::vector<char>& names) {
  for (;;) {
    const ssize_t size = ::flistxattr(fd, nullptr, 0);
    if (size < 0) return errno == ENOTSUP;  // no attributes to carry
    names.resize(static_cast<size_t>(size));
    if (size == 0) return true;
    const ssize_t got = ::flistxattr(fd, names.data(), names.size());
    if (got >= 0) {
      names.resize(static_cast<size_t>(got));
      return true;
    }
    if (errno != ERANGE) return false;  // ERANGE: the list grew meanwhile
  }
}

// Copies every user.* extended attribute of `from` onto `to`; 0 or an errno.
int CopyUserAttributes(int from, int to) {
  std::vector<char> names;
  if (!ListAttributes(from, names)) return errno;
  std::vector<char> value;
  for (size_t i = 0; i < names.size();) {
    const char* name = names.data() + i;
    const std::string_view view(name);
    i += view.size() + 1;
    if (view.substr(0, kUserNamespace.size()) != kUserNamespace) continue;
    ssize_t size;
    for (;;) {
      size = ::fgetxattr(from, name, nullptr, 0);
      if (size < 0) break;
      value.resize(static_cast<size_t>(size));
      size = ::fgetxattr(from, name, value.data(), value.size());
      if (size >= 0 || errno != ERANGE) break;
    }
    if (size < 0) {
      if (errno == ENODATA) continue;  // removed while we listed
      return errno;
    }
    if (::fsetxattr(to, name, value.data(), static_cast<size_t>(size), 0) != 0) {
      // A target file system without user attributes cannot carry them; the
      // content still gets there, as a copy to such a volume does elsewhere.
      if (errno == ENOTSUP) return 0;
      return errno;
    }
  }
  return 0;
}

}  // namespace

Status PosixFileSystem::CopyFileAt(const Folder& source, std::string_view name,
                                   const Folder& target, std::string_view target_name) {
  if (const int e = Fault(CopyStep::kOpenSource)) return ErrnoError(e, "open", source, name);
  const CName c_name(name);
  struct stat st;
  if (::fstatat(FdOf(source), c_name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    return ErrnoError(errno, "look up", source, name);
  }
  if (S_ISREG(st.st_mode)) return CopyRegularFile(source, name, st, target, target_name);
  return CopySpecialEntry(source, name, st, target, target_name);
}

Status PosixFileSystem::CopyRegularFile(const Folder& source, std::string_view name,
                                        const struct stat& listed, const Folder& target,
                                        std::string_view target_name) {
  const CName c_name(name);
  const int target_fd = FdOf(target);
  const std::string target_path = JoinPath(target.path(), target_name);

  // O_NONBLOCK: should the entry have become a FIFO since the lookup, the
  // open must not hang; the fstat below then refuses it.
  UniqueFd in(RetryOnInterrupt([&] {
    return ::openat(FdOf(source), c_name.c_str(),
                    O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  }));
  if (!in.valid()) return ErrnoError(errno, "open", source, name);
  struct stat st;
  if (::fstat(in.get(), &st) != 0) return ErrnoError(errno, "look up", source, name);
  if (!S_ISREG(st.st_mode) || st.st_ino != listed.st_ino) {
    return ErrnoError(EAGAIN, "open", source, name);  // replaced during the copy
  }

  if (const int e = Fault(CopyStep::kCreateTemporary)) {
    return MakeError(e, "create temporary in", target.path());
  }
  UniqueFd out;
  std::string named;  // set while a named temporary exists in the target folder
  if (options_.use_unnamed_temporary && ProcFdAvailable()) {
    out.Reset(::openat(target_fd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    if (!out.valid() && !UnnamedTemporaryUnsupported(errno)) {
      return MakeError(errno, "create temporary in", target.path());
    }
  }
  const bool unnamed = out.valid();
  while (!out.valid()) {
    std::string candidate = NewTemporaryName();
    out.Reset(
        ::openat(target_fd, candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (out.valid()) {
      named = std::move(candidate);
    } else if (errno != EEXIST) {
      return MakeError(errno, "create temporary in", target.path());
    }
  }

  auto fail = [&](int code, const char* operation) -> Status {
    out.Reset();
    if (!named.empty()) ::unlinkat(target_fd, named.c_str(), 0);
    return MakeError(code, operation, target_path);
  };

  if (Status copied = CopyContent(in.get(), out.get(), target_path); !copied) {
    return fail(copied.error().code, "copy");
  }
  if (const int e = Fault(CopyStep::kExtendedAttributes)) return fail(e, "copy attributes");
  if (const int e = CopyUserAttributes(in.get(), out.get())) return fail(e, "copy attributes");

  if (const int e = Fault(CopyStep::kPermissions)) return fail(e, "change permissions");
  // EPERM comes from file systems without POSIX modes (FAT); the copy is
  // still complete there.
  if (::fchmod(out.get(), st.st_mode & 07777) != 0 && errno != EPERM) {
    return fail(errno, "change permissions");
  }
  if (const int e = Fault(CopyStep::kTimes)) return fail(e, "set times");
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  if (::futimens(out.get(), times) != 0) return fail(errno, "set times");

  if (const int e = Fault(CopyStep::kRename)) return fail(e, "rename");
  if (unnamed) {
    const std::string proc = ProcPath(out.get(), "");
    while (named.empty()) {
      std::string candidate = NewTemporaryName();
      if (::linkat(AT_FDCWD, proc.c_str(), target_fd, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        named = std::move(candidate);
      } else if (errno != EEXIST) {
        return fail(errno, "name");
      }
    }
  }
  if (::close(out.Release()) != 0) return fail(errno, "close");
  const CName c_target(target_name);
  if (::renameat(target_fd, named.c_str(), target_fd, c_target.c_str()) != 0) {
    return fail(errno, "rename");
  }
  return {};
}

Status PosixFileSystem::CopyContent(int from, int to, const std::string& path) {
  if (const int e = Fault(CopyStep::kContent, 0)) return MakeError(e, "copy", path);
  // A clone shares the blocks on file systems that can (btrfs, XFS): no data moves.
  if (::ioctl(to, FICLONE, from) == 0) return {};

  const size_t chunk = options_.copy_chunk_size > 0 ? options_.copy_chunk_size : 1;
  bool range_copy = true;
  std::vector<char> buffer;
  uint64_t offset = 0;
  for (;;) {
    if (offset > 0) {
      if (const int e = Fault(CopyStep::kContent, offset)) return MakeError(e, "copy", path);
    }
    ssize_t n = -1;
    if (range_copy) {
      n = RetryOnInterrupt([&] { return ::copy_file_range(from, nullptr, to, nullptr, chunk, 0); });
      if (n < 0 && offset == 0 && RangeCopyUnsupported(errno)) range_copy = false;
    }
    if (!range_copy) {
      buffer.resize(std::min<size_t>(chunk, size_t{1} << 20));
      n = RetryOnInterrupt([&] { return ::read(from, buffer.data(), buffer.size()); });
      for (ssize_t written = 0; n > 0 && written < n;) {
        const ssize_t w =
            RetryOnInterrupt([&] { return ::write(to, buffer.data() + written, n - written); });
        if (w < 0) return MakeError(errno, "write", path);
        written += w;
      }
    }
    if (n < 0) return MakeError(errno, "copy", path);
    if (n == 0) return {};
    offset += static_cast<uint64_t>(n);
  }
}

Status PosixFileSystem::CopySpecialEntry(const Folder& source, std::string_view name,
                                         const struct stat& st, const Folder& target,
                                         std::string_view target_name) {
  const int target_fd = FdOf(target);
  const std::string target_path = JoinPath(target.path(), target_name);
  if (const int e = Fault(CopyStep::kCreateTemporary)) {
    return MakeError(e, "create temporary in", target.path());
  }

  std::string link_text;
  if (S_ISLNK(st.st_mode)) {
    const CName c_name(name);
    link_text.resize(static_cast<size_t>(st.st_size) + 1);
    for (;;) {
      const ssize_t n =
          ::readlinkat(FdOf(source), c_name.c_str(), link_text.data(), link_text.size());
      if (n < 0) return ErrnoError(errno, "read link", source, name);
      if (static_cast<size_t>(n) < link_text.size()) {
        link_text.resize(static_cast<size_t>(n));
        break;
      }
      link_text.resize(link_text.size() * 2);  // the link changed since the lookup
    }
  } else if (S_ISSOCK(st.st_mode)) {
    // A socket belongs to the process that listens on it; there is nothing to copy.
    return ErrnoError(EOPNOTSUPP, "copy", source, name);
  }

  std::string named;
  while (named.empty()) {
    std::string candidate = NewTemporaryName();
    int made;
    if (S_ISLNK(st.st_mode)) {
      made = ::symlinkat(link_text.c_str(), target_fd, candidate.c_str());
    } else if (S_ISFIFO(st.st_mode)) {
      made = ::mkfifoat(target_fd, candidate.c_str(), 0600);
    } else {
      made = ::mknodat(target_fd, candidate.c_str(), (st.st_mode & S_IFMT) | 0600, st.st_rdev);
    }
    if (made == 0) {
      named = std::move(candidate);
    } else if (errno != EEXIST) {
      return MakeError(errno, "create", target_path);
    }
  }
  auto fail = [&](int code, const char* operation) -> Status {
    ::unlinkat(target_fd, named.c_str(), 0);
    return MakeError(code, operation, target_path);
  };

  if (!S_ISLNK(st.st_mode)) {
    if (const int e = Fault(CopyStep::kPermissions)) return fail(e, "change permissions");
    if (::fchmodat(target_fd, named.c_str(), st.st_mode & 07777, 0) != 0) {
      return fail(errno, "change permissions");
    }
  }
  if (const int e = Fault(CopyStep::kTimes)) return fail(e, "set times");
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  if (::utimensat(target_fd, named.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
    return fail(errno, "set times");
  }
  if (const int e = Fault(CopyStep::kRename)) return fail(e, "rename");
  const CName c_target(target_name);
  if (::renameat(target_fd, named.c_str(), target_fd, c_target.c_str()) != 0) {
    return fail(errno, "rename");
  }
  return {};
}

}  // namespace vorn::platform::posix
