#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/system.h"

namespace vorn::platform {
namespace {

constexpr InstanceKind kKinds[] = {InstanceKind::kWindow, InstanceKind::kOnce,
                                   InstanceKind::kHeadless, InstanceKind::kService};

// A whole-file record lock owned by the open file, not the process: a reader
// in any process (the holder's own included) sees it, and it goes when the
// holder's descriptor closes, however the holder ends.
struct flock WholeFile(short type) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  return lock;
}

// Writes the record before locking it, so a reader that finds the lock
// always finds the record complete; until then the folder reads as free
// of records, and only this holder ever writes there.
int WriteRecord(const std::string& record_file, InstanceKind kind) {
  const int fd = ::open(record_file.c_str(),
                        O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK, 0644);
  if (fd < 0) return -1;
  const std::string text =
      std::to_string(::getpid()) + " " + std::string(InstanceKindWord(kind)) + "\n";
  struct flock lock = WholeFile(F_WRLCK);
  if (::ftruncate(fd, 0) != 0 ||
      ::pwrite(fd, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size()) ||
      ::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

std::optional<InstanceHolder> ParseRecord(const std::string& text) {
  const size_t blank = text.find(' ');
  if (blank == std::string::npos || text.empty() || text.back() != '\n') return std::nullopt;
  InstanceHolder holder;
  for (size_t i = 0; i < blank; ++i) {
    if (text[i] < '0' || text[i] > '9' || holder.pid > 99999999) return std::nullopt;
    holder.pid = holder.pid * 10 + (text[i] - '0');
  }
  const std::string word = text.substr(blank + 1, text.size() - blank - 2);
  for (const InstanceKind kind : kKinds) {
    if (word == InstanceKindWord(kind)) holder.kind = kind;
  }
  return holder;
}

// The holder's own record, when a live holder still locks it.
std::optional<InstanceHolder> ReadRecord(const std::string& record_file) {
  // A pipe put in its place must not hold the command up.
  const int fd =
      ::open(record_file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  struct flock probe = WholeFile(F_RDLCK);
  std::optional<InstanceHolder> holder;
  if (::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) {
    char buffer[64];
    const ssize_t n = ::pread(fd, buffer, sizeof buffer, 0);
    holder = ParseRecord(std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0));
    // Locked but unreadable: someone holds it all the same.
    if (!holder) holder = InstanceHolder{};
  }
  ::close(fd);
  return holder;
}

// A holder that could not write its record still shows in the kernel's
// table of locks: "1: FLOCK  ADVISORY  WRITE PID MAJOR:MINOR:INODE 0 EOF".
std::optional<InstanceHolder> FindFolderLock(const std::string& app_folder) {
  struct stat st;
  if (::stat(app_folder.c_str(), &st) != 0) return std::nullopt;
  FILE* table = ::fopen("/proc/locks", "re");
  if (table == nullptr) return std::nullopt;
  std::optional<InstanceHolder> holder;
  char line[256];
  while (!holder && ::fgets(line, sizeof line, table) != nullptr) {
    char type[16], mode[16];
    int pid = 0;
    unsigned major_number = 0, minor_number = 0;
    unsigned long inode = 0;
    // Waiting requests ("1: -> FLOCK ...") do not match the pattern.
    if (std::sscanf(line, "%*d: %15s %*15s %15s %d %x:%x:%lu", type, mode, &pid, &major_number,
                    &minor_number, &inode) == 6 &&
        std::string(type) == "FLOCK" && std::string(mode) == "WRITE" &&
        major_number == major(st.st_dev) && minor_number == minor(st.st_dev) &&
        inode == st.st_ino) {
      holder = InstanceHolder{pid, std::nullopt};
    }
  }
  ::fclose(table);
  return holder;
}

}  // namespace

std::string_view InstanceKindWord(InstanceKind kind) {
  switch (kind) {
    case InstanceKind::kWindow:
      return "window";
    case InstanceKind::kOnce:
      return "once";
    case InstanceKind::kHeadless:
      return "headless";
    case InstanceKind::kService:
      return "service";
  }
  return "window";
}

InstanceLock InstanceLock::TryAcquire(const std::string& app_folder) {
  // A lock file could not be made in a folder that belongs to another user,
  // and two instances would then mirror the same pairs; the folder's own
  // descriptor can be locked by anyone who may read it.
  const int fd = ::open(app_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return InstanceLock(-1, State::kUnavailable);
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const State state = errno == EWOULDBLOCK ? State::kAlreadyRunning : State::kUnavailable;
    ::close(fd);
    return InstanceLock(-1, state);
  }
  return InstanceLock(fd, State::kHeld);
}

InstanceLock InstanceLock::TryAcquire(const std::string& app_folder, const std::string& record_file,
                                      InstanceKind kind) {
  InstanceLock lock = TryAcquire(app_folder);
  if (lock.state_ == State::kHeld) lock.record_fd_ = WriteRecord(record_file, kind);
  return lock;
}

InstanceLock::InstanceLock(InstanceLock&& other) noexcept
    : fd_(other.fd_), record_fd_(other.record_fd_), state_(other.state_) {
  other.fd_ = -1;
  other.record_fd_ = -1;
}

InstanceLock& InstanceLock::operator=(InstanceLock&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = other.fd_;
    record_fd_ = other.record_fd_;
    state_ = other.state_;
    other.fd_ = -1;
    other.record_fd_ = -1;
  }
  return *this;
}

InstanceLock::~InstanceLock() {
  Release();
}

void InstanceLock::Release() {
  // The record goes stale first: a reader never sees a live record of a
  // folder that is already free.
  if (record_fd_ >= 0) ::close(record_fd_);
  if (fd_ >= 0) ::close(fd_);  // closing the last descriptor releases the lock
  record_fd_ = -1;
  fd_ = -1;
}

std::optional<InstanceHolder> FindInstanceHolder(const std::string& app_folder,
                                                 const std::string& record_file) {
  if (auto holder = ReadRecord(record_file)) return holder;
  return FindFolderLock(app_folder);
}

}  // namespace vorn::platform
