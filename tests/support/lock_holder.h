#pragma once

#include <sys/types.h>

#include <string>

namespace vorn::testing {

/// A child process that holds a lock on a file until the object is destroyed,
/// as another program holding a document open would.
class LockHolder {
 public:
  /// flock(2) or an fcntl(2) record lock over the whole file; the shared
  /// and read kinds still let readers in.
  enum class Kind { kExclusiveFlock, kSharedFlock, kWriteRecordLock, kReadRecordLock };

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
