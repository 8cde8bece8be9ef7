// One pair's walks: what MirrorFolder copies and RemoveObsoleteEntries deletes.

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "engine/update_rule.h"
#include "engine/walk_stack.h"
#include "engine/pair_test.h"
#include "support/lock_holder.h"

namespace vorn {
namespace {

using testing::LockHolder;
using testing::TestFolder;
using Counted = std::vector<int>;

class MirrorFolderTest : public testing::PairTest {
 protected:
  mode_t Mode(const std::string& relative) { return fs_.Lookup(dir_.Path(relative))->permissions; }
  void Chmod(const std::string& relative, mode_t mode) {
    ASSERT_EQ(::chmod(dir_.Path(relative).c_str(), mode), 0);
  }
  void Remove() {
    engine_.PrepareWalk({.Effacer = true});
    engine_.RemoveObsoleteEntries(dir_.Path("src"), dir_.Path("dst"));
  }
};

TEST(UpdateRuleTest, NewerOnlyOrDifferentWithinTheTolerance) {
  constexpr uint64_t kSecond = 10000000;
  constexpr uint64_t kBase = 133590000000000000ull;  // a 2024 time
  constexpr int64_t kS = kSecond;
  const struct {
    uint64_t source, target, source_size, target_size;
    bool newer_only, tolerance, due;
    std::optional<int64_t> delta;  // logged only with the tolerance
  } cases[] = {
      {kBase + 1, kBase, 10, 10, true, false, true, {}},
      {kBase, kBase, 10, 11, true, false, false, {}},  // newer-only ignores sizes
      {kBase, kBase + kSecond, 10, 10, true, false, false, {}},
      {kBase + kSecond / 2, kBase, 1, 1, true, false, true, {}},
      {kBase + kSecond / 2, kBase, 1, 1, true, true, false, kS / 2},
      {kBase + kSecond, kBase, 1, 1, true, true, true, kS},
      {kBase, kBase + 5 * kSecond, 1, 2, true, true, false, -5 * kS},  // newer target stays
      {kBase, kBase, 10, 11, false, false, true, {}},
      {kBase, kBase, 10, 10, false, false, false, {}},
      {kBase, kBase + 1, 10, 10, false, false, true, {}},  // difference, not age
      {kBase, kBase + kSecond / 2, 7, 7, false, true, false, kS / 2},
      {kBase, kBase + 2 * kSecond, 7, 7, false, true, true, 2 * kS},
      {kBase, kBase, 7, 8, false, true, true, 0},
      {kBase, 0, 7, 7, false, true, true, static_cast<int64_t>(kBase)},  // 64-bit distance
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << (c.source - kBase) << " vs " << (c.target - kBase)
                                      << " newer_only=" << c.newer_only
                                      << " tolerance=" << c.tolerance);
    const UpdateDecision d =
        DecideUpdate({c.source, c.source_size}, {c.target, c.target_size},
                     {.newer_only = c.newer_only, .tolerance = c.tolerance, .max_interval = kS});
    EXPECT_EQ(d.due, c.due);
    EXPECT_EQ(d.time_delta, c.delta);
  }
}

TEST_F(MirrorFolderTest, NewEntriesAreCreatedOnceAndTheUpdateRuleDecidesOverwrites) {
  Make({"src/.hidden", "src/sub/", "src/sub/b.txt", "src/sub/empty/"});
  Both("same", "12345", "54321");
  Both("bigger", "123456", "12345");
  Both("older-source", "old", "new", kJan2024, kJan2024 + 60);
  Both("half", "source", "target", kJan2024, kJan2024, 500000000);
  MirrorSrcToDst({.Nouveau = true, .NoMilliseconds = true});
  EXPECT_EQ(Counts(), (Counted{6, 2, 0, 0, 2, 0}));
  EXPECT_EQ(dir_.Read(Dst(".hidden")), "src/.hidden");
  EXPECT_EQ(dir_.Read(Dst("sub/b.txt")), "src/sub/b.txt");
  EXPECT_TRUE(dir_.Exists(Dst("sub/empty")));
  MirrorSrcToDst({.Nouveau = true});
  EXPECT_EQ(Counts(), (Counted{6, 0, 1, 0, 0, 0}));
  EXPECT_EQ(dir_.Read(Dst("half")), "source");
  EXPECT_EQ(dir_.Read(Dst("older-source")), "new");
  MirrorSrcToDst({});  // date or size differ
  EXPECT_EQ(Counts(), (Counted{6, 0, 2, 0, 0, 0}));
  EXPECT_EQ(dir_.Read(Dst("same")), "54321");  // equal time and size: kept
  EXPECT_EQ(dir_.Read(Dst("bigger")), "123456");
  EXPECT_EQ(dir_.Read(Dst("older-source")), "old");
}

TEST_F(MirrorFolderTest, AReadOnlyTargetIsOverwrittenAndAttributesFollowWhenAsked) {
  dir_.Write(Src("ro"), "new content", 0644);
  dir_.Write(Dst("ro"), "old", 0444);
  dir_.Write(Src("f"), "x", 0600);
  dir_.MakeFolder(Src("sub"), 0700);
  MirrorSrcToDst({});
  EXPECT_EQ(counters().FilesModified, 1);
  EXPECT_EQ(dir_.Read(Dst("ro")), "new content");
  EXPECT_EQ(Mode(Dst("ro")), 0644u);
  Chmod(Dst("f"), 0640);
  Chmod(Dst("sub"), 0755);
  MirrorSrcToDst({});
  EXPECT_EQ(counters().AttributesChanged, 0);  // off by default
  settings_.CopierAttributs = true;
  MirrorSrcToDst({});
  EXPECT_EQ(counters().AttributesChanged, 2);
  EXPECT_EQ(Mode(Dst("f")), 0600u);
  EXPECT_EQ(Mode(Dst("sub")), 0700u);
}

TEST_F(MirrorFolderTest, WithoutSubFoldersHiddenFilesAndFoldersAreLeftOnBothSides) {
  settings_.MiroirSousDossiers = false;
  Make({"src/shown", "src/.hidden", "src/sub/", "src/sub/inner", "dst/.old", "dst/old/", "dst/plain"});
  MirrorSrcToDst({.Effacer = true});
  EXPECT_EQ(dir_.Names("dst"), (std::vector<std::string>{".old", "old", "shown"}));
  EXPECT_EQ(Counts(), (Counted{1, 1, 0, 1, 0, 0}));
}

TEST_F(MirrorFolderTest, MoveModeEmptiesTheSourceButNeverMovesALockedFile) {
  Both("uptodate", "u", "u");
  Make({"src/new", "src/sub/", "src/busy.doc"});
  dir_.Write(Src("sub/inner"), "i", 0444);
  LockHolder holder(dir_.Path(Src("busy.doc")), LockHolder::Kind::kExclusiveFlock);
  ASSERT_TRUE(holder.holding());
  MirrorSrcToDst({.Deplacer = true});
  EXPECT_EQ(dir_.Names("src"), std::vector<std::string>{"busy.doc"});
  EXPECT_EQ(dir_.Names("dst"), (std::vector<std::string>{"new", "sub", "uptodate"}));
  EXPECT_EQ(dir_.Read(Dst("sub/inner")), "i");
  EXPECT_EQ(Counts(), (Counted{4, 2, 0, 3, 1, 1}));  // the locked file is seen too
  EXPECT_EQ(counters().FilesLocked, 1);
  EXPECT_EQ(engine_.locked_so_far(), std::vector<std::string>{dir_.Path(Src("busy.doc"))});
}

TEST_F(MirrorFolderTest, SecurityIsCopiedToNewEntriesAndWhenItDiffersOnTheNtFamilyOnly) {
  dir_.Write(Src("f"), "x", 0640);
  dir_.MakeFolder(Src("sub"), 0711);
  settings_.CopierSecurite = true;
  MirrorSrcToDst({});
  EXPECT_EQ(counters().SecuritiesCopied, 2);
  EXPECT_EQ(Mode(Dst("sub")), 0711u);
  settings_.CopierSecuriteTout = true;
  MirrorSrcToDst({});
  EXPECT_EQ(counters().SecuritiesCopied, 0);  // identical lists count nothing
  EXPECT_EQ(counters().SecuritiesNotCopied, 0);
  Chmod(Dst("f"), 0600);
  Chmod(Dst("sub"), 0700);
  MirrorSrcToDst({});
  EXPECT_EQ(counters().SecuritiesCopied, 2);
  EXPECT_EQ(Mode(Dst("f")), 0640u);
  EXPECT_EQ(Mode(Dst("sub")), 0711u);
  system_ = testing::Windows95System();
  Chmod(Dst("f"), 0600);
  MirrorSrcToDst({});
  EXPECT_EQ(counters().SecuritiesCopied + counters().SecuritiesNotCopied, 0);
}

TEST_F(MirrorFolderTest, TheSecureCopyOfThe95FamilyGoesThroughABangName) {
  system_ = testing::Windows95System();
  settings_.CopieSecurisee = true;
  dir_.Write(Src("report.doc"), "new content");
  dir_.Write(Dst("report.doc"), "old");
  MirrorSrcToDst({});
  EXPECT_EQ(counters().FilesModified, 1);
  EXPECT_EQ(dir_.Read(Dst("report.doc")), "new content");
  EXPECT_EQ(dir_.Names("dst"), std::vector<std::string>{"report.doc"});
  // A rename that fails leaves the complete copy under its "!" name.
  dir_.Write(Src("report.doc"), "newer!");
  fs_.FailFor(platform::FsOperation::kRenameAt, "!report.doc", EIO);
  MirrorSrcToDst({});
  EXPECT_EQ(counters().FilesModified, 1);
  EXPECT_EQ(dir_.Read(Dst("!report.doc")), "newer!");
}

TEST_F(MirrorFolderTest, LinksAreCopiedAndRemovedAsLinksNeverFollowed) {
  dir_.MakeFolder("outside");
  dir_.Write("outside/keep", "k");
  dir_.MakeLink(Src("escape"), "../outside");
  dir_.MakeLink(Dst("obsolete-link"), "../outside");
  MirrorSrcToDst({.Effacer = true});
  EXPECT_EQ(fs_.Lookup(dir_.Path(Dst("escape")))->type, platform::EntryType::kLink);
  EXPECT_EQ(Counts(), (Counted{1, 1, 0, 1, 0, 0}));
  EXPECT_FALSE(dir_.Exists(Dst("obsolete-link")));
  EXPECT_EQ(dir_.Names("outside"), std::vector<std::string>{"keep"});
}

TEST_F(MirrorFolderTest, AStopEndsEitherWalkAtTheNextEntry) {
  for (int i = 0; i < 10; ++i) dir_.Write(Src("f" + std::to_string(i)), "x");
  for (int i = 0; i < 5; ++i) dir_.Write(Dst("old" + std::to_string(i)), "x");
  host_.on_yield = [this](int) { host_.idle = true; };
  MirrorSrcToDst({});
  EXPECT_EQ(host_.yields, 1);
  EXPECT_LE(counters().FilesSeen, 1);
  host_.yields = 0;
  Remove();
  EXPECT_EQ(host_.yields, 1);
  EXPECT_GE(dir_.Names("dst").size(), 4u);
}

TEST_F(MirrorFolderTest, ObsoleteFilesGoEvenReadOnlyAndAFolderInTheSourceKeepsAFile) {
  Both("keep", "k", "k");
  dir_.Write(Dst("gone"), "g", 0444);
  Make({"dst/old/", "dst/old/1", "dst/old/2"});
  MirrorSrcToDst({.Effacer = true});
  EXPECT_EQ(dir_.Names("dst"), std::vector<std::string>{"keep"});
  EXPECT_EQ(Counts(), (Counted{1, 0, 0, 3, 0, 1}));
  // Only the removal walk, so the file is not replaced by the folder first.
  dir_.MakeFolder(Src("name"));
  dir_.Write(Dst("name"), "a file where the source has a folder");
  Remove();
  EXPECT_EQ(dir_.Read(Dst("name")), "a file where the source has a folder");
}

TEST_F(MirrorFolderTest, AnObsoleteTreeEmptiesFromTheBottomOverPasses) {
  Make({"dst/A/", "dst/A/B/", "dst/A/B/C/", "dst/A/B/C/file"});
  MirrorSrcToDst({.Effacer = true});
  EXPECT_EQ(Counts(), (Counted{0, 0, 0, 1, 0, 1}));
  EXPECT_EQ(dir_.Names(Dst("A/B")), std::vector<std::string>{});
  MirrorSrcToDst({.Effacer = true});
  EXPECT_EQ(dir_.Names(Dst("A")), std::vector<std::string>{});
  MirrorSrcToDst({.Effacer = true});
  EXPECT_TRUE(dir_.Names("dst").empty());
  EXPECT_EQ(Counts(), (Counted{0, 0, 0, 0, 0, 1}));
}

// Only "no such entry" lets a source entry count as gone: any other failure
// to open or list a source folder keeps its whole target subtree.
TEST_F(MirrorFolderTest, OnlyAnAbsentSourceMakesTargetEntriesObsolete) {
  using platform::FsOperation;
  const struct {
    FsOperation operation;
    int code;
    bool removed;
  } cases[] = {
      {FsOperation::kOpenFolderAt, ENOENT, true},   {FsOperation::kOpenFolderAt, EACCES, false},
      {FsOperation::kOpenFolderAt, EIO, false},     {FsOperation::kOpenFolderAt, ELOOP, false},
      {FsOperation::kOpenFolderAt, ENAMETOOLONG, false},
      {FsOperation::kOpenFolderAt, ESTALE, false},  {FsOperation::kReadFolder, EACCES, false},
      {FsOperation::kReadFolder, EIO, false},
  };
  dir_.MakeFolder(Src("sub"));
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(c.operation)) + " " + std::to_string(c.code));
    Make({"dst/sub/", "dst/sub/deeper/", "dst/sub/old", "dst/sub/deeper/old"});
    platform::FaultInjectingFileSystem faults(fs_);
    faults.FailFor(c.operation, dir_.Path(Src("sub")), c.code);
    MirrorEngine engine(MirrorEnvironment{faults, clock_, system_, settings_, pairs_, log_, host_,
                                          host_, warnings_, {}, {}});
    engine.PrepareWalk({.Effacer = true});
    engine.RemoveObsoleteEntries(dir_.Path("src"), dir_.Path("dst"));
    EXPECT_EQ(dir_.Exists(Dst("sub/old")), !c.removed);
    EXPECT_EQ(dir_.Exists(Dst("sub/deeper/old")), !c.removed);
    testing::RemoveTree(dir_.Path("dst/sub"));
  }
}

