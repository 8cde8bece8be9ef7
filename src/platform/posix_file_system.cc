// Folders, listings, lookups, entry changes and whole-file operations of the
// POSIX file system. Copies are in posix_copy.cc, ACLs and named streams in
// posix_security.cc.

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <random>
#include <vector>

#include "platform/path.h"
#include "platform/posix_internal.h"

namespace vorn::platform {
namespace posix {
namespace {

// Seconds from 1601-01-01 to 1970-01-01, times 10^7.
constexpr int64_t kUnixEpochAsFileTime = 116444736000000000;

EntryType TypeFromMode(mode_t mode) {
  if (S_ISDIR(mode)) return EntryType::kFolder;
  if (S_ISLNK(mode)) return EntryType::kLink;
  if (S_ISREG(mode)) return EntryType::kFile;
  return EntryType::kOther;
}

bool IsHiddenName(std::string_view name) {
  return !name.empty() && name.front() == '.' && name != "." && name != "..";
}

constexpr std::string_view kTemporaryPrefix = ".vorn-tmp-";
constexpr size_t kTemporaryRandomDigits = 16;

// The shape of NewTemporaryName: prefix, decimal process id, "-", hex digits.
bool IsTemporaryName(std::string_view name) {
  if (name.substr(0, kTemporaryPrefix.size()) != kTemporaryPrefix) return false;
  name.remove_prefix(kTemporaryPrefix.size());
  const size_t dash = name.find('-');
  if (dash == 0 || dash == std::string_view::npos ||
      name.size() - dash - 1 != kTemporaryRandomDigits) {
    return false;
  }
  const auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
  const auto is_hex = [&](char c) { return is_digit(c) || (c >= 'a' && c <= 'f'); };
  const std::string_view pid = name.substr(0, dash);
  const std::string_view random = name.substr(dash + 1);
  return std::all_of(pid.begin(), pid.end(), is_digit) &&
         std::all_of(random.begin(), random.end(), is_hex);
}

Error PathError(int code, std::string operation, const std::string& path) {
  return MakeError(code, std::move(operation), path);
}

// The time ProbeTimeGranularity sets: odd seconds, and a fraction under half
// a second that every finer step cuts somewhere, so truncating or rounding to
// a microsecond, 10 ms, 1 s or 2 s gives four different times.
constexpr int64_t kProbeSeconds = 1700000001;
constexpr long kProbeNanoseconds = 123456789;

// The step a file system that was given the probe time and answered `kept`
// (both in nanoseconds) keeps. Whether it truncates or rounds, what it keeps
// lies on its step's grid within one step of what it was given, so the
// coarsest grid that fits is its step; a time that fits none is placed by
// its error alone. 0 when it is further off than any step explains.
uint64_t GranularityOf(int64_t given, int64_t kept) {
  static constexpr int64_t kSteps[] = {100, 1000, 10000000, 1000000000, 2000000000};
  const int64_t error = given > kept ? given - kept : kept - given;
  for (auto step = std::rbegin(kSteps); step != std::rend(kSteps); ++step) {
    if (kept % *step == 0 && error < *step) return static_cast<uint64_t>(*step / 100);
  }
  for (const int64_t step : kSteps) {
    if (error <= step) return static_cast<uint64_t>(step / 100);
  }
  return 0;
}

// The buffers of finished listings, kept for the thread's next ones: taking
// 64 KiB from the heap for every folder costs more than reading a small one,
// above all where several threads list at once.
class ListingBuffers {
 public:
  static constexpr size_t kWords = 8192;  // 64 KiB
  static std::unique_ptr<uint64_t[]> Take() {
    std::vector<std::unique_ptr<uint64_t[]>>& kept = Kept();
    if (kept.empty()) return std::unique_ptr<uint64_t[]>(new uint64_t[kWords]);
    std::unique_ptr<uint64_t[]> buffer = std::move(kept.back());
    kept.pop_back();
    return buffer;
  }
  static void GiveBack(std::unique_ptr<uint64_t[]> buffer) {
    std::vector<std::unique_ptr<uint64_t[]>>& kept = Kept();
    if (buffer && kept.size() < 4) kept.push_back(std::move(buffer));
  }

