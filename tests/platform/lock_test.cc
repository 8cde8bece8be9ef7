#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "support/lock_holder.h"
#include "support/test_folder.h"

namespace vorn::platform {
namespace {

using testing::LockHolder;
using testing::TestFolder;

class LockTest : public ::testing::Test {
 protected:
  bool Locked(std::string_view name) {
    auto folder = fs_->OpenFolder(dir_.path());
    return fs_->IsLockedAt(**folder, name);
  }

  TestFolder dir_;
  std::unique_ptr<FileSystem> fs_ = MakePosixFileSystem();
};

TEST_F(LockTest, LocksThatForbidReadingAreSeen) {
  dir_.Write("doc", "x");
  {
    LockHolder holder(dir_.Path("doc"), LockHolder::Kind::kExclusiveFlock);
    ASSERT_TRUE(holder.holding());
    EXPECT_TRUE(Locked("doc"));
  }
  {
    LockHolder holder(dir_.Path("doc"), LockHolder::Kind::kWriteRecordLock);
    ASSERT_TRUE(holder.holding());
    EXPECT_TRUE(Locked("doc"));
  }
  EXPECT_FALSE(Locked("doc"));  // released with the holder
}

TEST_F(LockTest, SharedLocksAndFreeFilesAreNotLocked) {
  dir_.Write("doc", "x");
  EXPECT_FALSE(Locked("doc"));
  {
    LockHolder holder(dir_.Path("doc"), LockHolder::Kind::kSharedFlock);
    ASSERT_TRUE(holder.holding());
    EXPECT_FALSE(Locked("doc"));
  }
  {
    LockHolder holder(dir_.Path("doc"), LockHolder::Kind::kReadRecordLock);
    ASSERT_TRUE(holder.holding());
    EXPECT_FALSE(Locked("doc"));
  }
}

TEST_F(LockTest, TheTestLeavesNoLockBehind) {
  dir_.Write("doc", "x");
  ASSERT_FALSE(Locked("doc"));
  LockHolder holder(dir_.Path("doc"), LockHolder::Kind::kExclusiveFlock);
  EXPECT_TRUE(holder.holding());
}

TEST_F(LockTest, MissingFilesAndFoldersAreNotLocked) {
  dir_.MakeFolder("sub");
  EXPECT_FALSE(Locked("missing"));
  EXPECT_FALSE(Locked("sub"));
}

}  // namespace
}  // namespace vorn::platform
