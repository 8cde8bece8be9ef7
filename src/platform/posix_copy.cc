// CopyFileAt of the POSIX file system: an atomic copy through a temporary
// in the target folder.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
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

// Whether a file deserves a copy of its data regions only: a good part of it
// is holes. A dense file never meets this and keeps the plain copy; one that
// a compressing file system shrank may, and then costs a few seeks more.
bool WorthKeepingHoles(const struct stat& st, uint64_t size) {
  constexpr uint64_t kHoleWorthy = 64 * 1024;
  const uint64_t allocated = static_cast<uint64_t>(st.st_blocks) * 512;
  return allocated < size && size - allocated >= std::max(size / 8, kHoleWorthy);
}

// Finds the first data region of a file with holes at or after `offset`,
// [begin, end), and moves both files to its start; begin == end when only
// holes are left. 0 or an errno.
int SeekData(int from, int to, uint64_t offset, uint64_t size, uint64_t& begin, uint64_t& end) {
  const off_t data = ::lseek(from, static_cast<off_t>(offset), SEEK_DATA);
  if (data < 0 && errno == ENXIO) {
    begin = end = size;
    return 0;
  }
  // A file system that cannot tell where its data lies has the rest copied whole.
  const off_t hole = data < 0 ? -1 : ::lseek(from, data, SEEK_HOLE);
  begin = data < 0 ? offset : std::min(static_cast<uint64_t>(data), size);
  end = hole < 0 ? size : std::min(static_cast<uint64_t>(hole), size);
  if (::lseek(from, static_cast<off_t>(begin), SEEK_SET) < 0 ||
      ::lseek(to, static_cast<off_t>(begin), SEEK_SET) < 0) {
    return errno;
  }
  return 0;
}

// Whether a refused chown is the file system's, not the copy's fault: FAT,
// exFAT, NTFS and such (most of them through FUSE) or Windows shares keep no
// POSIX owners, so a copy there is as complete as it can be without one.
bool KeepsNoOwners(int code, int fd) {
  if (code != EPERM && code != EINVAL) return false;
  struct statfs fs;
  if (::fstatfs(fd, &fs) != 0) return false;
  constexpr unsigned long kOwnerless[] = {
      0x4d44,      // msdos, vfat
      0x2011BAB0,  // exfat
      0x5346544e,  // ntfs
      0x7366746e,  // ntfs3
      0x65735546,  // fuse, fuseblk
      0xFF534D42,  // cifs
      0xFE534D42,  // smb2
  };
  const auto type = static_cast<unsigned long>(fs.f_type);
  return std::find(std::begin(kOwnerless), std::end(kOwnerless), type) != std::end(kOwnerless);
}

// Gives a fresh copy its source's owner when asked to and able to (as root);
// 0 or an errno. Called before the mode is set: a chown clears set-ID bits.
int CopyOwner(bool copy_owner, const struct stat& st, int fd, const char* name = nullptr) {
  if (!copy_owner || ::geteuid() != 0) return 0;
  const int changed = name == nullptr
                          ? ::fchown(fd, st.st_uid, st.st_gid)
                          : ::fchownat(fd, name, st.st_uid, st.st_gid, AT_SYMLINK_NOFOLLOW);
  const int code = changed == 0 ? 0 : errno;
  return code == 0 || KeepsNoOwners(code, fd) ? 0 : code;
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

// Whether another process holds the file locked: the lock test of
// IsLockedAt, on this very descriptor. The shared lock taken here is held
// until the copy is done.
bool HeldLockedByAnother(int fd) {
  struct flock probe {};
  probe.l_type = F_RDLCK;
  probe.l_whence = SEEK_SET;
  return (::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) ||
         (::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK);
}

// The text of a link, read at the size its lookup saw; 0 or an errno.
int ReadLinkText(int folder_fd, std::string_view name, const struct stat& st, std::string& text) {
  const CName c_name(name);
  text.resize(static_cast<size_t>(st.st_size) + 1);
  for (;;) {
    const ssize_t n = ::readlinkat(folder_fd, c_name.c_str(), text.data(), text.size());
    if (n < 0) return errno;
    if (static_cast<size_t>(n) < text.size()) {
      text.resize(static_cast<size_t>(n));
      return 0;
    }
    text.resize(text.size() * 2);  // the link changed since the lookup
  }
}

// Makes an entry of the kind `st` describes under a fresh temporary name,
// set in `named`; 0 or an errno. Linux keeps user attributes only on
// regular files and folders, so this temporary goes unmarked: left behind
// by a crash, it stays as a stray file rather than pass for debris.
int CreateSpecialTemporary(int folder_fd, const struct stat& st, const std::string& link_text,
                           std::string& named) {
  while (named.empty()) {
    std::string candidate = NewTemporaryName();
    int made;
    if (S_ISLNK(st.st_mode)) {
      made = ::symlinkat(link_text.c_str(), folder_fd, candidate.c_str());
    } else if (S_ISFIFO(st.st_mode)) {
      made = ::mkfifoat(folder_fd, candidate.c_str(), 0600);
    } else {
      made = ::mknodat(folder_fd, candidate.c_str(), (st.st_mode & S_IFMT) | 0600, st.st_rdev);
    }
    if (made == 0) {
      named = std::move(candidate);
    } else if (errno != EEXIST) {
      return errno;
    }
  }
  return 0;
}

}  // namespace

