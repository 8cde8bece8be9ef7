#include "platform/fault_injecting_file_system.h"

#include <gtest/gtest.h>

#include "support/test_folder.h"

namespace vorn::platform {
namespace {

using testing::TestFolder;

TEST(FaultInjectingFileSystemTest, FailsTheChosenCallsAndForwardsTheRest) {
  TestFolder dir;
  dir.Write("a", "1");
  dir.Write("b", "2");
  const auto real = MakePosixFileSystem();
  FaultInjectingFileSystem fs(*real);
  const auto folder = std::move(fs.OpenFolder(dir.path())).value();

  fs.FailNth(FsOperation::kLookupAt, 2, EIO);
  EXPECT_TRUE(fs.LookupAt(*folder, "a").ok());
  EXPECT_EQ(fs.LookupAt(*folder, "a").error().code, EIO);
  EXPECT_TRUE(fs.LookupAt(*folder, "a").ok());
  EXPECT_EQ(fs.Calls(FsOperation::kLookupAt), 3);

  fs.FailFor(FsOperation::kCopyFileAt, "b", ENOSPC);
  EXPECT_TRUE(fs.CopyFileAt(*folder, "a", *folder, "a2", {}).ok());
  EXPECT_EQ(fs.CopyFileAt(*folder, "b", *folder, "b2", {}).error().code, ENOSPC);
  EXPECT_FALSE(dir.Exists("b2"));

  // A vanished entry is still listed but can no longer be looked up or copied.
  fs.MakeVanish("a");
  auto reader = std::move(fs.ReadFolder(*folder)).value();
  FolderEntry entry;
  bool listed = false;
  while (reader->Next(entry)) listed = listed || entry.name == "a";
  EXPECT_TRUE(listed);
  EXPECT_EQ(fs.LookupAt(*folder, "a").error().code, ENOENT);
  EXPECT_EQ(fs.Lookup(dir.Path("a")).error().code, ENOENT);

  dir.Write("c", "3");
  EXPECT_FALSE(fs.IsLockedAt(*folder, "c"));
  fs.MarkLocked("c");
  EXPECT_TRUE(fs.IsLockedAt(*folder, "c"));
  EXPECT_TRUE(fs.CopyFileAt(*folder, "c", *folder, "c2", {}).ok());
  const Status refused = fs.CopyFileAt(*folder, "c", *folder, "c3", {.refuse_locked = true});
  ASSERT_FALSE(refused.ok());
  EXPECT_TRUE(IsLockedError(refused.error()));
}

}  // namespace
}  // namespace vorn::platform