 private:
  static std::vector<std::unique_ptr<uint64_t[]>>& Kept() {
    thread_local std::vector<std::unique_ptr<uint64_t[]>> kept;
    return kept;
  }
};

// Reads a folder with getdents64 into a buffer of its own, so listing a large
// folder costs one system call per few hundred names.
class PosixFolderReader final : public FolderReader {
 public:
  PosixFolderReader(UniqueFd fd, std::string path)
      : fd_(std::move(fd)), path_(std::move(path)), buffer_(ListingBuffers::Take()) {}
  ~PosixFolderReader() override { ListingBuffers::GiveBack(std::move(buffer_)); }
  PosixFolderReader(const PosixFolderReader&) = delete;
  PosixFolderReader& operator=(const PosixFolderReader&) = delete;

  bool Next(FolderEntry& entry) override {
    for (;;) {
      if (offset_ >= filled_) {
        if (done_) return false;
        const ssize_t n = RetryOnInterrupt([&] {
          return ::getdents64(fd_.get(), buffer_.get(), kBufferWords * sizeof(uint64_t));
        });
        if (n <= 0) {
          if (n < 0) error_ = PathError(errno, "read folder", path_);
          done_ = true;
          fd_.Reset();
          return false;
        }
        filled_ = static_cast<size_t>(n);
        offset_ = 0;
      }
      const auto* raw = reinterpret_cast<const char*>(buffer_.get()) + offset_;
      const auto* d = reinterpret_cast<const struct dirent64*>(raw);
      offset_ += d->d_reclen;
      entry.name.assign(d->d_name);
      entry.hidden = IsHiddenName(entry.name);
      entry.type = TypeFromDirent(d->d_type, entry.name);
      return true;
    }
  }

  const std::optional<Error>& error() const override { return error_; }

 private:
  static constexpr size_t kBufferWords = ListingBuffers::kWords;

