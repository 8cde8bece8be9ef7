#include "support/lock_holder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vorn::testing {
namespace {

bool TakeLock(int fd, LockHolder::Kind kind) {
  using Kind = LockHolder::Kind;
  if (kind == Kind::kExclusiveFlock || kind == Kind::kSharedFlock) {
    return ::flock(fd, (kind == Kind::kExclusiveFlock ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0;
  }
  struct flock lock {};
  lock.l_type = kind == Kind::kWriteRecordLock ? F_WRLCK : F_RDLCK;
  lock.l_whence = SEEK_SET;
  return ::fcntl(fd, F_SETLK, &lock) == 0;
}

}  // namespace

LockHolder::LockHolder(const std::string& path, Kind kind) {
  int ready[2], release[2];
  if (::pipe(ready) != 0 || ::pipe(release) != 0) return;
  child_ = ::fork();
  if (child_ == 0) {
    ::close(ready[0]);
    ::close(release[1]);
    const int fd = ::open(path.c_str(), O_RDWR);
    const char answer = fd >= 0 && TakeLock(fd, kind) ? 'y' : 'n';
    (void)!::write(ready[1], &answer, 1);
    char byte;
    while (::read(release[0], &byte, 1) > 0) continue;
    ::_exit(0);
  }
  ::close(ready[1]);
  ::close(release[0]);
  release_fd_ = release[1];
  char answer = 'n';
  holding_ = ::read(ready[0], &answer, 1) == 1 && answer == 'y';
  ::close(ready[0]);
}

LockHolder::~LockHolder() {
  if (release_fd_ >= 0) ::close(release_fd_);
  if (child_ > 0) ::waitpid(child_, nullptr, 0);
}

}  // namespace vorn::testing
