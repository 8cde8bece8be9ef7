// The view a dry run's file system gives of its own changes, and the disk
// it leaves alone.

#include "platform/dry_run_file_system.h"

#include <sys/stat.h>

#include <cerrno>
#include <set>

#include <gtest/gtest.h>

#include "support/test_folder.h"

namespace vorn::platform {
namespace {

using testing::TestFolder;

class DryRunFileSystemTest : public ::testing::Test {
 protected:
  DryRunFileSystemTest() {
    dir_.MakeFolder("src");
    dir_.MakeFolder("dst");
    dir_.MakeFolder("dst/old");
    dir_.Write("src/big", "0123456789", 0640);
    dir_.SetTime("src/big", 1700000000, 5);
    dir_.Write("dst/old/x", "x");
    dir_.Write("dst/keep", "k");
  }

  std::unique_ptr<Folder> Open(const std::string& relative) {
    auto folder = dry_.OpenFolder(dir_.Path(relative));
    EXPECT_TRUE(folder.ok()) << relative;
    return folder.ok() ? std::move(folder).value() : nullptr;
  }
  std::set<std::string> Names(const Folder& folder) {
    std::set<std::string> names;
    auto reader = dry_.ReadFolder(folder);
    FolderEntry entry;
    while (reader.ok() && (*reader)->Next(entry)) {
      if (entry.name != "." && entry.name != "..") names.insert(entry.name);
    }
    return names;
  }

  TestFolder dir_;
  std::unique_ptr<FileSystem> real_ = MakePosixFileSystem();
  DryRunFileSystem dry_{*real_};
};

TEST_F(DryRunFileSystemTest, ChangesShowInItsViewAndNeverOnDisk) {
  const auto src = Open("src");
  const auto dst = Open("dst");
  // A new folder takes a copy and a sub-folder, and lists and looks them up.
  ASSERT_TRUE(dry_.CreateFolderAt(*dst, "new").ok());
  EXPECT_EQ(dry_.CreateFolderAt(*dst, "new").error().code, EEXIST);
  auto made = dry_.OpenFolderAt(*dst, "new");
  ASSERT_TRUE(made.ok());
  ASSERT_TRUE(dry_.CopyFileAt(*src, "big", **made, "copy", {}).ok());
  ASSERT_TRUE(dry_.CreateFolderAt(**made, "deeper").ok());
  EXPECT_TRUE(dry_.OpenFolderAt(*dst, "new/deeper").ok());
  EXPECT_EQ(Names(**made), (std::set<std::string>{"copy", "deeper"}));
  const auto source = dry_.LookupAt(*src, "big");
  const auto copy = dry_.LookupAt(**made, "copy");
  ASSERT_TRUE(copy.ok());
  EXPECT_EQ(copy->size, source->size);
  EXPECT_EQ(copy->last_write, source->last_write);
  EXPECT_EQ(copy->permissions, 0640u);
  EXPECT_TRUE(dry_.Lookup(dir_.Path("dst/new/copy")).ok());
  EXPECT_EQ(dry_.OpenFolderAt(**made, "copy").error().code, ENOTDIR);

  // A folder goes only once everything in it has gone.
  auto old = dry_.OpenFolderAt(*dst, "old");
  ASSERT_TRUE(old.ok());
  EXPECT_EQ(dry_.RemoveFolderAt(*dst, "old").error().code, ENOTEMPTY);
  ASSERT_TRUE(dry_.DeleteFileAt(**old, "x").ok());
  EXPECT_EQ(dry_.DeleteFileAt(**old, "x").error().code, ENOENT);
  ASSERT_TRUE(dry_.RemoveFolderAt(*dst, "old").ok());
  EXPECT_EQ(dry_.OpenFolderAt(*dst, "old").error().code, ENOENT);
  EXPECT_EQ(dry_.LookupAt(**old, "x").error().code, ENOENT);
  EXPECT_EQ(Names(*dst), (std::set<std::string>{"keep", "new"}));

  // Permissions, and whole files written and read back.
  ASSERT_TRUE(dry_.SetPermissionsAt(*dst, "keep", 0444).ok());
  EXPECT_NE(dry_.LookupAt(*dst, "keep")->attributes & attribute::kReadOnly, 0u);
  ASSERT_TRUE(dry_.AppendToFile(dir_.Path("dst/keep"), "+more").ok());
  EXPECT_EQ(*dry_.ReadFile(dir_.Path("dst/keep")), "k+more");
  ASSERT_TRUE(dry_.ReplaceFile(dir_.Path("dst/log"), "line").ok());
  EXPECT_EQ(*dry_.ReadFile(dir_.Path("dst/log")), "line");
  EXPECT_EQ(Names(*dst).count("log"), 1u);

  // The disk saw none of it.
  EXPECT_EQ(dir_.Names("dst"), (std::vector<std::string>{"keep", "old"}));
  EXPECT_EQ(dir_.Names("dst/old"), std::vector<std::string>{"x"});
  EXPECT_EQ(dir_.Read("dst/keep"), "k");
  struct stat st;
  ASSERT_EQ(::stat(dir_.Path("dst/keep").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
}

}  // namespace
}  // namespace vorn::platform