  EntryType TypeFromDirent(unsigned char d_type, const std::string& name) const {
    switch (d_type) {
      case DT_DIR:
        return EntryType::kFolder;
      case DT_REG:
        return EntryType::kFile;
      case DT_LNK:
        return EntryType::kLink;
      case DT_UNKNOWN: {
        // Some file systems leave the type to a lookup.
        struct stat st;
        if (::fstatat(fd_.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
          return TypeFromMode(st.st_mode);
        }
        return EntryType::kOther;
      }
      default:
        return EntryType::kOther;
    }
  }

  UniqueFd fd_;
  std::string path_;
  std::unique_ptr<uint64_t[]> buffer_;  // uint64_t keeps dirent64 records aligned
  size_t filled_ = 0;
  size_t offset_ = 0;
  bool done_ = false;
  std::optional<Error> error_;
};

Status WriteAll(int fd, std::string_view data, const std::string& path) {
  while (!data.empty()) {
    const ssize_t n = RetryOnInterrupt([&] { return ::write(fd, data.data(), data.size()); });
    if (n < 0) return PathError(errno, "write", path);
    data.remove_prefix(static_cast<size_t>(n));
  }
  return {};
}

}  // namespace

Error ErrnoError(int code, std::string operation, const Folder& folder, std::string_view name) {
  return MakeError(code, std::move(operation), JoinPath(folder.path(), name));
}

uint64_t FileTimeFromTimespec(const struct timespec& ts) {
  const int64_t t =
      static_cast<int64_t>(ts.tv_sec) * 10000000 + ts.tv_nsec / 100 + kUnixEpochAsFileTime;
  return t < 0 ? 0 : static_cast<uint64_t>(t);
}

struct timespec TimespecFromFileTime(uint64_t file_time) {
  constexpr uint64_t kLatest = static_cast<uint64_t>(INT64_MAX);
  const int64_t since_1970 =
      static_cast<int64_t>(std::min(file_time, kLatest)) - kUnixEpochAsFileTime;
  int64_t seconds = since_1970 / 10000000;
  int64_t rest = since_1970 % 10000000;
  if (rest < 0) {  // before 1970 the fraction still counts forward
    rest += 10000000;
    --seconds;
  }
  struct timespec ts {};
  ts.tv_sec = static_cast<time_t>(seconds);
  ts.tv_nsec = static_cast<long>(rest * 100);
  return ts;
}

EntryInfo InfoFromStat(const struct stat& st, std::string_view name) {
  EntryInfo info;
  info.type = TypeFromMode(st.st_mode);
  info.permissions = st.st_mode & 07777;
  info.last_write = FileTimeFromTimespec(st.st_mtim);
  info.size = st.st_size < 0 ? 0 : static_cast<uint64_t>(st.st_size);
  info.uid = st.st_uid;
  info.gid = st.st_gid;
  info.device = st.st_dev;
  info.inode = st.st_ino;
  info.links = static_cast<uint32_t>(st.st_nlink);
  uint32_t bits = 0;
  switch (info.type) {
    case EntryType::kFolder:
      bits |= attribute::kDirectory;
      break;
    case EntryType::kLink:
      bits |= attribute::kReparsePoint;
      break;
    case EntryType::kFile:
      bits |= attribute::kArchive;
      break;
    case EntryType::kOther:
      bits |= attribute::kSystem;
      break;
  }
  if ((st.st_mode & S_IWUSR) == 0) bits |= attribute::kReadOnly;
  if (IsHiddenName(name)) bits |= attribute::kHidden;
  info.attributes = bits == 0 ? attribute::kNormal : bits;
  return info;
}

std::string ProcPath(int folder_fd, std::string_view name) {
  std::string path = "/proc/self/fd/" + std::to_string(folder_fd);
  if (!name.empty()) {
    path += '/';
    path.append(name);
  }
  return path;
}

std::string NewTemporaryName() {
  static std::mt19937_64 generator{std::random_device{}()};
  static constexpr char kDigits[] = "0123456789abcdef";
  // The process id keeps two processes (or a forked child with the same
  // generator state) from ever choosing the same name.
  std::string name(kTemporaryPrefix);
  name += std::to_string(::getpid());
  name += '-';
  uint64_t bits = generator();
  for (size_t i = 0; i < kTemporaryRandomDigits; ++i, bits >>= 4) name += kDigits[bits & 15];
  return name;
}

bool MarkTemporary(int fd) {
  return ::fsetxattr(fd, kTemporaryMarkAttribute, "", 0, 0) == 0;
}

int UnmarkTemporary(int fd) {
  if (::fremovexattr(fd, kTemporaryMarkAttribute) != 0 && errno != ENODATA) return errno;
  return 0;
}

Result<std::unique_ptr<Folder>> PosixFileSystem::OpenFolder(const std::string& path) {
  const int fd = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return PathError(errno, "open folder", path);
  return std::unique_ptr<Folder>(
      std::make_unique<PosixFolder>(UniqueFd(fd), WithoutTrailingSeparator(path)));
}

Result<std::unique_ptr<Folder>> PosixFileSystem::OpenFolderAt(const Folder& parent,
                                                              std::string_view relative) {
  // One component at a time with O_NOFOLLOW: a link anywhere on the way is
  // refused instead of leading the walk out of the tree.
  UniqueFd current;
  int base = FdOf(parent);
  std::string path = parent.path();
  std::string_view rest = relative;
  while (!rest.empty()) {
    const auto cut = rest.find(kSeparator);
    const std::string_view component = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    if (component.empty()) continue;
    const CName c_component(component);
    const int fd = RetryOnInterrupt([&] {
      return ::openat(base, c_component.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    });
    path = JoinPath(path, component);
    if (fd < 0) return PathError(errno, "open folder", path);
    current.Reset(fd);
    base = fd;
  }
  if (!current.valid()) {
    const int fd = ::fcntl(FdOf(parent), F_DUPFD_CLOEXEC, 0);
    if (fd < 0) return PathError(errno, "open folder", path);
    current.Reset(fd);
  }
  return std::unique_ptr<Folder>(std::make_unique<PosixFolder>(std::move(current), path));
}

Result<FolderIdentity> PosixFileSystem::IdentityOf(const Folder& folder) {
  struct statfs fs_info;
  struct statx sx;
  if (::fstatfs(FdOf(folder), &fs_info) != 0 ||
      ::statx(FdOf(folder), "", AT_EMPTY_PATH, STATX_INO | STATX_MNT_ID, &sx) != 0) {
    return PathError(errno, "identify", folder.path());
  }
  FolderIdentity identity;
  identity.device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
  identity.inode = sx.stx_ino;
  unsigned words[2];
  static_assert(sizeof words == sizeof fs_info.f_fsid);
  std::memcpy(words, &fs_info.f_fsid, sizeof words);
  char text[96];
  if (words[0] != 0 || words[1] != 0) {
    // Disk file systems derive this from their UUID, so the same disk keeps
    // it when it comes back under another device number.
    std::snprintf(text, sizeof text, "%lx:%08x%08x", static_cast<unsigned long>(fs_info.f_type),
                  words[0], words[1]);
  } else {
    // Without one, a device number alone could be handed to the next file
    // system mounted; the mount adds what tells the two apart.
    const unsigned long long mount = (sx.stx_mask & STATX_MNT_ID) != 0 ? sx.stx_mnt_id : 0;
    std::snprintf(text, sizeof text, "%lx:dev%u.%u:mnt%llu",
                  static_cast<unsigned long>(fs_info.f_type), sx.stx_dev_major, sx.stx_dev_minor,
                  mount);
  }
  identity.volume = text;
  return identity;
}

Result<std::unique_ptr<FolderReader>> PosixFileSystem::ReadFolder(const Folder& folder) {
  // The folder's own descriptor is O_PATH and cannot be read; "." opens a
  // readable one with its own position.
  const int fd = RetryOnInterrupt(
      [&] { return ::openat(FdOf(folder), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
  if (fd < 0) return PathError(errno, "read folder", folder.path());
  return std::unique_ptr<FolderReader>(
      std::make_unique<PosixFolderReader>(UniqueFd(fd), folder.path()));
}

Result<EntryInfo> PosixFileSystem::Lookup(const std::string& path) {
  struct stat st;
  if (::fstatat(AT_FDCWD, path.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    return PathError(errno, "look up", path);
  }
  return InfoFromStat(st, BaseName(WithoutTrailingSeparator(path)));
}

Result<EntryInfo> PosixFileSystem::LookupAt(const Folder& folder, std::string_view name) {
  struct stat st;
  const CName c_name(name);
  if (::fstatat(FdOf(folder), c_name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    return ErrnoError(errno, "look up", folder, name);
  }
  return InfoFromStat(st, name);
}

Status PosixFileSystem::CreateFolderAt(const Folder& folder, std::string_view name) {
  const CName c_name(name);
  if (::mkdirat(FdOf(folder), c_name.c_str(), 0777) != 0) {
    return ErrnoError(errno, "create folder", folder, name);
  }
  return {};
}

Status PosixFileSystem::RemoveFolderAt(const Folder& folder, std::string_view name) {
  const CName c_name(name);
  if (::unlinkat(FdOf(folder), c_name.c_str(), AT_REMOVEDIR) != 0) {
    return ErrnoError(errno, "remove folder", folder, name);
  }
  return {};
}

Status PosixFileSystem::DeleteFileAt(const Folder& folder, std::string_view name) {
  const CName c_name(name);
  if (::unlinkat(FdOf(folder), c_name.c_str(), 0) != 0) {
    return ErrnoError(errno, "delete", folder, name);
  }
  return {};
}

Status PosixFileSystem::RenameAt(const Folder& from_folder, std::string_view from,
                                 const Folder& to_folder, std::string_view to) {
  const CName c_from(from);
  const CName c_to(to);
  if (::renameat2(FdOf(from_folder), c_from.c_str(), FdOf(to_folder), c_to.c_str(),
                  RENAME_NOREPLACE) == 0) {
    return {};
  }
  if (errno != EINVAL) return ErrnoError(errno, "rename", from_folder, from);
  // A file system that cannot refuse by itself (some network and FUSE ones)
  // is asked first.
  struct stat st;
  if (::fstatat(FdOf(to_folder), c_to.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    return ErrnoError(EEXIST, "rename", from_folder, from);
  }
  if (::renameat(FdOf(from_folder), c_from.c_str(), FdOf(to_folder), c_to.c_str()) != 0) {
    return ErrnoError(errno, "rename", from_folder, from);
  }
  return {};
}

Status PosixFileSystem::LinkFileAt(const std::string& existing, const Folder& folder,
                                   std::string_view name) {
  // Linked under a fresh name first, then renamed over: `name` never stands
  // empty, whatever it held before.
  std::string temporary;
  while (temporary.empty()) {
    std::string candidate = NewTemporaryName();
    if (::linkat(AT_FDCWD, existing.c_str(), FdOf(folder), candidate.c_str(), 0) == 0) {
      temporary = std::move(candidate);
    } else if (errno != EEXIST) {
      return ErrnoError(errno, "link", folder, name);
    }
  }
  const CName c_name(name);
  const int renamed = ::renameat(FdOf(folder), temporary.c_str(), FdOf(folder), c_name.c_str());
  const int e = errno;
  // Renaming onto another name of the same file leaves both names: the
  // temporary one goes either way.
  (void)::unlinkat(FdOf(folder), temporary.c_str(), 0);
  if (renamed != 0) return ErrnoError(e, "rename", folder, name);
  return {};
}

Status PosixFileSystem::SetPermissionsAt(const Folder& folder, std::string_view name,
                                         uint32_t permissions) {
  const CName c_name(name);
  // AT_SYMLINK_NOFOLLOW makes a link an error instead of changing its target.
  if (::fchmodat(FdOf(folder), c_name.c_str(), permissions & 07777, AT_SYMLINK_NOFOLLOW) != 0) {
    return ErrnoError(errno, "change permissions", folder, name);
  }
  return {};
}

Status PosixFileSystem::SetOwnerAt(const Folder& folder, std::string_view name, uint32_t uid,
                                   uint32_t gid) {
  const CName c_name(name);
  if (::fchownat(FdOf(folder), c_name.c_str(), uid, gid, AT_SYMLINK_NOFOLLOW) != 0) {
    return ErrnoError(errno, "change owner", folder, name);
  }
  return {};
}

Status PosixFileSystem::MakeWritableAt(const Folder& folder, std::string_view name) {
  const CName c_name(name);
  struct stat st;
  if (::fstatat(FdOf(folder), c_name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    return ErrnoError(errno, "look up", folder, name);
  }
  // A link has no mode of its own to change; replacing or deleting it only
  // needs its folder to be writable.
  if (S_ISLNK(st.st_mode) || (st.st_mode & S_IWUSR) != 0) return {};
  return SetPermissionsAt(folder, name, (st.st_mode & 07777) | S_IWUSR);
}

Status PosixFileSystem::SetTimeAt(const Folder& folder, std::string_view name,
                                  uint64_t last_write) {
  const CName c_name(name);
  const struct timespec times[2] = {{0, UTIME_OMIT}, TimespecFromFileTime(last_write)};
  if (::utimensat(FdOf(folder), c_name.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
    return ErrnoError(errno, "set times", folder, name);
  }
  return {};
}

Result<uint64_t> PosixFileSystem::ProbeTimeGranularity(const Folder& folder) {
  const int folder_fd = FdOf(folder);
  struct stat folder_st;
  if (::fstat(folder_fd, &folder_st) != 0) return PathError(errno, "look up", folder.path());
  std::string name;
  UniqueFd fd;
  for (int attempt = 0; attempt < 100 && !fd.valid(); ++attempt) {
    name = NewTemporaryName();
    fd.Reset(RetryOnInterrupt([&] {
      return ::openat(folder_fd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      0600);
    }));
    if (!fd.valid() && errno != EEXIST) {
      return PathError(errno, "create temporary in", folder.path());
    }
  }
  if (!fd.valid()) return PathError(EEXIST, "create temporary in", folder.path());
  // Where the mark cannot be set the name alone is left: the file is gone
  // again before anything could take it for the user's.
  (void)MarkTemporary(fd.get());

  const struct timespec times[2] = {{0, UTIME_OMIT}, {kProbeSeconds, kProbeNanoseconds}};
  struct stat st {};
  int failure = 0;
  const char* operation = "set times";
  if (::futimens(fd.get(), times) != 0) {
    failure = errno;
  } else if (::fstat(fd.get(), &st) != 0) {
    failure = errno;
    operation = "look up";
  }
  fd.Reset();
  const int unlinked = ::unlinkat(folder_fd, name.c_str(), 0) == 0 ? 0 : errno;
  // Adding and removing the temporary moved the folder's own time, which
  // mirroring compares; it gets its time back. A change another program makes
  // in the folder meanwhile keeps its entry but loses that time update.
  const struct timespec folder_times[2] = {{0, UTIME_OMIT}, folder_st.st_mtim};
  (void)::utimensat(folder_fd, ".", folder_times, 0);

  const std::string path = JoinPath(folder.path(), name);
  if (failure != 0) return PathError(failure, operation, path);
  if (unlinked != 0) return PathError(unlinked, "delete", path);
  const int64_t given = kProbeSeconds * 1000000000 + kProbeNanoseconds;
  const int64_t kept = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  if (const uint64_t step = GranularityOf(given, kept)) return step;
  return PathError(ENOTSUP, "keep times in", folder.path());
}

bool PosixFileSystem::IsCopyDebrisAt(const Folder& folder, std::string_view name) {
  if (!IsTemporaryName(name)) return false;
  // Read through /proc without opening the entry, which for a FIFO or a
  // device could block or act; without /proc nothing is debris, and a stray
  // temporary is kept rather than a user's file risked.
  return ::lgetxattr(ProcPath(FdOf(folder), name).c_str(), kTemporaryMarkAttribute, nullptr, 0) >=
         0;
}

bool PosixFileSystem::IsLockedAt(const Folder& folder, std::string_view name) {
  const CName c_name(name);
  // O_NONBLOCK keeps a FIFO from blocking the open; O_NOFOLLOW makes a link
  // "not locked", which is right since copying it never opens its target.
  UniqueFd fd(RetryOnInterrupt([&] {
    return ::openat(FdOf(folder), c_name.c_str(),
                    O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  }));
  if (!fd.valid()) return false;

  struct flock probe {};
  probe.l_type = F_RDLCK;
  probe.l_whence = SEEK_SET;
  probe.l_start = 0;
  probe.l_len = 0;
  // F_OFD_GETLK reports conflicting POSIX record locks and open-file locks
  // held by any process.
  if (::fcntl(fd.get(), F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) return true;

  if (::flock(fd.get(), LOCK_SH | LOCK_NB) != 0) return errno == EWOULDBLOCK;
  ::flock(fd.get(), LOCK_UN);
  return false;
}

Result<std::string> PosixFileSystem::ReadFile(const std::string& path) {
  UniqueFd fd(RetryOnInterrupt([&] { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC); }));
  if (!fd.valid()) return PathError(errno, "open", path);
  struct stat st;
  if (::fstat(fd.get(), &st) != 0) return PathError(errno, "look up", path);
  if (S_ISDIR(st.st_mode)) return PathError(EISDIR, "open", path);
  std::string data;
  data.reserve(st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0);
  char buffer[65536];
  for (;;) {
    const ssize_t n = RetryOnInterrupt([&] { return ::read(fd.get(), buffer, sizeof buffer); });
    if (n < 0) return PathError(errno, "read", path);
    if (n == 0) break;
    data.append(buffer, static_cast<size_t>(n));
  }
  return data;
}

Status PosixFileSystem::ReplaceFile(const std::string& path, std::string_view contents) {
  std::string target = path;
  struct stat st;
  bool exists = ::lstat(target.c_str(), &st) == 0;
  if (exists && S_ISLNK(st.st_mode)) {
    // Replace what the link points to; renaming over the link would cut it.
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
      target = resolved;
      std::free(resolved);
      exists = ::lstat(target.c_str(), &st) == 0;
    } else {
      return PathError(errno, "resolve", path);
    }
  }
  if (exists) {
    if (!S_ISREG(st.st_mode)) return PathError(EINVAL, "replace", target);
    if ((st.st_mode & S_IWUSR) == 0) return PathError(EACCES, "replace", target);
  }

  const std::string folder = ParentFolder(target).empty() ? "." : ParentFolder(target);
  std::string temporary;
  UniqueFd fd;
  for (int attempt = 0; attempt < 100 && !fd.valid(); ++attempt) {
    temporary = JoinPath(folder, NewTemporaryName());
    fd.Reset(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!fd.valid() && errno != EEXIST) return PathError(errno, "create", temporary);
  }
  if (!fd.valid()) return PathError(EEXIST, "create", temporary);
  const bool marked = MarkTemporary(fd.get());

  auto fail = [&](Error error) -> Status {
    fd.Reset();
    ::unlink(temporary.c_str());
    return error;
  };
  if (Status written = WriteAll(fd.get(), contents, temporary); !written) {
    return fail(written.error());
  }
  if (exists && ::fchmod(fd.get(), st.st_mode & 07777) != 0) {
    return fail(PathError(errno, "change permissions", temporary));
  }
  if (::fsync(fd.get()) != 0) return fail(PathError(errno, "flush", temporary));
  // The mark goes last, just before the rename: a process ended during the
  // write or the flush leaves marked debris, which start-up clears.
  if (const int e = Fault(CopyStep::kRename)) return fail(PathError(e, "rename", target));
  if (const int e = marked ? UnmarkTemporary(fd.get()) : 0) {
    return fail(PathError(e, "remove attribute", temporary));
  }
  if (::close(fd.Release()) != 0) return fail(PathError(errno, "close", temporary));
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    return fail(PathError(errno, "rename", target));
  }
  // Make the rename itself durable; a folder that cannot be flushed still
  // holds the new file, so a failure here changes nothing for the caller.
  UniqueFd folder_fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder_fd.valid()) ::fsync(folder_fd.get());
  return {};
}

Status PosixFileSystem::AppendToFile(const std::string& path, std::string_view text) {
  UniqueFd fd(RetryOnInterrupt(
      [&] { return ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666); }));
  if (!fd.valid()) return PathError(errno, "open", path);
  if (Status written = WriteAll(fd.get(), text, path); !written) return written;
  if (::close(fd.Release()) != 0) return PathError(errno, "close", path);
  return {};
}

Status PosixFileSystem::DeleteFile(const std::string& path) {
  if (::unlink(path.c_str()) != 0) return PathError(errno, "delete", path);
  return {};
}

}  // namespace posix

bool IsAbsentError(const Error& error) {
  return error.code == ENOENT || error.code == ENOTDIR;
}

bool IsLockedError(const Error& error) {
  return error.code == EWOULDBLOCK && error.operation == "locked";
}

void DeleteCopyTemporaries(FileSystem& fs, const Folder& folder) {
  auto reader = fs.ReadFolder(folder);
  if (!reader.ok()) return;
  FolderEntry entry;
  while ((*reader)->Next(entry)) {
    if (fs.IsCopyDebrisAt(folder, entry.name)) (void)fs.DeleteFileAt(folder, entry.name);
  }
}

std::unique_ptr<FileSystem> MakePosixFileSystem(PosixFileSystemOptions options) {
  return std::make_unique<posix::PosixFileSystem>(std::move(options));
}

std::unique_ptr<FileSystem> MakePosixFileSystem() {
  return MakePosixFileSystem({});
}

}  // namespace vorn::platform