CopyTemporary::CopyTemporary(int folder_fd, std::string target_path)
    : folder_fd_(folder_fd), target_path_(std::move(target_path)) {}

int CopyTemporary::OpenUnnamed(mode_t mode) {
  out_.Reset(::openat(folder_fd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
  unnamed_ = out_.valid();
  return unnamed_ || UnnamedTemporaryUnsupported(errno) ? 0 : errno;
}

int CopyTemporary::OpenNamed() {
  while (!out_.valid()) {
    std::string candidate = NewTemporaryName();
    out_.Reset(
        ::openat(folder_fd_, candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (out_.valid()) {
      named_ = std::move(candidate);
      marked_ = MarkTemporary(out_.get());
    } else if (errno != EEXIST) {
      return errno;
    }
  }
  return 0;
}

int CopyTemporary::GiveName() {
  // The unnamed copy is marked just before it gets a name in the folder.
  marked_ = MarkTemporary(out_.get());
  const std::string proc = ProcPath(out_.get(), "");
  while (named_.empty()) {
    std::string candidate = NewTemporaryName();
    if (::linkat(AT_FDCWD, proc.c_str(), folder_fd_, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      named_ = std::move(candidate);
    } else if (errno != EEXIST) {
      return errno;
    }
  }
  return 0;
}

int CopyTemporary::Unmark() {
  const int e = marked_ ? UnmarkTemporary(out_.get()) : 0;
  if (e == 0) marked_ = false;
  return e;
}

Status CopyTemporary::Fail(int code, const char* operation) {
  out_.Reset();
  if (!named_.empty()) ::unlinkat(folder_fd_, named_.c_str(), 0);
  return MakeError(code, operation, target_path_);
}

Status CopyTemporary::TakeTargetName(std::string_view target_name) {
  const CName c_target(target_name);
  if (unnamed_ && named_.empty()) {
    // A name known to be free takes the finished copy directly.
    const std::string proc = ProcPath(out_.get(), "");
    if (::linkat(AT_FDCWD, proc.c_str(), folder_fd_, c_target.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      if (::close(out_.Release()) != 0) return MakeError(errno, "close", target_path_);
      return {};
    }
    // Taken meanwhile after all: replaced like any name in use, under a mark
    // only if the finished permissions still allow one.
    if (const int e = GiveName()) return Fail(e, "name");
    if (const int e = Unmark()) return Fail(e, "copy attributes");
  }
  if (::close(out_.Release()) != 0) return Fail(errno, "close");
  if (::renameat(folder_fd_, named_.c_str(), folder_fd_, c_target.c_str()) != 0) {
    return Fail(errno, "rename");
  }
  return {};
}

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
  if (!S_ISREG(st.st_mode)) {
    return CopySpecialEntry(source, name, st, target, target_name, options.copy_owner);
  }
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
  if (options.refuse_locked && HeldLockedByAnother(in.get())) {
    return ErrnoError(EWOULDBLOCK, "locked", source, name);
  }
  if (const int e = Fault(CopyStep::kCreateTemporary)) {
    return MakeError(e, "create temporary in", target.path());
  }
  CopyTemporary temporary(FdOf(target), JoinPath(target.path(), target_name));
  if (const int e = OpenCopyTemporary(temporary, st)) {
    return MakeError(e, "create temporary in", target.path());
  }
  if (Status written = WriteCopy(in.get(), temporary, st, options); !written) return written;
  if (const int e = Fault(CopyStep::kRename)) return temporary.Fail(e, "rename");
  return temporary.TakeTargetName(target_name);
}

int PosixFileSystem::OpenCopyTemporary(CopyTemporary& temporary, const struct stat& st) {
  // The unnamed temporary starts with the source's mode as the umask lets
  // it through, and owner-writable so that it can still be marked should it
  // need a name; only what differs from the source's mode needs a chmod.
  const mode_t unnamed_mode = (st.st_mode & 0777) | S_IWUSR;
  if (options_.use_unnamed_temporary && ProcFdAvailable()) {
    if (const int e = temporary.OpenUnnamed(unnamed_mode)) return e;
  }
  if (temporary.unnamed()) {
    temporary.created_mode = unnamed_mode & ~umask_;
    return 0;
  }
  temporary.created_mode = 0600 & ~umask_;
  return temporary.OpenNamed();
}

Status PosixFileSystem::WriteCopy(int in, CopyTemporary& temporary, const struct stat& st,
                                  const CopyOptions& options) {
  const int out = temporary.fd();
  if (Status copied = CopyContent(in, out, st, temporary.target_path(), options);
      !copied) {
    return temporary.Fail(copied.error().code, "copy");
  }
  if (const int e = Fault(CopyStep::kExtendedAttributes)) {
    return temporary.Fail(e, "copy attributes");
  }
  if (const int e = CopyUserAttributes(in, out)) return temporary.Fail(e, "copy attributes");

  // A name in use is replaced through a temporary name and a rename. The
  // unnamed copy takes that name, and every temporary loses its mark, before
  // the permissions: a read-only file could be neither marked nor unmarked.
  if (temporary.unnamed() && options.target_may_exist) {
    if (const int e = temporary.GiveName()) return temporary.Fail(e, "name");
  }
  if (const int e = temporary.Unmark()) return temporary.Fail(e, "copy attributes");

  if (const int e = CopyOwner(options.copy_owner, st, out)) {
    return temporary.Fail(e, "change owner");
  }
  if (const int e = Fault(CopyStep::kPermissions)) return temporary.Fail(e, "change permissions");
  // EPERM comes from file systems without POSIX modes (FAT); the copy is
  // still complete there.
  if ((st.st_mode & 07777) != temporary.created_mode && ::fchmod(out, st.st_mode & 07777) != 0 &&
      errno != EPERM) {
    return temporary.Fail(errno, "change permissions");
  }
  if (const int e = Fault(CopyStep::kTimes)) return temporary.Fail(e, "set times");
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  if (::futimens(out, times) != 0) return temporary.Fail(errno, "set times");
  return {};
}

Status PosixFileSystem::CopyContent(int from, int to, const struct stat& st,
                                    const std::string& path, const CopyOptions& options) {
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
  // Neither copy_file_range nor read and write leave a hole: a file with
  // holes is copied one data region at a time into a copy of its full size.
  const bool sparse = WorthKeepingHoles(st, size);
  if (sparse && ::ftruncate(to, static_cast<off_t>(size)) != 0) {
    return MakeError(errno, "write", path);
  }
  uint64_t offset = 0;
  uint64_t region_end = sparse ? 0 : size;
  bool moved = false;
  while (offset < size) {
    if (offset == region_end) {
      if (const int e = SeekData(from, to, offset, size, offset, region_end)) {
        return MakeError(e, "copy", path);
      }
      if (offset >= region_end) break;  // only holes are left
    }
    if (moved) {
      if (options.progress) options.progress(offset, size);
      if (const int e = Fault(CopyStep::kContent, offset)) return MakeError(e, "copy", path);
    }
    const size_t want = static_cast<size_t>(std::min<uint64_t>(chunk, region_end - offset));
    ssize_t n = -1;
    if (range_copy) {
      n = RetryOnInterrupt([&] { return ::copy_file_range(from, nullptr, to, nullptr, want, 0); });
      if (n < 0 && !moved && RangeCopyUnsupported(errno)) range_copy = false;
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
    moved = true;
  }
  return {};
}

Status PosixFileSystem::CopySpecialEntry(const Folder& source, std::string_view name,
                                         const struct stat& st, const Folder& target,
                                         std::string_view target_name, bool copy_owner) {
  const int target_fd = FdOf(target);
  const std::string target_path = JoinPath(target.path(), target_name);
  if (const int e = Fault(CopyStep::kCreateTemporary)) {
    return MakeError(e, "create temporary in", target.path());
  }

  std::string link_text;
  if (S_ISLNK(st.st_mode)) {
    if (const int e = ReadLinkText(FdOf(source), name, st, link_text)) {
      return ErrnoError(e, "read link", source, name);
    }
  } else if (S_ISSOCK(st.st_mode)) {
    // A socket belongs to the process that listens on it; there is nothing to copy.
    return ErrnoError(EOPNOTSUPP, "copy", source, name);
  }
  std::string named;
  if (const int e = CreateSpecialTemporary(target_fd, st, link_text, named)) {
    return MakeError(e, "create", target_path);
  }
  auto fail = [&](int code, const char* operation) -> Status {
    ::unlinkat(target_fd, named.c_str(), 0);
    return MakeError(code, operation, target_path);
  };

  if (const int e = CopyOwner(copy_owner, st, target_fd, named.c_str())) {
    return fail(e, "change owner");
  }
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
