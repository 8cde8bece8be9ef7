#include "platform/file_system.h"

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <tuple>

#include <gtest/gtest.h>

#include "platform/path.h"
#include "platform/path_identity.h"
#include "support/lock_holder.h"
#include "support/test_folder.h"

namespace vorn::platform {
namespace {

using testing::LockHolder;

// Mounts live in a namespace of this process's own, so nothing outside sees
// them and the test runner's other processes are left alone.
bool PrivateMounts() {
  return ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
         ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

class FileSystemTest : public ::testing::Test {
 protected:
  std::unique_ptr<Folder> Open(std::string_view relative = {}) {
    auto folder = fs_->OpenFolder(dir_.Path(relative));
    EXPECT_TRUE(folder.ok()) << folder.error().Describe();
    return std::move(folder).value();
  }
  uint32_t Bits(std::string_view name) { return fs_->LookupAt(*Open(), name)->attributes; }
  uint32_t Mode(std::string_view name) { return fs_->LookupAt(*Open(), name)->permissions; }

  testing::TestFolder dir_;
  std::unique_ptr<FileSystem> fs_ = MakePosixFileSystem();
};

// Typed paths are those the shell commands take, made absolute before use.
TEST(PathTest, JoinsAndSplitsWithOneSeparatorAndTypedPathsBecomeCleanAbsoluteOnes) {
  EXPECT_EQ(JoinPath("/", "a"), "/a");
  EXPECT_EQ(JoinPath("/data/", "a"), "/data/a");
  EXPECT_EQ(JoinPath("", "a"), "a");
  EXPECT_EQ(WithoutTrailingSeparator("/data//"), "/data");
  EXPECT_EQ(WithoutTrailingSeparator("/"), "/");
  EXPECT_EQ(ParentFolder("/data/a"), "/data");
  EXPECT_EQ(ParentFolder("/a"), "/");
  EXPECT_EQ(ParentFolder("a"), "");
  EXPECT_EQ(BaseName("/data/a"), "a");
  char buffer[4096];
  ASSERT_NE(::getcwd(buffer, sizeof buffer), nullptr);
  const std::string here = buffer;
  const std::pair<std::string, std::string> cases[] = {
      {"/data//photos/./2024/", "/data/photos/2024"}, {"/data/photos/../music", "/data/music"},
      {"/..", "/"}, {"//server/share/x/", "//server/share/x"},
      {"sub/dir", JoinPath(here, "sub/dir")}, {".", here}, {"..", ParentFolder(here)},
  };
  for (const auto& [typed, absolute] : cases) EXPECT_EQ(AbsolutePath(typed), absolute) << typed;
}

// The listing reads many names per call; 3000 long names need several.
TEST_F(FileSystemTest, ListingAndLookupTellTypesHiddenNamesAttributeBitsAndTimes) {
  dir_.Write("plain", "x", 0644);
  dir_.Write("readonly", "x", 0444);
  dir_.Write(".dot", "x", 0644);
  dir_.MakeFolder("folder");
  dir_.MakeLink("to-folder", "folder");
  ASSERT_EQ(::mkfifo(dir_.Path("fifo").c_str(), 0644), 0);
  for (int i = 0; i < 3000; ++i) dir_.Write("folder/a-long-name-" + std::to_string(i), "");
  const auto list = [&](std::string_view relative) {
    std::map<std::string, FolderEntry> entries;
    auto reader = fs_->ReadFolder(*Open(relative));
    for (FolderEntry entry; (*reader)->Next(entry);) entries[entry.name] = entry;
    EXPECT_FALSE((*reader)->error().has_value());
    return entries;
  };
  EXPECT_EQ(list("folder").size(), 3002u);
  const auto entries = list("");
  ASSERT_EQ(entries.size(), 8u);
  EXPECT_EQ(entries.at(".").type, EntryType::kFolder);
  EXPECT_FALSE(entries.at(".").hidden || entries.at("..").hidden);
  EXPECT_TRUE(entries.at(".dot").hidden);
  EXPECT_EQ(entries.at("plain").type, EntryType::kFile);
  EXPECT_EQ(entries.at("folder").type, EntryType::kFolder);
  EXPECT_EQ(entries.at("to-folder").type, EntryType::kLink);

  EXPECT_EQ(Bits("plain"), attribute::kArchive);
  EXPECT_EQ(Bits("readonly"), attribute::kArchive | attribute::kReadOnly);
  EXPECT_EQ(Bits(".dot"), attribute::kArchive | attribute::kHidden);
  EXPECT_EQ(Bits("folder"), attribute::kDirectory);
  EXPECT_EQ(Bits("to-folder"), attribute::kReparsePoint);  // a link is never a directory
  EXPECT_EQ(Bits("fifo"), attribute::kSystem);
  EXPECT_EQ(Mode("readonly"), 0444u);
  ASSERT_TRUE(fs_->MakeWritableAt(*Open(), "readonly").ok());
  EXPECT_EQ(Mode("readonly"), 0644u);
  EXPECT_EQ(Bits("readonly"), attribute::kArchive);
  ASSERT_TRUE(fs_->SetPermissionsAt(*Open(), "plain", 0751).ok());
  EXPECT_EQ(Mode("plain"), 0751u);

  // 2024-05-01 10:15:02 UTC and 123456789 ns, in units of 100 ns since 1601.
  dir_.SetTime("plain", 1714558502, 123456789);
  EXPECT_EQ(fs_->Lookup(dir_.Path("plain"))->size, 1u);
  EXPECT_EQ(fs_->Lookup(dir_.Path("plain"))->last_write,
            1714558502ull * 10000000 + 1234567 + 116444736000000000ull);
  dir_.SetTime("plain", -86400, 0);  // before 1970 the count is still positive
  EXPECT_EQ(fs_->Lookup(dir_.Path("plain"))->last_write, 116444736000000000ull - 864000000000ull);
}

TEST_F(FileSystemTest, OpenFolderAtWalksSeveralLevelsButLinksAreNeverFollowed) {
  for (const char* folder : {"outside", "tree", "tree/sub"}) dir_.MakeFolder(folder);
  dir_.Write("outside/precious", "keep me", 0444);
  dir_.MakeLink("tree/sub/escape", "../../outside");
  dir_.MakeLink("tree/sub/precious-link", "../../outside/precious");
  const auto sub = fs_->OpenFolderAt(*Open(), "tree/sub");
  ASSERT_TRUE(sub.ok());
  EXPECT_EQ((*sub)->path(), dir_.Path("tree/sub"));
  const auto missing = fs_->LookupAt(**sub, "nothing");
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().code, ENOENT);
  EXPECT_EQ(missing.error().path, dir_.Path("tree/sub/nothing"));

  EXPECT_FALSE(fs_->OpenFolderAt(*Open(), "tree/sub/escape").ok());
  EXPECT_FALSE(fs_->SetPermissionsAt(**sub, "precious-link", 0666).ok());
  EXPECT_TRUE(fs_->MakeWritableAt(**sub, "precious-link").ok());
  EXPECT_EQ(Mode("outside/precious"), 0444u);
  EXPECT_FALSE(fs_->IsLockedAt(**sub, "precious-link"));
  ASSERT_TRUE(fs_->DeleteFileAt(**sub, "precious-link").ok());
  ASSERT_TRUE(fs_->DeleteFileAt(**sub, "escape").ok());
  EXPECT_EQ(dir_.Read("outside/precious"), "keep me");
  EXPECT_TRUE(dir_.Names("tree/sub").empty());
}

TEST_F(FileSystemTest, FolderIdentityTellsFoldersAndFileSystemsApart) {
  dir_.MakeFolder("a");
  dir_.MakeFolder("b");
  const auto id = [&](const char* name) { return *fs_->IdentityOf(*Open(name)); };
  const FolderIdentity a = id("a");
  EXPECT_EQ(id("a"), a);
  EXPECT_EQ(id("b").volume, a.volume);
  EXPECT_NE(id("b").inode, a.inode);

  // A file system mounted over "a", and what shows once it is gone.
  if (!PrivateMounts()) GTEST_SKIP() << "needs root to mount a file system of its own";
  const std::string path_a = dir_.Path("a"), path_b = dir_.Path("b");
  ASSERT_EQ(::mount("vorn-test", path_a.c_str(), "tmpfs", 0, nullptr), 0);
  const FolderIdentity mounted = id("a");
  ASSERT_EQ(::mount(path_a.c_str(), path_b.c_str(), nullptr, MS_BIND, nullptr), 0);
  EXPECT_EQ(id("b"), mounted);  // one folder seen twice
  ASSERT_EQ(::umount(path_b.c_str()), 0);
  ASSERT_EQ(::umount(path_a.c_str()), 0);
  ASSERT_EQ(::mount("vorn-test", path_a.c_str(), "tmpfs", 0, nullptr), 0);
  const FolderIdentity another = id("a");
  ASSERT_EQ(::umount(path_a.c_str()), 0);
  EXPECT_NE(mounted.volume, a.volume);
  EXPECT_NE(another.volume, mounted.volume);
  EXPECT_EQ(id("a"), a);
}

// Paths are relative to the test folder, unless absolute. Seen from above a
// bind mount, only the mount table tells what it lies in.
TEST_F(FileSystemTest, FolderRelationsSeeThroughLinksFoldersNotMadeYetAndBindMounts) {
  using enum FolderRelation;
  using Cases = std::vector<std::tuple<std::string, std::string, FolderRelation>>;
  const auto expect = [this](const Cases& cases) {
    const auto full = [this](const std::string& p) { return p[0] == '/' ? p : dir_.Path(p); };
    for (const auto& [first, second, relation] : cases) {
      EXPECT_EQ(RelateFolders(full(first), full(second)), relation) << first << " vs " << second;
    }
  };
  for (const char* folder : {"a", "a/b", "ab", "a/backup", "view", "elsewhere"}) {
    dir_.MakeFolder(folder);
  }
  dir_.MakeLink("link", "a");
  expect({{"a", "a/", kSame}, {"a/b", "a", kFirstInside}, {"a", "a/b", kSecondInside},
          {"ab", "a", kUnrelated},  // a shared prefix is no nesting
          {"link", "a", kSame}, {"a", "link/b/new", kSecondInside},
          {"a/new/deeper", "a/new", kFirstInside}, {"a/new", "a/other", kUnrelated},
          {"a/gone/..", "a", kSame}, {"a", "/", kFirstInside}, {"/", "/", kSame}});

  if (!PrivateMounts()) GTEST_SKIP() << "bind mounts need root and a mount namespace";
  const auto bind = [this](const char* from, const char* to) {
    return ::mount(dir_.Path(from).c_str(), dir_.Path(to).c_str(), nullptr, MS_BIND, nullptr);
  };
  ASSERT_EQ(bind("a", "view"), 0);
  ASSERT_EQ(bind("a/backup", "elsewhere"), 0);
  expect({{"view", "a", kSame}, {"a/backup", "view", kFirstInside},
          {"view", "a/backup/new", kSecondInside}, {"elsewhere", "a", kFirstInside},
          {"view", "elsewhere/new", kSecondInside}, {"elsewhere", "a/backup", kSame}});
  ::umount2(dir_.Path("elsewhere").c_str(), MNT_DETACH);
  ::umount2(dir_.Path("view").c_str(), MNT_DETACH);
}

TEST_F(FileSystemTest, FoldersAreCreatedAndRemovedOnlyWhenEmpty) {
  const auto root = Open();
  ASSERT_TRUE(fs_->CreateFolderAt(*root, "new").ok());
  EXPECT_EQ(fs_->CreateFolderAt(*root, "new").error().code, EEXIST);
  dir_.Write("new/f", "x");
  EXPECT_FALSE(fs_->RemoveFolderAt(*root, "new").ok());
  EXPECT_FALSE(fs_->DeleteFileAt(*root, "new").ok());  // never deletes a folder
  ASSERT_TRUE(fs_->DeleteFileAt(*Open("new"), "f").ok());
  ASSERT_TRUE(fs_->RemoveFolderAt(*root, "new").ok());
  EXPECT_FALSE(dir_.Exists("new"));
}

TEST_F(FileSystemTest, WholeFilesAreReplacedAtomicallyAndAppendedTo) {
  dir_.Write("config.ini", "old", 0640);
  ASSERT_TRUE(fs_->ReplaceFile(dir_.Path("config.ini"), "new content").ok());
  EXPECT_EQ(dir_.Read("config.ini"), "new content");
  EXPECT_EQ(Mode("config.ini"), 0640u);
  EXPECT_EQ(dir_.Names(), std::vector<std::string>{"config.ini"});  // no temporary left

  dir_.MakeLink("alias.ini", "config.ini");
  ASSERT_TRUE(fs_->ReplaceFile(dir_.Path("alias.ini"), "through the link").ok());
  EXPECT_EQ(fs_->Lookup(dir_.Path("alias.ini"))->type, EntryType::kLink);
  EXPECT_EQ(dir_.Read("config.ini"), "through the link");

  ASSERT_TRUE(fs_->SetPermissionsAt(*Open(), "config.ini", 0444).ok());
  EXPECT_EQ(fs_->ReplaceFile(dir_.Path("config.ini"), "new").error().code, EACCES);
  EXPECT_EQ(dir_.Read("config.ini"), "through the link");
  EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"alias.ini", "config.ini"}));

  const std::string log = dir_.Path("log.htm");
  ASSERT_TRUE(fs_->AppendToFile(log, "one\r\n").ok());
  ASSERT_TRUE(fs_->AppendToFile(log, "two\r\n").ok());
  EXPECT_EQ(*fs_->ReadFile(log), "one\r\ntwo\r\n");
  ASSERT_TRUE(fs_->DeleteFile(log).ok());
  EXPECT_EQ(fs_->ReadFile(log).error().code, ENOENT);
  EXPECT_FALSE(fs_->AppendToFile(dir_.Path("missing/log.htm"), "x").ok());
}

// Only a lock that would stop another program reading counts; it goes with
// its holder.
TEST_F(FileSystemTest, OnlyLocksThatForbidReadingAreSeen) {
  dir_.Write("doc", "x");
  dir_.MakeFolder("sub");
  const auto root = Open();
  for (const char* name : {"doc", "missing", "sub"}) EXPECT_FALSE(fs_->IsLockedAt(*root, name));
  const std::pair<LockHolder::Kind, bool> cases[] = {{LockHolder::Kind::kExclusiveFlock, true},
                                                     {LockHolder::Kind::kWriteRecordLock, true},
                                                     {LockHolder::Kind::kSharedFlock, false},
                                                     {LockHolder::Kind::kReadRecordLock, false}};
  for (const auto& [kind, locked] : cases) {
    SCOPED_TRACE(static_cast<int>(kind));
    LockHolder holder(dir_.Path("doc"), kind);
    ASSERT_TRUE(holder.holding());
    EXPECT_EQ(fs_->IsLockedAt(*root, "doc"), locked);
  }
  EXPECT_FALSE(fs_->IsLockedAt(*root, "doc"));
}

}  // namespace
}  // namespace vorn::platform
