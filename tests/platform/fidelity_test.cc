// What a copy keeps beyond the bytes: the holes of a sparse file; owners root
// gives entries; the step of the times a file system keeps, as the probe
// finds it, and an entry given a time of its own.

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <tuple>
#include <utility>

#include <gtest/gtest.h>

#include "platform/dry_run_file_system.h"
#include "platform/posix_file_system.h"
#include "support/test_folder.h"

namespace vorn::platform {
namespace {

constexpr off_t kMiB = 1 << 20;

class FidelityTest : public ::testing::Test {
 protected:
  FidelityTest() { dir_.Make({"src/", "dst/"}); }

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
  auto src = fs_->OpenFolder(dir_.Path("src")), dst = fs_->OpenFolder(dir_.Path("dst"));
  ASSERT_TRUE(src.ok() && dst.ok());
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
    ASSERT_TRUE(fs_->CopyFileAt(**src, file.name, **dst, file.name, options).ok());
    const struct stat after = Stat(std::string("dst/") + file.name);
    EXPECT_TRUE(dir_.Read(std::string("dst/") + file.name) == dir_.Read(source));  // sizes too
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

// Copies that take their source's owner, or not, are seen through the engine.
TEST_F(FidelityTest, RootSetsOwnersOfFoldersAndOfLinksThemselvesADryRunOnlyInItsView) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give entries away";
  dir_.MakeFolder("dst/folder");
  dir_.MakeLink("dst/to-folder", "folder");
  auto dst = fs_->OpenFolder(dir_.Path("dst"));
  ASSERT_TRUE(dst.ok());
  EXPECT_EQ(fs_->SetOwnerAt(**dst, "absent", 1, 1).error().code, ENOENT);
  for (const auto& [name, uid, gid] :
       {std::tuple("folder", 65534u, 65533u), std::tuple("to-folder", 65533u, 65534u)}) {
    EXPECT_TRUE(fs_->SetOwnerAt(**dst, name, uid, gid).ok()) << name;
    const auto info = fs_->LookupAt(**dst, name);
    EXPECT_EQ(std::pair(info->uid, info->gid), std::pair(uid, gid)) << name;
  }

