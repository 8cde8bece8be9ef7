// slowfs: a pass-through FUSE file system over a backing folder, for the
// tests and the benchmark. It can wait before each round trip a network share
// makes, and keep times only to a coarse step, as FAT and some shares do.
//
//   slowfs BACKING_DIR MOUNTPOINT [--delay-us N] [--time-step-ns N] [-f] [fuse options]
//
// Every call works on the backing folder's descriptor with the *at calls, so
// the mount may even sit over the backing folder itself. The kernel checks
// permissions (default_permissions); run by root, the mount is open to every
// user (allow_other) and what a user creates is theirs.

#define FUSE_USE_VERSION 31

#include <dirent.h>
#include <fcntl.h>
#include <fuse.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int64_t kSecond = 1000000000;

struct {
  int backing = -1;
  std::chrono::microseconds delay{0};
  int64_t time_step = 0;  // nanoseconds; 0 keeps times as given
} g;

// FUSE names entries "/a/b", and the root "/".
const char* Rel(const char* path) {
  return path[1] == '\0' ? "." : path + 1;
}

// The extended attribute calls have no *at form: the backing folder is
// reached through its descriptor's entry in /proc instead.
std::string ProcPath(const char* path) {
  return "/proc/self/fd/" + std::to_string(g.backing) + path;
}

int Status(int result) {
  return result < 0 ? -errno : 0;
}
template <typename T>
T Count(T result) {
  return result < 0 ? -errno : result;
}

int Fd(const fuse_file_info* fi) {
  return static_cast<int>(fi->fh);
}

void RoundTrip() {
  if (g.delay.count() > 0) std::this_thread::sleep_for(g.delay);
}

// Root serving other users makes each new entry its caller's, in the
// caller's group, or a set-group-ID folder's (which the backing file system
// already gave it); otherwise the kernel's checks would lock its maker out.
int Own(const char* path) {
  const fuse_context* caller = fuse_get_context();
  if (::geteuid() != 0 || (caller->uid == 0 && caller->gid == 0)) return 0;
  std::string parent = Rel(path);
  const size_t slash = parent.rfind('/');
  parent = slash == std::string::npos ? "." : parent.substr(0, slash);
  struct stat folder;
  gid_t gid = caller->gid;
  if (::fstatat(g.backing, parent.c_str(), &folder, 0) == 0 && (folder.st_mode & S_ISGID)) {
    gid = static_cast<gid_t>(-1);
  }
  return Status(::fchownat(g.backing, Rel(path), caller->uid, gid, AT_SYMLINK_NOFOLLOW));
}

// What a file system that keeps times to the step makes of `t`: the time
// rounded down to the step, the current time included.
timespec Kept(timespec t) {
  if (g.time_step == 0 || t.tv_nsec == UTIME_OMIT) return t;
  if (t.tv_nsec == UTIME_NOW) ::clock_gettime(CLOCK_REALTIME, &t);
  if (g.time_step % kSecond == 0) {
    const time_t step = static_cast<time_t>(g.time_step / kSecond);
    t.tv_sec -= (t.tv_sec % step + step) % step;  // down, before 1970 too
    t.tv_nsec = 0;
  } else {
    t.tv_nsec -= t.tv_nsec % g.time_step;
  }
  return t;
}

void* Init(fuse_conn_info*, fuse_config* config) {
  config->use_ino = 1;      // the backing inode numbers, so hard links show
  config->hard_remove = 1;  // no hidden stand-ins for open files that were removed
  config->nullpath_ok = 1;  // those are served through their descriptors
  return nullptr;
}

int GetAttr(const char* path, struct stat* st, fuse_file_info* fi) {
  RoundTrip();
  if (fi) return Status(::fstat(Fd(fi), st));
  return Status(::fstatat(g.backing, Rel(path), st, AT_SYMLINK_NOFOLLOW));
}

