// What a copy keeps beyond the bytes: the holes of a sparse file, and for
// root the owner.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dry_run_file_system.h"
#include "platform/posix_file_system.h"
#include "support/test_folder.h"

namespace vorn::platform {
namespace {

constexpr off_t kMiB = 1 << 20;

class FidelityTest : public ::testing::Test {
 protected:
  FidelityTest() {
    dir_.MakeFolder("src");
    dir_.MakeFolder("dst");
  }

  Status Copy(std::string_view name, const CopyOptions& options) {
    auto source = fs_->OpenFolder(dir_.Path("src"));
    auto target = fs_->OpenFolder(dir_.Path("dst"));
    EXPECT_TRUE(source.ok() && target.ok());
    return fs_->CopyFileAt(**source, name, **target, name, options);
  }
  struct stat Stat(std::string_view relative) const {
    struct stat st {};
    EXPECT_EQ(::lstat(dir_.Path(relative).c_str(), &st), 0) << relative;
    return st;
  }

  testing::TestFolder dir_;
  // Small chunks, so that a data region takes several.
  std::unique_ptr<FileSystem> fs_ = MakePosixFileSystem({nullptr, 64 * 1024, true});
};

TEST_F(FidelityTest, HolesStayHolesAndDenseFilesStillCopy) {
  const struct {
    const char* name;
    off_t size;
    std::vector<std::pair<off_t, size_t>> data;  // the rest is holes
    bool sparse;
  } files[] = {
      {"holes", 8 * kMiB, {{0, 4096}, {3 * kMiB + 100, 200 * 1024}}, true},  // ends in a hole
      {"all-holes", 4 * kMiB, {}, true},
      {"dense", 300 * 1024 + 17, {{0, 300 * 1024 + 17}}, false},
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file.name);
    const std::string source = std::string("src/") + file.name;
    const int fd = ::open(dir_.Path(source).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, file.size), 0);
    for (const auto& [offset, length] : file.data) {
      std::string bytes(length, '\0');
      for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>(1 + (offset + i) % 251);
      ASSERT_EQ(::pwrite(fd, bytes.data(), length, offset), static_cast<ssize_t>(length));
    }
    ::close(fd);
    const struct stat before = Stat(source);
    if (file.sparse && before.st_blocks * 512 > file.size / 2) {
      GTEST_SKIP() << "the test folder's file system keeps no holes";
    }

    std::vector<uint64_t> progress;
    CopyOptions options;
    options.progress = [&](uint64_t copied, uint64_t) { progress.push_back(copied); };
    ASSERT_TRUE(Copy(file.name, options).ok());
    const struct stat after = Stat(std::string("dst/") + file.name);
    EXPECT_EQ(after.st_size, file.size);
    EXPECT_TRUE(dir_.Read(std::string("dst/") + file.name) == dir_.Read(source));
    if (file.sparse) {
      EXPECT_LE(after.st_blocks, before.st_blocks + 128);  // within 64 KiB
    }
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_LT(progress.empty() ? 0 : progress.back(), static_cast<uint64_t>(file.size));
    if (file.data.empty()) {
      EXPECT_TRUE(progress.empty());  // a copy made in one go
    }
  }
}

TEST_F(FidelityTest, RootGivesCopiesTheSourceOwnerOnlyWhenAskedAndSetsOwnersOfLinksThemselves) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give entries away";
  dir_.Write("src/tool", "#!/bin/sh\n");
  ASSERT_EQ(::chown(dir_.Path("src/tool").c_str(), 65534, 65534), 0);
  ASSERT_EQ(::chmod(dir_.Path("src/tool").c_str(), 06755), 0);  // after: chown clears set-ID bits
  dir_.MakeLink("src/link", "tool");
  ASSERT_EQ(::lchown(dir_.Path("src/link").c_str(), 65534, 65534), 0);

  for (const bool copy_owner : {false, true}) {
    SCOPED_TRACE(copy_owner ? "copy_owner" : "own");
    CopyOptions options;
    options.copy_owner = copy_owner;
    for (const char* name : {"tool", "link"}) {
      ASSERT_TRUE(Copy(name, options).ok()) << name;
      const auto copy = fs_->Lookup(dir_.Path(std::string("dst/") + name));
      EXPECT_EQ(copy->uid, copy_owner ? 65534u : 0u) << name;
      EXPECT_EQ(copy->gid, copy_owner ? 65534u : ::getegid()) << name;
    }
    EXPECT_EQ(fs_->Lookup(dir_.Path("dst/tool"))->permissions, 06755u);
  }

  dir_.MakeFolder("dst/folder");
  dir_.MakeLink("dst/to-folder", "folder");
  auto dst = fs_->OpenFolder(dir_.Path("dst"));
  ASSERT_TRUE(dst.ok());
  EXPECT_TRUE(fs_->SetOwnerAt(**dst, "folder", 65534, 65533).ok());
  EXPECT_TRUE(fs_->SetOwnerAt(**dst, "to-folder", 65533, 65534).ok());
  EXPECT_EQ(fs_->SetOwnerAt(**dst, "absent", 1, 1).error().code, ENOENT);
  for (const auto& [name, uid, gid] :
       {std::tuple("folder", 65534u, 65533u), std::tuple("to-folder", 65533u, 65534u)}) {
    const auto info = fs_->LookupAt(**dst, name);
    EXPECT_EQ(std::make_pair(info->uid, info->gid), std::make_pair(uid, gid)) << name;
  }

  // A dry run shows the change in its view and leaves the disk alone.
  DryRunFileSystem dry(*fs_);
  auto dry_dst = dry.OpenFolder(dir_.Path("dst"));
  ASSERT_TRUE(dry_dst.ok());
  EXPECT_TRUE(dry.SetOwnerAt(**dry_dst, "folder", 7, 8).ok());
  EXPECT_EQ(dry.LookupAt(**dry_dst, "folder")->uid, 7u);
  EXPECT_EQ(fs_->LookupAt(**dst, "folder")->uid, 65534u);
}

}  // namespace
}  // namespace vorn::platform