  // A dry run shows the change in its view and leaves the disk alone.
  DryRunFileSystem dry(*fs_);
  auto dry_dst = dry.OpenFolder(dir_.Path("dst"));
  ASSERT_TRUE(dry_dst.ok());
  EXPECT_TRUE(dry.SetOwnerAt(**dry_dst, "folder", 7, 8).ok());
  EXPECT_EQ(dry.LookupAt(**dry_dst, "folder")->uid, 7u);
  EXPECT_EQ(fs_->LookupAt(**dst, "folder")->uid, 65534u);
}

using testing::TestFolder;

constexpr uint64_t k1970 = 116444736000000000;  // in 100-ns units since 1601

// A fresh file system in an image, mounted in a mount namespace of this
// process's own so that nothing outside sees it.
struct Mounted {
  const char *type, *tool, *options;
  uint64_t step;
};

class MountedGranularityTest : public ::testing::TestWithParam<Mounted> {};

TEST_P(MountedGranularityTest, ProbeFindsTheStepOfAFreshFileSystem) {
  const Mounted& m = GetParam();
  std::ifstream known("/proc/filesystems");
  const std::string types(std::istreambuf_iterator<char>(known), {});
  if (::geteuid() != 0) GTEST_SKIP() << "mounting needs root";
  if (types.find("\t" + std::string(m.type) + "\n") == std::string::npos) {
    GTEST_SKIP() << "the kernel has no " << m.type;
  }
  if (std::system(("command -v " + std::string(m.tool) + " >/dev/null").c_str()) != 0) {
    GTEST_SKIP() << "no " << m.tool;
  }
  TestFolder dir;
  dir.MakeFolder("mnt");
  const std::string image = dir.Path("image"), mnt = dir.Path("mnt");
  ASSERT_TRUE(::unshare(CLONE_NEWNS) == 0 &&
              ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0);
  ASSERT_EQ(std::system(("truncate -s 16M " + image + " && " + m.tool + " " + m.options + " " +
                         image + " >/dev/null 2>&1 && mount -o loop " + image + " " + mnt)
                            .c_str()),
            0);
  const struct Unmount {  // before the test folder goes
    std::string path;
    ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
  } unmount{mnt};
  const auto fs = MakePosixFileSystem();
  auto folder = fs->OpenFolder(mnt);
  ASSERT_TRUE(folder.ok()) << folder.error().Describe();
  const auto step = fs->ProbeTimeGranularity(**folder);
  ASSERT_TRUE(step.ok()) << step.error().Describe();
  EXPECT_EQ(*step, m.step);
  for (const std::string& name : dir.Names("mnt")) EXPECT_FALSE(name.starts_with(".vorn-tmp-"));
}

// 128-byte inodes have no room for nanoseconds.
INSTANTIATE_TEST_SUITE_P(Images, MountedGranularityTest,
                         ::testing::Values(Mounted{"vfat", "mkfs.vfat", "", 20000000},
                                           Mounted{"ext4", "mkfs.ext4", "-q -F -I 128", 10000000}),
                         [](const auto& row) { return std::string(row.param.type); });

// The probe finds the test folder's unit, in a dry run's view too (a folder
// made only there included), leaving no trace; a time set is the entry's own,
// a link's too, and a dry run's only in its view.
TEST(TimeTest, TheProbeLeavesNoTraceAndSetTimeChangesTheEntryItself) {
  TestFolder dir;
  dir.Make({"in/", "sub/", "file", "link->file"});
  for (const char* name : {"in", "sub", "file"}) dir.SetTime(name, 1500000000, 7);
  const auto fs = MakePosixFileSystem();
  DryRunFileSystem dry(*fs);
  auto folder = fs->OpenFolder(dir.path()), in = fs->OpenFolder(dir.Path("in"));
  auto dry_folder = dry.OpenFolder(dir.path()), dry_in = dry.OpenFolder(dir.Path("in"));
  ASSERT_TRUE(folder.ok() && in.ok() && dry_folder.ok() && dry_in.ok());
  ASSERT_TRUE(dry.CreateFolderAt(**dry_in, "made").ok());
  auto made = dry.OpenFolderAt(**dry_in, "made");
  ASSERT_TRUE(made.ok());
  const std::pair<FileSystem*, const Folder*> probes[] = {
      {fs.get(), in->get()}, {&dry, dry_in->get()}, {&dry, made->get()}};
  for (const auto& [system, probed] : probes) {
    const auto step = system->ProbeTimeGranularity(*probed);
    ASSERT_TRUE(step.ok()) << step.error().Describe();
    EXPECT_EQ(*step, 1u) << probed->path();
  }
  EXPECT_EQ(dir.Names("in"), std::vector<std::string>{});
  EXPECT_EQ(fs->Lookup(dir.Path("in"))->last_write, k1970 + 15000000000000000);

  const std::pair<const char*, uint64_t> times[] = {{"sub", k1970 + 17000000011234567},
                                                    {"link", k1970 - 15000000 + 3}};  // 1969
  for (const auto& [name, last_write] : times) {
    ASSERT_TRUE(fs->SetTimeAt(**folder, name, last_write).ok()) << name;
    EXPECT_EQ(fs->LookupAt(**folder, name)->last_write, last_write) << name;
  }
  struct stat st {};
  ASSERT_EQ(::stat(dir.Path("sub").c_str(), &st), 0);
  EXPECT_EQ(st.st_atim.tv_sec, 1500000000);  // the access time is left alone
  ASSERT_EQ(::stat(dir.Path("link").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtim.tv_sec, 1500000000);  // and so is the link's target
  ASSERT_TRUE(dry.SetTimeAt(**dry_folder, "file", k1970).ok());
  EXPECT_EQ(dry.LookupAt(**dry_folder, "file")->last_write, k1970);
  EXPECT_EQ(fs->LookupAt(**folder, "file")->last_write, k1970 + 15000000000000000);
  EXPECT_EQ(dry.SetTimeAt(**dry_folder, "none", k1970).error().code, ENOENT);
}

}  // namespace
}  // namespace vorn::platform