int OpenDir(const char* path, fuse_file_info* fi) {
  RoundTrip();
  const int fd = ::openat(g.backing, Rel(path), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return -errno;
  fi->fh = static_cast<uint64_t>(fd);
  return 0;
}

// The whole folder in one go, from its start (offset 0 asks libfuse to keep it).
int ReadDir(const char*, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info* fi,
            fuse_readdir_flags) {
  RoundTrip();
  const int fd = ::dup(Fd(fi));
  DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
  if (dir == nullptr) {
    const int error = errno;
    if (fd >= 0) ::close(fd);
    return -error;
  }
  ::rewinddir(dir);
  errno = 0;
  while (const dirent* entry = ::readdir(dir)) {
    struct stat st {};
    st.st_ino = entry->d_ino;
    st.st_mode = DTTOIF(entry->d_type);
    if (fill(buffer, entry->d_name, &st, 0, fuse_fill_dir_flags{}) != 0) break;
  }
  const int error = errno;
  ::closedir(dir);
  return -error;
}

int MakeDir(const char* path, mode_t mode) {
  if (::mkdirat(g.backing, Rel(path), mode) != 0) return -errno;
  return Own(path);
}

int MakeNode(const char* path, mode_t mode, dev_t device) {
  if (::mknodat(g.backing, Rel(path), mode, device) != 0) return -errno;
  return Own(path);
}

int Symlink(const char* target, const char* path) {
  if (::symlinkat(target, g.backing, Rel(path)) != 0) return -errno;
  return Own(path);
}

int ReadLink(const char* path, char* buffer, size_t size) {
  const ssize_t length = ::readlinkat(g.backing, Rel(path), buffer, size - 1);
  if (length < 0) return -errno;
  buffer[length] = '\0';
  return 0;
}

int Create(const char* path, mode_t mode, fuse_file_info* fi) {
  RoundTrip();
  const int fd = ::openat(g.backing, Rel(path), fi->flags | O_CREAT | O_CLOEXEC, mode);
  if (fd < 0) return -errno;
  fi->fh = static_cast<uint64_t>(fd);
  const int owned = Own(path);
  if (owned != 0) ::close(fd);  // a failed create is never released
  return owned;
}

int Open(const char* path, fuse_file_info* fi) {
  RoundTrip();
  const int fd = ::openat(g.backing, Rel(path), fi->flags | O_CLOEXEC);
  if (fd < 0) return -errno;
  fi->fh = static_cast<uint64_t>(fd);
  return 0;
}

int Truncate(const char* path, off_t size, fuse_file_info* fi) {
  if (fi) return Status(::ftruncate(Fd(fi), size));
  const int fd = ::openat(g.backing, Rel(path), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return -errno;
  const int result = Status(::ftruncate(fd, size));
  ::close(fd);
  return result;
}

int Utimens(const char* path, const timespec given[2], fuse_file_info* fi) {
  const timespec times[2] = {Kept(given[0]), Kept(given[1])};
  if (fi) return Status(::futimens(Fd(fi), times));
  return Status(::utimensat(g.backing, Rel(path), times, AT_SYMLINK_NOFOLLOW));
}

int Chmod(const char* path, mode_t mode, fuse_file_info* fi) {
  if (fi) return Status(::fchmod(Fd(fi), mode));
  return Status(::fchmodat(g.backing, Rel(path), mode, 0));
}

int Chown(const char* path, uid_t uid, gid_t gid, fuse_file_info* fi) {
  if (fi) return Status(::fchown(Fd(fi), uid, gid));
  return Status(::fchownat(g.backing, Rel(path), uid, gid, AT_SYMLINK_NOFOLLOW));
}

bool ParseNumber(const char* text, int64_t& number) {
  char* end = nullptr;
  errno = 0;
  number = std::strtoll(text, &end, 10);
  return errno == 0 && end != text && *end == '\0' && number >= 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: slowfs BACKING_DIR MOUNTPOINT [--delay-us N] [--time-step-ns N] [-f] "
               "[fuse options]\n"
               "  --time-step-ns N must divide a second or be whole seconds\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> fuse_args{argv[0]};
  const char* backing = nullptr;
  bool have_mount_point = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    int64_t number = 0;
    if (arg == "--delay-us" || arg == "--time-step-ns") {
      if (i + 1 == argc || !ParseNumber(argv[++i], number)) return Usage();
      if (arg == "--delay-us") {
        g.delay = std::chrono::microseconds(number);
      } else {
        g.time_step = number;
      }
    } else if (arg == "-o" && i + 1 < argc) {
      fuse_args.push_back(argv[i]);
      fuse_args.push_back(argv[++i]);
    } else if (arg.starts_with("-")) {
      fuse_args.push_back(argv[i]);
    } else if (backing == nullptr) {
      backing = argv[i];
    } else if (!have_mount_point) {
      have_mount_point = true;
      fuse_args.push_back(argv[i]);
    } else {
      return Usage();
    }
  }
  if (!have_mount_point ||
      (g.time_step != 0 && g.time_step % kSecond != 0 && kSecond % g.time_step != 0)) {
    return Usage();
  }
  g.backing = ::open(backing, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (g.backing < 0) {
    std::fprintf(stderr, "slowfs: %s: %s\n", backing, std::strerror(errno));
    return 1;
  }
  // Modes arrive with the caller's umask applied; ours must not cut them again.
  ::umask(0);
  std::string options = "default_permissions,fsname=slowfs,subtype=slowfs";
  if (::geteuid() == 0) options += ",allow_other";
  fuse_args.push_back(const_cast<char*>("-o"));
  fuse_args.push_back(options.data());

  // The calls that only pass through; those above do more.
  fuse_operations ops{};
  ops.init = Init;
  ops.getattr = GetAttr;
  ops.opendir = OpenDir;
  ops.readdir = ReadDir;
  ops.releasedir = [](const char*, fuse_file_info* fi) { return Status(::close(Fd(fi))); };
  ops.mkdir = MakeDir;
  ops.mknod = MakeNode;
  ops.rmdir = [](const char* path) {
    return Status(::unlinkat(g.backing, Rel(path), AT_REMOVEDIR));
  };
  ops.unlink = [](const char* path) { return Status(::unlinkat(g.backing, Rel(path), 0)); };
  ops.rename = [](const char* from, const char* to, unsigned int flags) {
    return Status(::renameat2(g.backing, Rel(from), g.backing, Rel(to), flags));
  };
  ops.link = [](const char* from, const char* to) {
    return Status(::linkat(g.backing, Rel(from), g.backing, Rel(to), 0));
  };
  ops.symlink = Symlink;
  ops.readlink = ReadLink;
  ops.create = Create;
  ops.open = Open;
  ops.read = [](const char*, char* buffer, size_t size, off_t at, fuse_file_info* fi) {
    return static_cast<int>(Count(::pread(Fd(fi), buffer, size, at)));
  };
  ops.write = [](const char*, const char* buffer, size_t size, off_t at, fuse_file_info* fi) {
    return static_cast<int>(Count(::pwrite(Fd(fi), buffer, size, at)));
  };
  // Each close(2) of the mount's file; the backing file sees one too.
  ops.flush = [](const char*, fuse_file_info* fi) { return Status(::close(::dup(Fd(fi)))); };
  ops.release = [](const char*, fuse_file_info* fi) { return Status(::close(Fd(fi))); };
  ops.fsync = [](const char*, int data_only, fuse_file_info* fi) {
    return Status(data_only ? ::fdatasync(Fd(fi)) : ::fsync(Fd(fi)));
  };
  ops.truncate = Truncate;
  ops.utimens = Utimens;
  ops.chmod = Chmod;
  ops.chown = Chown;
  ops.statfs = [](const char*, struct statvfs* st) { return Status(::fstatvfs(g.backing, st)); };
  ops.setxattr = [](const char* path, const char* name, const char* value, size_t size, int flags) {
    return Status(::lsetxattr(ProcPath(path).c_str(), name, value, size, flags));
  };
  ops.getxattr = [](const char* path, const char* name, char* value, size_t size) {
    return static_cast<int>(Count(::lgetxattr(ProcPath(path).c_str(), name, value, size)));
  };
  ops.listxattr = [](const char* path, char* list, size_t size) {
    return static_cast<int>(Count(::llistxattr(ProcPath(path).c_str(), list, size)));
  };
  ops.removexattr = [](const char* path, const char* name) {
    return Status(::lremovexattr(ProcPath(path).c_str(), name));
  };
  ops.lseek = [](const char*, off_t at, int whence, fuse_file_info* fi) {
    return Count(::lseek(Fd(fi), at, whence));
  };
  ops.fallocate = [](const char*, int mode, off_t at, off_t length, fuse_file_info* fi) {
    return Status(::fallocate(Fd(fi), mode, at, length));
  };
  ops.copy_file_range = [](const char*, fuse_file_info* in, off_t in_at, const char*,
                           fuse_file_info* out, off_t out_at, size_t size, int flags) {
    return Count(::copy_file_range(Fd(in), &in_at, Fd(out), &out_at, size,
                                   static_cast<unsigned int>(flags)));
  };
  return fuse_main(static_cast<int>(fuse_args.size()), fuse_args.data(), &ops, nullptr);
}
