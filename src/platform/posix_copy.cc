// CopyFileAt of the POSIX file system: an atomic copy through a temporary
// in the target folder.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
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
    // A source may itself be a temporary of ours, or a user's copy of one.
    if (view.substr(0, kUserNamespace.size()) != kUserNamespace ||
        view == kTemporaryMarkAttribute) {
      continue;
    }
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

PosixFileSystem::PosixFileSystem(PosixFileSystemOptions options) : options_(std::move(options)) {
  // umask can only be read by setting it; this runs before any file is made.
  umask_ = ::umask(022);
  ::umask(umask_);
}

Status PosixFileSystem::CopyFileAt(const Folder& source, std::string_view name,
                                   const Folder& target, std::string_view target_name,
                                   const CopyOptions& options) {
  if (const int e = Fault(CopyStep::kOpenSource)) return ErrnoError(e, "open", source, name);
  const CName c_name(name);
  // O_NONBLOCK: should the entry be a FIFO after all, the open must not hang.
  const auto open_source = [&] {
    return RetryOnInterrupt([&] {
      return ::openat(FdOf(source), c_name.c_str(),
                      O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    });
  };
  struct stat st;
  if (options.source_is_regular) {
    UniqueFd in(open_source());
    if (!in.valid() && errno != ELOOP) return ErrnoError(errno, "open", source, name);
    if (in.valid()) {
      if (::fstat(in.get(), &st) != 0) return ErrnoError(errno, "look up", source, name);
      if (S_ISREG(st.st_mode)) {
        return CopyRegularFile(std::move(in), st, source, name, target, target_name, options);
      }
    }
    // Not a regular file any more: copy whatever it is now.
  }
  if (::fstatat(FdOf(source), c_name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    return ErrnoError(errno, "look up", source, name);
  }
  if (!S_ISREG(st.st_mode)) return CopySpecialEntry(source, name, st, target, target_name);
  UniqueFd in(open_source());
  if (!in.valid()) return ErrnoError(errno, "open", source, name);
  const ino_t listed = st.st_ino;
  if (::fstat(in.get(), &st) != 0) return ErrnoError(errno, "look up", source, name);
  if (!S_ISREG(st.st_mode) || st.st_ino != listed) {
    return ErrnoError(EAGAIN, "open", source, name);  // replaced meanwhile
  }
  return CopyRegularFile(std::move(in), st, source, name, target, target_name, options);
}

Status PosixFileSystem::CopyRegularFile(UniqueFd in, const struct stat& st, const Folder& source,
                                        std::string_view name, const Folder& target,
                                        std::string_view target_name, const CopyOptions& options) {
  const int target_fd = FdOf(target);
  const std::string target_path = JoinPath(target.path(), target_name);

  if (options.refuse_locked) {
    // The lock test of IsLockedAt, on this very descriptor; the shared lock
    // taken here is held until the copy is done.
    struct flock probe {};
    probe.l_type = F_RDLCK;
    probe.l_whence = SEEK_SET;
    if ((::fcntl(in.get(), F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) ||
        (::flock(in.get(), LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK)) {
      return ErrnoError(EWOULDBLOCK, "locked", source, name);
    }
  }

  if (const int e = Fault(CopyStep::kCreateTemporary)) {
    return MakeError(e, "create temporary in", target.path());
  }
  // The unnamed temporary starts with the source's mode as the umask lets
  // it through, and owner-writable so that it can still be marked should it
  // need a name; only what differs from the source's mode needs a chmod.
  const mode_t unnamed_mode = (st.st_mode & 0777) | S_IWUSR;
  mode_t created_mode = unnamed_mode & ~umask_;
  UniqueFd out;
  std::string named;    // set while a named temporary exists in the target folder
  bool marked = false;  // the temporary carries kTemporaryMarkAttribute
  if (options_.use_unnamed_temporary && ProcFdAvailable()) {
    out.Reset(::openat(target_fd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, unnamed_mode));
    if (!out.valid() && !UnnamedTemporaryUnsupported(errno)) {
      return MakeError(errno, "create temporary in", target.path());
    }
  }
  const bool unnamed = out.valid();
  if (!unnamed) created_mode = 0600 & ~umask_;
  while (!out.valid()) {
    std::string candidate = NewTemporaryName();
    out.Reset(
        ::openat(target_fd, candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (out.valid()) {
      named = std::move(candidate);
      marked = MarkTemporary(out.get());
    } else if (errno != EEXIST) {
      return MakeError(errno, "create temporary in", target.path());
    }
  }

  auto fail = [&](int code, const char* operation) -> Status {
    out.Reset();
    if (!named.empty()) ::unlinkat(target_fd, named.c_str(), 0);
    return MakeError(code, operation, target_path);
  };
  // The unnamed copy is marked just before it gets a name in the folder.
  const auto name_unnamed = [&]() -> int {
    marked = MarkTemporary(out.get());
    const std::string proc = ProcPath(out.get(), "");
    while (named.empty()) {
      std::string candidate = NewTemporaryName();
      if (::linkat(AT_FDCWD, proc.c_str(), target_fd, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        named = std::move(candidate);
      } else if (errno != EEXIST) {
        return errno;
      }
    }
    return 0;
  };
  const auto unmark = [&]() -> int {
    const int e = marked ? UnmarkTemporary(out.get()) : 0;
    if (e == 0) marked = false;
    return e;
  };

  if (Status copied = CopyContent(in.get(), out.get(), st, target_path); !copied) {
    return fail(copied.error().code, "copy");
  }
  if (const int e = Fault(CopyStep::kExtendedAttributes)) return fail(e, "copy attributes");
  if (const int e = CopyUserAttributes(in.get(), out.get())) return fail(e, "copy attributes");

  // A name in use is replaced through a temporary name and a rename. The
  // unnamed copy takes that name, and every temporary loses its mark, before
  // the permissions: a read-only file could be neither marked nor unmarked.
  if (unnamed && options.target_may_exist) {
    if (const int e = name_unnamed()) return fail(e, "name");
  }
  if (const int e = unmark()) return fail(e, "copy attributes");

  if (const int e = Fault(CopyStep::kPermissions)) return fail(e, "change permissions");
  // EPERM comes from file systems without POSIX modes (FAT); the copy is
  // still complete there.
  if ((st.st_mode & 07777) != created_mode && ::fchmod(out.get(), st.st_mode & 07777) != 0 &&
      errno != EPERM) {
    return fail(errno, "change permissions");
  }
  if (const int e = Fault(CopyStep::kTimes)) return fail(e, "set times");
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  if (::futimens(out.get(), times) != 0) return fail(errno, "set times");

  if (const int e = Fault(CopyStep::kRename)) return fail(e, "rename");
  const CName c_target(target_name);
  if (unnamed && named.empty()) {
    // A name known to be free takes the finished copy directly.
    const std::string proc = ProcPath(out.get(), "");
    if (::linkat(AT_FDCWD, proc.c_str(), target_fd, c_target.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      if (::close(out.Release()) != 0) return MakeError(errno, "close", target_path);
      return {};
    }
    // Taken meanwhile after all: replaced like any name in use, under a mark
    // only if the finished permissions still allow one.
    if (const int e = name_unnamed()) return fail(e, "name");
    if (const int e = unmark()) return fail(e, "copy attributes");
  }
  if (::close(out.Release()) != 0) return fail(errno, "close");
  if (::renameat(target_fd, named.c_str(), target_fd, c_target.c_str()) != 0) {
    return fail(errno, "rename");
  }
  return {};
}

Status PosixFileSystem::CopyContent(int from, int to, const struct stat& st,
                                    const std::string& path) {
  if (const int e = Fault(CopyStep::kContent, 0)) return MakeError(e, "copy", path);
  const uint64_t size = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
  // Cloning shares the blocks where the file system can (btrfs, XFS); worth
  // a try for large files, and not again on a file system that said no.
  constexpr uint64_t kCloneWorthy = 1 << 20;
  if (size >= kCloneWorthy && std::find(no_clone_devices_.begin(), no_clone_devices_.end(),
                                        st.st_dev) == no_clone_devices_.end()) {
    if (::ioctl(to, FICLONE, from) == 0) return {};
    if (errno == EOPNOTSUPP || errno == EXDEV || errno == EINVAL || errno == ENOTTY) {
      no_clone_devices_.push_back(st.st_dev);
    }
  }

  // The size seen at the open is what is copied: a file that grows meanwhile
  // has a newer time, so the next pass copies it again.
  const size_t chunk = options_.copy_chunk_size > 0 ? options_.copy_chunk_size : 1;
  bool range_copy = true;
  std::vector<char> buffer;
  uint64_t offset = 0;
  while (offset < size) {
    if (offset > 0) {
      if (const int e = Fault(CopyStep::kContent, offset)) return MakeError(e, "copy", path);
    }
    const size_t want = static_cast<size_t>(std::min<uint64_t>(chunk, size - offset));
    ssize_t n = -1;
    if (range_copy) {
      n = RetryOnInterrupt([&] { return ::copy_file_range(from, nullptr, to, nullptr, want, 0); });
      if (n < 0 && offset == 0 && RangeCopyUnsupported(errno)) range_copy = false;
    }
    if (!range_copy) {
      buffer.resize(std::min<size_t>(want, size_t{1} << 20));
      n = RetryOnInterrupt([&] { return ::read(from, buffer.data(), buffer.size()); });
      for (ssize_t written = 0; n > 0 && written < n;) {
        const ssize_t w =
            RetryOnInterrupt([&] { return ::write(to, buffer.data() + written, n - written); });
        if (w < 0) return MakeError(errno, "write", path);
        written += w;
      }
    }
    if (n < 0) return MakeError(errno, "copy", path);
    if (n == 0) break;  // the file shrank meanwhile
    offset += static_cast<uint64_t>(n);
  }
  return {};
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

  // Linux keeps user attributes only on regular files and folders, so this
  // temporary goes unmarked: left behind by a crash, it stays as a stray
  // file rather than pass for debris.
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
    // The temporary name could have been swapped for a link since it was made.
    if (::fchmodat(target_fd, named.c_str(), st.st_mode & 07777, AT_SYMLINK_NOFOLLOW) != 0) {
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
