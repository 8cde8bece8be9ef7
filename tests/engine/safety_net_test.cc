// What a pair keeps out of harm's way: versions of what a pass removes or
// replaces, and the entries its exclusions name.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "config/exclusions.h"
#include "support/engine_fixture.h"
#include "engine/versions.h"

namespace vorn::testing {
namespace {

using platform::FsOperation;

TEST(ExclusionsTest, PatternsMatchAsGitignoreDoes) {
  const struct {
    const char *patterns, *path;
    bool folder, excluded;
  } cases[] = {
      {"*.tmp", "a.tmp", false, true}, {"*.tmp", "sub/deep/a.tmp", false, true},
      {"*.tmp", "a.tmp.txt", false, false}, {"*.TMP", "a.tmp", false, false},  // case matters
      {"cache/", "cache", true, true}, {"cache/", "cache", false, false},  // folders only
      {"cache/", "sub/cache", true, true},
      {"/build", "build", true, true}, {"/build", "sub/build", true, false},  // anchored
      {"docs/*.pdf", "docs/a.pdf", false, true},
      {"docs/*.pdf", "docs/x/a.pdf", false, false},  // '*' stops at '/'
      {"**/node_modules", "node_modules", true, true},
      {"**/node_modules", "a/b/node_modules", true, true},
      {"a/**/z", "a/z", false, true}, {"a/**/z", "a/b/c/z", false, true},
      {"logs/**", "logs/x/y", false, true},
      {"file?.[ch]", "file1.c", false, true}, {"file?.[ch]", "file12.c", false, false},
      {"[!0-9]*", "9lives", false, false}, {"[!0-9]*", "lives", false, true},
      {"\\*", "*", false, true}, {"[x", "[x", false, true},  // an unclosed class is literal
      {" one.txt | | *.bak ", "x.bak", false, true}, {"", "anything", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.patterns) + " ~ " + c.path);
    EXPECT_EQ(Exclusions(c.patterns).Excludes(c.path, c.folder), c.excluded);
  }
  EXPECT_NE(Exclusions::ProblemOf("a|b"), "");
  EXPECT_EQ(Exclusions::ProblemOf("**/*.o"), "");
}

// How a pass names its folder is seen through the engine below.
TEST(VersionsTest, PassFoldersAreDatedByTheirStart) {
  EXPECT_EQ(DayOfStamp("2026-12-05 101502"), DayNumber(2026, 12, 5));
  EXPECT_EQ(DayOfStamp("2026-12-05 101502-12"), DayNumber(2026, 12, 5));
  EXPECT_EQ(DayNumber(2024, 3, 1) - DayNumber(2024, 2, 28), 2);  // a leap year
  for (const char* name : {"2026-12-05", "2026-13-05 101502", "2026-12-05_101502", "notes",
                           "2026-12-05 101502-", "2026-12-05 101502-x"}) {
    EXPECT_EQ(DayOfStamp(name), std::nullopt) << name;
  }
}

class SafetyNetTest : public EngineTest {
 protected:
  SafetyNetTest() {
    AddDefaultPair().Effacer = "1";
    pairs_[0].KeepVersions = "30";
  }
  struct stat Stat(const std::string& entry) const {
    struct stat st {};
    EXPECT_EQ(::lstat(dir_.Path(entry).c_str(), &st), 0) << entry;
    return st;
  }
};

TEST_F(SafetyNetTest, RemovedAndReplacedFilesMoveToThePassVersions) {
  Make({"src/sub/", "src/sub/new=longer", "src/same", "dst/sub/", "dst/sub/new=old", "dst/same",
        "dst/gone/", "dst/gone/old=kept"});
  Pass();
  EXPECT_EQ(Tally(), "seen=2 modified=1 removed=1 folders-=1 pairs=1");
  const std::string stamp = "dst/.vorn-versions/2024-05-01 101502/";
  const Entries kept = {"dst/.vorn-versions/", stamp, stamp + "gone/", stamp + "gone/old=kept",
                        stamp + "sub/", stamp + "sub/new=old", "dst/same", "dst/sub/",
                        "dst/sub/new=longer"};
  EXPECT_EQ(Tree("dst"), kept);
  Pass();  // never mirrored, never obsolete
  EXPECT_EQ(Tally(), "seen=2 pairs=1");
  EXPECT_EQ(Tree("dst"), kept);
  Make({"dst/gone/", "dst/gone/old=again"});
  Pass();  // in the same second: a folder of its own, no version replaced
  EXPECT_EQ(dir_.Read(stamp + "gone/old"), "kept");
  EXPECT_EQ(dir_.Read("dst/.vorn-versions/2024-05-01 101502-2/gone/old"), "again");
}

TEST_F(SafetyNetTest, AReplacementThatFailsPutsTheFileBackAndOneNotKeptStays) {
  Make({"src/a=new!", "dst/a=old", "src/b=new!", "dst/b=old"});
  fs_.FailFor(FsOperation::kCopyFileAt, "a", ENOSPC);
  fs_.FailFor(FsOperation::kRenameAt, "b", EXDEV);  // a folder that is a mount point
  Pass();
  EXPECT_EQ(Tally(), "seen=2 pairs=1");
  EXPECT_EQ(engine_.counters().FilesFailed, 2);
  EXPECT_EQ(Tree("dst"), (Entries{"dst/.vorn-versions/", "dst/a=old", "dst/b=old"}));
}

TEST_F(SafetyNetTest, VersionsPastTheRetentionArePurgedOnceADay) {
  const std::string old = "dst/.vorn-versions/2024-03-31 235959/";
  const std::string recent = "dst/.vorn-versions/2024-04-01 000000/";
  Make({"src/f", "dst/.vorn-versions/", old, old + "x/", old + "x/y", recent, recent + "z",
        "dst/.vorn-versions/mine"});
  // The pass runs on 2024-05-01, keeping 30 days.
  Pass();
  EXPECT_EQ(Tree("dst/.vorn-versions"),
            (Entries{recent, recent + "z", "dst/.vorn-versions/mine"}));
  Make({"dst/.vorn-versions/2020-01-01 000000/"});
  Pass();  // the same day: not again
  EXPECT_TRUE(dir_.Exists("dst/.vorn-versions/2020-01-01 000000"));
}

TEST_F(SafetyNetTest, ExcludedEntriesAreNeitherMirroredNorRemoved) {
  pairs_[0].KeepVersions = "0";
  pairs_[0].Exclusions = "*.tmp|cache/|/top";
  Make({"src/a.tmp", "src/cache/", "src/cache/c", "src/top", "src/sub/", "src/sub/top",
        "src/keep", "dst/old.tmp", "dst/cache/", "dst/cache/stale", "dst/gone"});
  Pass();
  EXPECT_EQ(Tally(), "seen=2 created=2 removed=1 folders+=1 pairs=1");
  EXPECT_EQ(Tree("dst"), (Entries{"dst/cache/", "dst/cache/stale", "dst/keep", "dst/old.tmp",
                                  "dst/sub/", "dst/sub/top"}));
}

TEST_F(SafetyNetTest, TargetFoldersTakeTheirSourcesTimeOnceTheirContentsAreMirrored) {
  Make({"src/a/", "src/a/b/", "src/a/b/f", "dst/a/", "dst/a/old"});
  for (const char* removal : {"1", "0"}) {  // the folders' last walk: removal, or the copy
    SCOPED_TRACE(removal);
    pairs_[0].Effacer = removal;
    for (const char* folder : {"src/a/b", "src/a", "src"}) dir_.SetTime(folder, kJan2024, 0);
    for (const char* folder : {"dst/a", "dst"}) dir_.SetTime(folder, kJan2024 + 99, 0);
    Pass();
    for (const char* folder : {"dst", "dst/a", "dst/a/b"}) EXPECT_EQ(Stat(folder).st_mtim.tv_sec, kJan2024);
    EXPECT_EQ(Tally().find("attributes"), std::string::npos);  // no change counted
  }
}

TEST_F(SafetyNetTest, NamesOfOneSourceFileStayNamesOfOneTargetFileWhenAsked) {
  Make({"src/a=data", "src/sub/"});
  ASSERT_EQ(::link(dir_.Path("src/a").c_str(), dir_.Path("src/sub/b").c_str()), 0);
  const auto linked = [this] { return Stat("dst/a").st_ino == Stat("dst/sub/b").st_ino; };
  Pass();
  EXPECT_FALSE(linked());  // not asked: two copies
  pairs_[0].HardLinks = "1";
  Pass();  // the second copy, up to date, becomes a name of the first
  EXPECT_EQ(Tally(), "seen=2 modified=1 pairs=1");
  EXPECT_TRUE(linked());
  Pass();
  EXPECT_EQ(Tally(), "seen=2 pairs=1");
  dir_.Write("src/a", "changed");  // both names change
  clock_.times = {platform::LocalTime{2024, 5, 2, 0, 0, 0, 0}};
  Pass();
  EXPECT_EQ(Tally(), "seen=2 modified=2 pairs=1");
  EXPECT_TRUE(linked());
  EXPECT_EQ(dir_.Read("dst/sub/b"), "changed");
  const std::string stamp = "dst/.vorn-versions/2024-05-02 000000/";
  EXPECT_EQ(Tree(stamp), (Entries{stamp + "a=data", stamp + "sub/", stamp + "sub/b=data"}));
  std::filesystem::remove_all(dir_.Path("dst/sub"));
  fs_.FailFor(FsOperation::kLinkFileAt, "c", EPERM);  // a target without hard links
  ASSERT_EQ(::link(dir_.Path("src/a").c_str(), dir_.Path("src/sub/c").c_str()), 0);
  Pass();
  EXPECT_EQ(Tally(), "seen=3 created=2 folders+=1 pairs=1");
  EXPECT_TRUE(linked());
  EXPECT_EQ(dir_.Read("dst/sub/c"), "changed");
}

// A link gets an owner of its own; set-ID bits, set after the owner (which
// clears them), are kept whoever owns the copy.
TEST_F(SafetyNetTest, AsRootCopiesAndFoldersTakeTheSourceOwnerUnlessToldNot) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give files to another owner";
  system_.administrator = true;
  const auto owner = [this](const char* entry) {
    return std::pair(Stat(entry).st_uid, Stat(entry).st_gid);
  };
  Make({"src/new", "src/kept", "src/sub/", "dst/kept", "src/link->new", "src/later"});
  for (const char* entry : {"src/new", "src/kept", "src/sub", "src/link", "src/later"}) {
    ASSERT_EQ(::lchown(dir_.Path(entry).c_str(), 65534, 65534), 0) << entry;
  }
  for (const char* file : {"src/new", "src/later"}) {
    ASSERT_EQ(::chmod(dir_.Path(file).c_str(), 06755), 0);
  }
  pairs_[0].Exclusions = "later";  // mirrored by the second pass only
  Pass();
  EXPECT_EQ(Tally(), "seen=3 created=2 folders+=1 pairs=1");  // owners are not counted
  for (const char* entry : {"dst/new", "dst/kept", "dst/sub", "dst/link"}) {
    EXPECT_EQ(owner(entry), std::pair(65534u, 65534u)) << entry;
  }
  settings_.CopierProprietaire = false;
  pairs_[0].Exclusions.clear();
  Pass();
  EXPECT_EQ(owner("dst/later"), std::pair(0u, ::getegid()));
  for (const char* file : {"dst/new", "dst/later"}) EXPECT_EQ(Stat(file).st_mode & 07777, 06755u);
}

}  // namespace
}  // namespace vorn::testing
