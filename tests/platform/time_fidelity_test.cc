// The step of the modification times a file system keeps, as the probe finds
// it, and an entry given a time of its own.

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dry_run_file_system.h"
#include "support/test_folder.h"

namespace vorn::platform {
namespace {

using testing::TestFolder;

constexpr uint64_t k1970 = 116444736000000000;  // in 100-ns units since 1601

TEST(TimeGranularityTest, TheTestFolderKeepsTheUnitAndTheProbeLeavesNoTrace) {
  TestFolder dir;
  dir.MakeFolder("in");
  dir.SetTime("in", 1500000000, 7);
  const auto fs = MakePosixFileSystem();
  DryRunFileSystem dry(*fs);
  auto real_folder = fs->OpenFolder(dir.Path("in"));
  auto dry_folder = dry.OpenFolder(dir.Path("in"));
  ASSERT_TRUE(real_folder.ok() && dry_folder.ok());
  ASSERT_TRUE(dry.CreateFolderAt(**dry_folder, "made").ok());
  auto made = dry.OpenFolderAt(**dry_folder, "made");  // only in the dry run's view
  ASSERT_TRUE(made.ok());
  const std::pair<FileSystem*, const Folder*> probes[] = {
      {fs.get(), real_folder->get()}, {&dry, dry_folder->get()}, {&dry, made->get()}};
  for (const auto& [system, folder] : probes) {
    const auto step = system->ProbeTimeGranularity(*folder);
    ASSERT_TRUE(step.ok()) << step.error().Describe();
    EXPECT_EQ(*step, 1u) << folder->path();
  }
  EXPECT_EQ(dir.Names("in"), std::vector<std::string>{});
  EXPECT_EQ(fs->Lookup(dir.Path("in"))->last_write, k1970 + 15000000000000000);
}

// A fresh file system in an image, mounted in a child's private namespace so
// the test process keeps its own mounts.
struct Mounted {
  const char* type;
  const char* tool;
  const char* options;
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
  const std::string image = dir.Path("image");
  const pid_t child = ::fork();
  if (child == 0) {
    std::ofstream(dir.Path("answer")) << [&]() -> std::string {
      if (::unshare(CLONE_NEWNS) != 0 ||
          ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
          std::system(("truncate -s 16M " + image + " && " + m.tool + " " + m.options + " " +
                       image + " >/dev/null 2>&1 && mount -o loop " + image + " " + dir.Path("mnt"))
                          .c_str()) != 0) {
        return "cannot make and mount the image";
      }
      const auto fs = MakePosixFileSystem();
      auto folder = fs->OpenFolder(dir.Path("mnt"));
      if (!folder.ok()) return folder.error().Describe();
      const auto step = fs->ProbeTimeGranularity(**folder);
      if (!step.ok()) return step.error().Describe();
      int left = 0;
      for (const std::string& name : dir.Names("mnt")) left += name.starts_with(".vorn-tmp-");
      return std::to_string(*step) + " left " + std::to_string(left);
    }();
    ::_exit(0);
  }
  ASSERT_EQ(::waitpid(child, nullptr, 0), child);
  EXPECT_EQ(dir.Read("answer"), std::to_string(m.step) + " left 0");
}

// 128-byte inodes have no room for nanoseconds.
INSTANTIATE_TEST_SUITE_P(Images, MountedGranularityTest,
                         ::testing::Values(Mounted{"vfat", "mkfs.vfat", "", 20000000},
                                           Mounted{"ext4", "mkfs.ext4", "-q -F -I 128", 10000000}),
                         [](const auto& row) { return std::string(row.param.type); });

TEST(SetTimeTest, GivesTheEntryItselfATimeAndADryRunOnlyInItsView) {
  TestFolder dir;
  dir.MakeFolder("sub");
  dir.Write("file", "f");
  dir.MakeLink("link", "file");
  for (const char* name : {"sub", "file"}) dir.SetTime(name, 1500000000, 0);
  const auto fs = MakePosixFileSystem();
  auto folder = fs->OpenFolder(dir.path());
  ASSERT_TRUE(folder.ok());
  const struct {
    const char* name;
    uint64_t last_write;
  } cases[] = {{"sub", k1970 + 17000000011234567}, {"link", k1970 - 15000000 + 3}};  // 1969
  for (const auto& c : cases) {
    ASSERT_TRUE(fs->SetTimeAt(**folder, c.name, c.last_write).ok()) << c.name;
    EXPECT_EQ(fs->LookupAt(**folder, c.name)->last_write, c.last_write) << c.name;
  }
  struct stat st {};
  ASSERT_EQ(::stat(dir.Path("sub").c_str(), &st), 0);
  EXPECT_EQ(st.st_atim.tv_sec, 1500000000);  // the access time is left alone
  ASSERT_EQ(::stat(dir.Path("link").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtim.tv_sec, 1500000000);  // and so is the link's target

  DryRunFileSystem dry(*fs);
  auto dry_folder = dry.OpenFolder(dir.path());
  ASSERT_TRUE(dry_folder.ok());
  ASSERT_TRUE(dry.SetTimeAt(**dry_folder, "file", k1970).ok());
  EXPECT_EQ(dry.LookupAt(**dry_folder, "file")->last_write, k1970);
  EXPECT_EQ(fs->LookupAt(**folder, "file")->last_write, k1970 + 15000000000000000);
  EXPECT_EQ(dry.SetTimeAt(**dry_folder, "none", k1970).error().code, ENOENT);
}

}  // namespace
}  // namespace vorn::platform
