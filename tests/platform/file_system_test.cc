// The file system as the engine sees it: listings, walks, identities, whole
// files, locks, copies and their faults, named streams and ACLs on real
// files, and a dry run's view.

#include "platform/file_system.h"

#include <acl/libacl.h>
#include <sched.h>
#include <sys/acl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <set>
#include <tuple>

#include <gtest/gtest.h>

#include "platform/dry_run_file_system.h"
#include "platform/path.h"
#include "platform/path_identity.h"
#include "platform/posix_file_system.h"
#include "platform/prefetching_file_system.h"
#include "support/lock_holder.h"
#include "support/test_folder.h"

namespace vorn::platform {
namespace {

using testing::LockHolder;
using Names = std::vector<std::string>;

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
  const std::pair<std::string, std::string> parts[] = {
      {JoinPath("/", "a"), "/a"}, {JoinPath("/data/", "a"), "/data/a"}, {JoinPath("", "a"), "a"},
      {WithoutTrailingSeparator("/data//"), "/data"}, {WithoutTrailingSeparator("/"), "/"},
      {ParentFolder("/data/a"), "/data"}, {ParentFolder("/a"), "/"}, {ParentFolder("a"), ""},
      {std::string(BaseName("/data/a")), "a"}};
  for (const auto& [got, expected] : parts) EXPECT_EQ(got, expected);
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
  dir_.Make({"plain=x", ".dot=x", "folder/", "to-folder->folder"});
  dir_.Write("readonly", "x", 0444);
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
  // The type and hidden mark the listing tells, and the bits a lookup adds.
  const std::tuple<const char*, EntryType, bool, uint32_t> kinds[] = {
      {"plain", EntryType::kFile, false, attribute::kArchive},
      {"readonly", EntryType::kFile, false, attribute::kArchive | attribute::kReadOnly},
      {".dot", EntryType::kFile, true, attribute::kArchive | attribute::kHidden},
      {"folder", EntryType::kFolder, false, attribute::kDirectory},
      {"to-folder", EntryType::kLink, false, attribute::kReparsePoint},  // never a directory
      {"fifo", EntryType::kOther, false, attribute::kSystem},
      {".", EntryType::kFolder, false, attribute::kDirectory}};
  for (const auto& [name, type, hidden, bits] : kinds) {
    EXPECT_EQ(std::tuple(entries.at(name).type, entries.at(name).hidden, Bits(name)),
              std::tuple(type, hidden, bits)) << name;
  }
  EXPECT_FALSE(entries.at("..").hidden);
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
  dir_.Make({"outside/", "tree/", "tree/sub/", "tree/sub/escape->../../outside",
             "tree/sub/precious-link->../../outside/precious"});
  dir_.Write("outside/precious", "keep me", 0444);
  const auto sub = fs_->OpenFolderAt(*Open(), "tree/sub");
  ASSERT_TRUE(sub.ok());
  EXPECT_EQ((*sub)->path(), dir_.Path("tree/sub"));
  const auto missing = fs_->LookupAt(**sub, "nothing");
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(std::pair(missing.error().code, missing.error().path),
            std::pair(ENOENT, dir_.Path("tree/sub/nothing")));

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
  dir_.Make({"a/", "b/"});
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
  dir_.Make({"a/", "a/b/", "ab/", "a/backup/", "view/", "elsewhere/", "link->a"});
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

// Answers fetched ahead are the disk's, and stay so after every change made
// through the decorator: to the entry, its folder's listing and time, what
// lies below it and the other names of the same file.
TEST_F(FileSystemTest, FetchedAheadAnswersAsTheDiskDoesAfterEachChangeMadeThroughIt) {
  for (const char* made : {"s", "t", "t/sub", "t/sub/deeper"}) dir_.MakeFolder(made);
  for (const char* file : {"t/a", "t/b", "t/sub/c"}) dir_.Write(file, file);
  dir_.Write("s/a", "longer than t/a");
  ASSERT_EQ(::link(dir_.Path("t/sub/c").c_str(), dir_.Path("t/c2").c_str()), 0);
  PrefetchingFileSystem ahead(*fs_, {4});
  const auto folder = [&](FileSystem& fs, std::string_view relative) {
    return std::move(fs.OpenFolder(dir_.Path(relative))).value();
  };
  const auto source = folder(ahead, "s"), top = folder(ahead, "t");
  const auto sub = std::move(ahead.OpenFolderAt(*top, "sub")).value();
  // The listing, then every name looked up, as `fs` shows them.
  const auto view = [&](FileSystem& fs, const Folder& at) {
    std::string text;
    auto reader = fs.ReadFolder(at);
    Names names;
    for (FolderEntry entry; (*reader)->Next(entry);) names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
      const auto info = fs.LookupAt(at, name);
      text += name + (info.ok() ? " " + std::to_string(info->size) + " " +
                                      std::to_string(info->permissions) + " " +
                                      std::to_string(info->last_write) + " " +
                                      std::to_string(info->links) + "\n"
                                : " " + info.error().Describe() + "\n");
    }
    return text;
  };
  const std::pair<const char*, std::function<Status()>> changes[] = {
      {"copy over", [&] { return ahead.CopyFileAt(*source, "a", *top, "a", {}); }},
      {"delete", [&] { return ahead.DeleteFileAt(*top, "b"); }},
      {"time of one name", [&] { return ahead.SetTimeAt(*sub, "c", 42); }},
      {"mode of the other", [&] { return ahead.SetPermissionsAt(*top, "c2", 0600); }},
      {"new folder", [&] { return ahead.CreateFolderAt(*sub, "new"); }},
      {"move in", [&] { return ahead.RenameAt(*top, "a", *sub, "a"); }},
      {"folder gone", [&] { return ahead.RemoveFolderAt(*sub, "deeper"); }},
      {"whole file", [&] { return ahead.ReplaceFile(dir_.Path("t/c2"), "replaced"); }},
  };
  for (const auto& [what, change] : changes) {
    SCOPED_TRACE(what);
    (void)view(ahead, *top);  // what the change must make stale is fetched first
    (void)view(ahead, *sub);
    ASSERT_TRUE(change().ok());
    EXPECT_EQ(view(ahead, *top), view(*fs_, *folder(*fs_, "t")));
    EXPECT_EQ(view(ahead, *sub), view(*fs_, *folder(*fs_, "t/sub")));
  }
  // A folder it made is entered as empty, unread; what goes in shows at
  // once, and a folder put in the place of one it made and removed is read.
  ASSERT_TRUE(ahead.CreateFolderAt(*top, "made").ok());
  const auto made = std::move(ahead.OpenFolderAt(*top, "made")).value();
  EXPECT_EQ(view(ahead, *made), view(*fs_, *folder(*fs_, "t/made")));
  ASSERT_TRUE(ahead.CopyFileAt(*source, "a", *made, "a", {}).ok());
  EXPECT_EQ(view(ahead, *made), view(*fs_, *folder(*fs_, "t/made")));
  ASSERT_TRUE(ahead.CreateFolderAt(*top, "again").ok());
  ASSERT_TRUE(ahead.RemoveFolderAt(*top, "again").ok());
  dir_.MakeFolder("t/again");
  dir_.Write("t/again/f", "f");
  const auto again = std::move(ahead.OpenFolderAt(*top, "again")).value();
  EXPECT_EQ(view(ahead, *again), view(*fs_, *folder(*fs_, "t/again")));
}

// Folders go only once empty; whole files are replaced at once or appended to.
TEST_F(FileSystemTest, FoldersAreRemovedOnlyWhenEmptyAndWholeFilesReplacedAtomically) {
  const auto root = Open();
  ASSERT_TRUE(fs_->CreateFolderAt(*root, "new").ok());
  EXPECT_EQ(fs_->CreateFolderAt(*root, "new").error().code, EEXIST);
  dir_.Write("new/f", "x");
  EXPECT_FALSE(fs_->RemoveFolderAt(*root, "new").ok());
  EXPECT_FALSE(fs_->DeleteFileAt(*root, "new").ok());  // never deletes a folder
  ASSERT_TRUE(fs_->DeleteFileAt(*Open("new"), "f").ok());
  ASSERT_TRUE(fs_->RemoveFolderAt(*root, "new").ok());
  EXPECT_FALSE(dir_.Exists("new"));

  dir_.Write("config.ini", "old", 0640);
  ASSERT_TRUE(fs_->ReplaceFile(dir_.Path("config.ini"), "new content").ok());
  EXPECT_EQ(dir_.Read("config.ini"), "new content");
  EXPECT_EQ(Mode("config.ini"), 0640u);
  EXPECT_EQ(dir_.Names(), Names{"config.ini"});  // no temporary left

  dir_.MakeLink("alias.ini", "config.ini");
  ASSERT_TRUE(fs_->ReplaceFile(dir_.Path("alias.ini"), "through the link").ok());
  EXPECT_EQ(fs_->Lookup(dir_.Path("alias.ini"))->type, EntryType::kLink);
  EXPECT_EQ(dir_.Read("config.ini"), "through the link");

  ASSERT_TRUE(fs_->SetPermissionsAt(*Open(), "config.ini", 0444).ok());
  EXPECT_EQ(fs_->ReplaceFile(dir_.Path("config.ini"), "new").error().code, EACCES);
  EXPECT_EQ(dir_.Read("config.ini"), "through the link");
  EXPECT_EQ(dir_.Names(), (Names{"alias.ini", "config.ini"}));

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
  dir_.Make({"doc", "sub/"});
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

TEST_F(FileSystemTest, NamedStreamsAreUserAttributesNeverWrittenThroughLinks) {
  if (!dir_.SupportsUserAttributes()) GTEST_SKIP() << "no user extended attributes here";
  dir_.Make({"budget=data", "copy=data", "link->copy"});
  std::string info(80, 'x');
  info.replace(16, 8, "XDOCXPR3");
  dir_.SetAttribute("budget", "user.DosStream.AFP_AfpInfo:$DATA", info);
  const auto folder = Open();

  EXPECT_EQ(*fs_->ReadStreamAt(*folder, "budget", kFinderInfoStream, 60), info.substr(0, 60));

  EXPECT_FALSE(fs_->CopyStreamAt(*folder, "budget", *folder, "link", kFinderInfoStream).ok());
  EXPECT_EQ(dir_.GetAttribute("copy", "user.DosStream.AFP_AfpInfo:$DATA"), "<none>");
  ASSERT_TRUE(fs_->CopyStreamAt(*folder, "budget", *folder, "copy", kFinderInfoStream).ok());
  EXPECT_EQ(dir_.GetAttribute("copy", "user.DosStream.AFP_AfpInfo:$DATA"), info);
  ASSERT_TRUE(fs_->DeleteStreamAt(*folder, "budget", kFinderInfoStream).ok());
  EXPECT_EQ(dir_.GetAttribute("budget", "user.DosStream.AFP_AfpInfo:$DATA"), "<none>");

  EXPECT_FALSE(fs_->ReadStreamAt(*folder, "budget", kResourceForkStream, 60).ok());
  EXPECT_FALSE(fs_->CopyStreamAt(*folder, "budget", *folder, "copy", kResourceForkStream).ok());
}

class CopyTest : public FileSystemTest {
 protected:
  void SetUp() override { dir_.Make({"src/", "dst/"}); }

  // From "src" to "dst".
  Status Copy(std::string_view name, std::string_view target_name = {}, FileSystem* fs = nullptr) {
    fs = fs != nullptr ? fs : fs_.get();
    auto source = fs->OpenFolder(dir_.Path("src"));
    auto target = fs->OpenFolder(dir_.Path("dst"));
    EXPECT_TRUE(source.ok() && target.ok());
    return fs->CopyFileAt(**source, name, **target, target_name.empty() ? name : target_name,
                          options_);
  }

  CopyOptions options_;
};

// User attributes are checked where the file system keeps them.
TEST_F(CopyTest, KeepsContentPermissionsTimeAttributesAndKindReplacingReadOnlyTargets) {
  const bool attributes = dir_.SupportsUserAttributes();
  const std::string info(60, 'i');
  std::string content(3 * 1024 * 1024 + 17, '\0');
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7 + i / 251);
  dir_.Write("src/doc.bin", content, 0751);
  dir_.SetTime("src/doc.bin", 1714558502, 123456789);
  if (attributes) {
    dir_.SetAttribute("src/doc.bin", "user.DosStream.AFP_AfpInfo:$DATA", info);
    dir_.SetAttribute("src/doc.bin", "user.DosStream.AFP_Resource:$DATA", "resource fork");
  }
  dir_.Make({"src/link->../elsewhere/real", "src/empty="});
  ASSERT_EQ(::mkfifo(dir_.Path("src/pipe").c_str(), 0640), 0);
  dir_.Write("dst/read-only", "old old old", 0444);

  for (const char* name : {"doc.bin", "link", "pipe"}) EXPECT_TRUE(Copy(name).ok()) << name;
  ASSERT_TRUE(Copy("empty", "read-only").ok());
  EXPECT_EQ(Copy("absent").error().code, ENOENT);

  EXPECT_EQ(dir_.Read("dst/doc.bin"), content);
  const auto copy = fs_->Lookup(dir_.Path("dst/doc.bin"));
  EXPECT_EQ(copy->permissions, 0751u);
  EXPECT_EQ(copy->last_write, fs_->Lookup(dir_.Path("src/doc.bin"))->last_write);  // to the 100 ns
  if (attributes) {
    EXPECT_EQ(dir_.GetAttribute("dst/doc.bin", "user.DosStream.AFP_AfpInfo:$DATA"), info);
    EXPECT_EQ(dir_.GetAttribute("dst/doc.bin", "user.DosStream.AFP_Resource:$DATA"),
              "resource fork");
  }
  EXPECT_EQ(std::filesystem::read_symlink(dir_.Path("dst/link")), "../elsewhere/real");
  const auto pipe = fs_->Lookup(dir_.Path("dst/pipe"));
  EXPECT_EQ(pipe->attributes, attribute::kSystem);
  EXPECT_EQ(pipe->permissions, 0640u);
  EXPECT_EQ(dir_.Read("dst/read-only"), "");
  EXPECT_EQ(dir_.Names("dst"), (Names{"doc.bin", "link", "pipe", "read-only"}));
}

// Only a temporary of Vorn's name pattern that carries its mark is debris: a
// user's file is not, whatever its name, and no copy passes the mark on.
TEST_F(CopyTest, OnlyMarkedTemporariesAreDebrisAndNoCopyKeepsTheMark) {
  if (!dir_.SupportsUserAttributes()) GTEST_SKIP() << "no user extended attributes here";
  const struct {
    const char* name;
    bool marked;
    bool debris;
  } cases[] = {
      {".vorn-tmp-4242-0123456789abcdef", true, true},
      {".vorn-tmp-4243-0123456789abcdef", false, false},
      {".vorn-tmp-0123abcd", true, false},
      {".vorn-tmp-4244-0123456789ABCDEF", true, false},
      {".vorn-tmp--0123456789abcdef", true, false},
      {"report.doc", true, false},
  };
  const auto src = std::move(fs_->OpenFolder(dir_.Path("src"))).value();
  for (const auto& c : cases) {
    dir_.Write(std::string("src/") + c.name, "x");
    if (c.marked) dir_.SetAttribute(std::string("src/") + c.name, kTemporaryMarkAttribute, "");
    EXPECT_EQ(fs_->IsCopyDebrisAt(*src, c.name), c.debris) << c.name;
  }
  DeleteCopyTemporaries(*fs_, *src);
  EXPECT_EQ(dir_.Names("src").size(), std::size(cases) - 1);

  // The source carries the mark too, as a user's copy of a temporary might.
  dir_.Write("src/doc", "content");
  dir_.SetAttribute("src/doc", kTemporaryMarkAttribute, "");
  dir_.SetAttribute("src/doc", "user.note", "kept");
  // A named temporary replaces the target the same way whether it exists or not.
  const auto dst = std::move(fs_->OpenFolder(dir_.Path("dst"))).value();
  const std::pair<bool, bool> ways[] = {{true, false}, {true, true}, {false, true}};
  for (const auto& [unnamed, replacing] : ways) {
    SCOPED_TRACE(std::string(unnamed ? "unnamed" : "named") + (replacing ? ", replacing" : ""));
    if (replacing) dir_.Write("dst/doc", "old");
    int debris_mid_copy = 0;
    const auto count_debris = [&](CopyStep step, uint64_t) {
      if (step != CopyStep::kExtendedAttributes) return 0;
      for (const std::string& name : dir_.Names("dst")) {
        debris_mid_copy += fs_->IsCopyDebrisAt(*dst, name) ? 1 : 0;
      }
      return 0;
    };
    const auto fs = MakePosixFileSystem({count_debris, 64 * 1024, unnamed});
    options_.target_may_exist = replacing;
    ASSERT_TRUE(Copy("doc", "doc", fs.get()).ok());
    // Killed mid-copy, a named temporary would be recognised and cleared.
    EXPECT_EQ(debris_mid_copy, unnamed ? 0 : 1);
    EXPECT_EQ(dir_.Read("dst/doc"), "content");
    EXPECT_EQ(dir_.GetAttribute("dst/doc", kTemporaryMarkAttribute), "<none>");
    EXPECT_EQ(dir_.GetAttribute("dst/doc", "user.note"), "kept");
    EXPECT_EQ(dir_.Names("dst"), Names{"doc"});
    ::unlink(dir_.Path("dst/doc").c_str());
  }
  // A whole-file write ended after its flush leaves debris too, not a stray file.
  int debris_before_rename = 0;
  const auto fs = MakePosixFileSystem({[&](CopyStep step, uint64_t) {
    for (const std::string& name : dir_.Names("dst")) {
      debris_before_rename += step == CopyStep::kRename && fs_->IsCopyDebrisAt(*dst, name);
    }
    return 0;
  }});
  ASSERT_TRUE(fs->ReplaceFile(dir_.Path("dst/Vorn.ini"), "[x]").ok());
  EXPECT_EQ(debris_before_rename, 1);
  EXPECT_EQ(dir_.GetAttribute("dst/Vorn.ini", kTemporaryMarkAttribute), "<none>");
}

// A copy that fails at any step, however it writes its temporary, leaves the
// previous target byte for byte and no temporary file.
TEST_F(CopyTest, AFailureAtAnyStepLeavesThePreviousTargetAndNoTemporary) {
  const struct {
    CopyStep step;
    uint64_t offset;  // for kContent: the chunk that fails
    int code;
  } points[] = {
      {CopyStep::kOpenSource, 0, EIO},
      {CopyStep::kCreateTemporary, 0, ENOSPC},
      {CopyStep::kContent, 0, ENOSPC},           // first byte
      {CopyStep::kContent, 128 * 1024, ENOSPC},  // middle
      {CopyStep::kContent, 192 * 1024, EIO},     // last chunk
      {CopyStep::kExtendedAttributes, 0, ENOSPC},
      {CopyStep::kPermissions, 0, EIO},
      {CopyStep::kTimes, 0, EIO},
      {CopyStep::kRename, 0, EIO},
  };
  dir_.Write("src/data", std::string(256 * 1024, 'n'));
  dir_.Write("dst/data", "the previous, good target", 0640);
  for (const bool unnamed : {true, false}) {
    for (const auto& point : points) {
      SCOPED_TRACE("step " + std::to_string(static_cast<int>(point.step)) + " at " +
                   std::to_string(point.offset) + (unnamed ? ", unnamed" : ", named"));
      int faults = 0;
      const auto fault = [&](CopyStep step, uint64_t offset) {
        if (step != point.step || offset != point.offset) return 0;
        ++faults;
        return point.code;
      };
      const auto fs = MakePosixFileSystem({fault, 64 * 1024, unnamed});
      EXPECT_EQ(Copy("data", "data", fs.get()).error().code, point.code);
      ASSERT_EQ(faults, 1);
      EXPECT_EQ(dir_.Read("dst/data"), "the previous, good target");
      EXPECT_EQ(fs->Lookup(dir_.Path("dst/data"))->permissions, 0640u);
      EXPECT_EQ(dir_.Names("dst"), Names{"data"});
    }
  }
}

constexpr char kFileAcl[] = "u::rw-,u:65534:r--,g::r--,m::r--,o::---";

bool SetAcl(const std::string& path, const char* text, acl_type_t type = ACL_TYPE_ACCESS) {
  acl_t acl = acl_from_text(text);
  if (acl == nullptr) return false;
  const bool done = acl_set_file(path.c_str(), type, acl) == 0;
  acl_free(acl);
  return done;
}

std::string AclText(const std::string& path, acl_type_t type = ACL_TYPE_ACCESS) {
  acl_t acl = acl_get_file(path.c_str(), type);
  if (acl == nullptr) return "<error>";
  char* text = acl_to_any_text(acl, nullptr, ',', TEXT_ABBREVIATE | TEXT_NUMERIC_IDS);
  std::string result = text != nullptr ? text : "<error>";
  acl_free(text);
  acl_free(acl);
  return result;
}

class SecurityTest : public FileSystemTest {
 protected:
  void SetUp() override {
    dir_.Write("a", "x", 0640);
    dir_.Write("b", "x", 0600);
    if (!SetAcl(dir_.Path("a"), kFileAcl)) GTEST_SKIP() << "no POSIX ACLs on this file system";
  }