TEST_F(MirrorFolderTest, AVanishedSourceRootStopsTheRemovalSaysSoAndDeletesNothing) {
  settings_.ErreurDossier = true;
  settings_.Logs = true;
  settings_.Langue = kFrench;
  log_.FixDay(clock_.Now());
  Both("a", "a", "a");
  dir_.Write(Dst("obsolete"), "precious");
  // The root goes away once the walk has opened both roots.
  fs_.FailNth(platform::FsOperation::kOpenFolder, 3, ENOENT);
  engine_.PrepareWalk({.Effacer = true});
  EXPECT_FALSE(engine_.RemoveObsoleteEntries(dir_.Path("src"), dir_.Path("dst")));
  EXPECT_EQ(dir_.Read(Dst("obsolete")), "precious");
  EXPECT_EQ(counters().FilesRemoved, 0);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0],
            "<b>10:15:02 - Effacement des fichiers obsolètes<br>Dossier source inconnu!<br>Arrêt "
            "du programme</b>");
  EXPECT_EQ(LogBody().back(), host_.messages[0] + ": " + dir_.Path("src") + "/<br>");
}

// Deep trees and the window of open folders are exercised by the tree below
// and by an end-to-end run under a low open-file limit.
TEST(WalkStackTest, AMissingSideStaysMissingBelow) {
  TestFolder dir;
  dir.MakeFolder("s");
  dir.MakeFolder("s/a");
  dir.MakeFolder("s/a/b");
  const auto fs = platform::MakePosixFileSystem();
  WalkStack walk(*fs, dir.Path("s"), dir.Path("no-target"));
  EXPECT_EQ(walk.Target(), nullptr);
  walk.Descend("a");
  walk.Descend("b");
  EXPECT_NE(walk.Source(), nullptr);
  EXPECT_EQ(walk.Target(), nullptr);
  EXPECT_EQ(walk.TargetPath(), dir.Path("no-target/a/b"));
}

TEST_F(MirrorFolderTest, ATreeFarDeeperThanTheWindowMirrorsAndMovesCompletely) {
  std::string relative;
  for (int i = 0; i < 150; ++i) {
    relative += "/n";
    dir_.MakeFolder("src" + relative);
    dir_.Write("src" + relative + "/f", std::to_string(i));
  }
  MirrorSrcToDst({});
  EXPECT_EQ(Counts(), (Counted{150, 150, 0, 0, 150, 0}));
  EXPECT_EQ(dir_.Read("dst" + relative + "/f"), "149");
  MirrorSrcToDst({.Deplacer = true});
  EXPECT_EQ(Counts(), (Counted{150, 0, 0, 150, 0, 150}));
  EXPECT_TRUE(dir_.Names("src").empty());
}

}  // namespace
}  // namespace vorn
