#pragma once

#include <sys/types.h>

#include <string>

namespace vorn::testing {

/// A child process that holds a lock on a file until the object is destroyed,
/// as another program holding a document open would.
class LockHolder {
 public:
  enum class Kind {
    kExclusiveFlock,   ///< flock(LOCK_EX)
    kSharedFlock,      ///< flock(LOCK_SH): readers are still welcome
    kWriteRecordLock,  ///< fcntl(F_SETLK, F_WRLCK) over the whole file
    kReadRecordLock,   ///< fcntl(F_SETLK, F_RDLCK)
  };

  /// Starts the child and waits until it holds the lock.
  LockHolder(const std::string& path, Kind kind);
  ~LockHolder();
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;

  /// False when the child could not take the lock.
  bool holding() const { return holding_; }

 private:
  pid_t child_ = -1;
  int release_fd_ = -1;  // closing it tells the child to let go
  bool holding_ = false;
};

}  // namespace vorn::testing