  std::unique_ptr<Folder> folder_ = Open();
};

TEST_F(SecurityTest, AclsAreCarriedNeverThroughLinksAndDamagedOnesFail) {
  const auto from_a = fs_->ReadSecurityAt(*folder_, "a");
  const auto from_b = fs_->ReadSecurityAt(*folder_, "b");
  ASSERT_TRUE(from_a.ok() && from_b.ok());

  dir_.MakeLink("link", "a");
  EXPECT_TRUE(fs_->ReadSecurityAt(*folder_, "link")->empty());
  EXPECT_FALSE(fs_->WriteSecurityAt(*folder_, "link", *from_b).ok());
  EXPECT_EQ(AclText(dir_.Path("a")), kFileAcl);

  EXPECT_FALSE(fs_->ReadSecurityAt(*folder_, "missing").ok());
  EXPECT_FALSE(fs_->WriteSecurityAt(*folder_, "b", {1, 2}).ok());
  EXPECT_FALSE(fs_->WriteSecurityAt(*folder_, "b", {200, 0, 0, 0, 1, 2, 3}).ok());

  ASSERT_TRUE(fs_->WriteSecurityAt(*folder_, "b", *from_a).ok());
  EXPECT_EQ(*fs_->ReadSecurityAt(*folder_, "b"), *from_a);
  EXPECT_EQ(AclText(dir_.Path("b")), kFileAcl);

  // A folder carries its default ACL, or the lack of one.
  dir_.Make({"f1/", "f2/", "plain/"});
  ASSERT_TRUE(SetAcl(dir_.Path("f1"), "u::rwx,u:65534:r-x,g::r-x,m::r-x,o::---", ACL_TYPE_DEFAULT));
  ASSERT_TRUE(SetAcl(dir_.Path("f2"), "u::rwx,g::r-x,o::r-x,u:65534:rwx,m::rwx", ACL_TYPE_DEFAULT));
  ASSERT_TRUE(fs_->WriteSecurityAt(*folder_, "f2", *fs_->ReadSecurityAt(*folder_, "f1")).ok());
  EXPECT_EQ(AclText(dir_.Path("f2"), ACL_TYPE_DEFAULT), AclText(dir_.Path("f1"), ACL_TYPE_DEFAULT));
  ASSERT_TRUE(fs_->WriteSecurityAt(*folder_, "f2", *fs_->ReadSecurityAt(*folder_, "plain")).ok());
  EXPECT_EQ(AclText(dir_.Path("f2"), ACL_TYPE_DEFAULT), "");
}

class DryRunFileSystemTest : public FileSystemTest {
 protected:
  DryRunFileSystemTest() {
    dir_.Make({"src/", "dst/", "dst/old/", "dst/old/x=x", "dst/keep=k"});
    dir_.Write("src/big", "0123456789", 0640);
    dir_.SetTime("src/big", 1700000000, 5);
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

  DryRunFileSystem dry_{*fs_};
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
  EXPECT_EQ(std::tuple(copy->size, copy->last_write, copy->permissions),
            std::tuple(source->size, source->last_write, 0640u));
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
  EXPECT_EQ(fs_->Lookup(dir_.Path("dst/keep"))->permissions, 0644u);
}

}  // namespace
}  // namespace vorn::platform
