#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/engine_fixture.h"
#include "support/lock_holder.h"

namespace vorn {
namespace {

using testing::EngineTest;
using testing::LockHolder;

constexpr int64_t kJan2024 = 1704067200;

class MirrorFolderTest : public EngineTest {
 protected:
  const MirrorCounters& counters() { return engine_.counters(); }
};

TEST_F(MirrorFolderTest, NewFilesAndFoldersAreCreatedAndCounted) {
  dir_.Write(Src("a.txt"), "alpha");
  dir_.Write(Src(".hidden"), "h");
  dir_.MakeFolder(Src("sub"));
  dir_.Write(Src("sub/b.txt"), "beta");
  dir_.MakeFolder(Src("sub/empty"));
  MirrorSrcToDst({});
  EXPECT_EQ(dir_.Read(Dst("a.txt")), "alpha");
  EXPECT_EQ(dir_.Read(Dst(".hidden")), "h");
  EXPECT_EQ(dir_.Read(Dst("sub/b.txt")), "beta");
  EXPECT_TRUE(dir_.Exists(Dst("sub/empty")));
  EXPECT_EQ(counters().FilesSeen, 3);
  EXPECT_EQ(counters().FilesCreated, 3);
  EXPECT_EQ(counters().FoldersCreated, 2);

  MirrorSrcToDst({});  // nothing changed
  EXPECT_EQ(counters().FilesSeen, 3);
  EXPECT_EQ(counters().FilesCreated + counters().FilesModified + counters().FoldersCreated, 0);
}

TEST_F(MirrorFolderTest, TheUpdateRuleDecidesOverwrites) {
  dir_.Write(Src("same"), "12345");
  dir_.Write(Dst("same"), "54321");
  dir_.Write(Src("bigger"), "123456");
  dir_.Write(Dst("bigger"), "12345");
  dir_.Write(Src("older-source"), "old");
  dir_.Write(Dst("older-source"), "new");
  for (const char* name : {"same", "bigger"}) {
    dir_.SetTime(Src(name), kJan2024, 0);
    dir_.SetTime(Dst(name), kJan2024, 0);
  }
  dir_.SetTime(Src("older-source"), kJan2024, 0);
  dir_.SetTime(Dst("older-source"), kJan2024 + 60, 0);

  PairContext newer_only;
  newer_only.Nouveau = true;
  MirrorSrcToDst(newer_only);
  EXPECT_EQ(counters().FilesModified, 0);
  EXPECT_EQ(dir_.Read(Dst("older-source")), "new");

  MirrorSrcToDst({});  // date or size differ
  EXPECT_EQ(counters().FilesModified, 2);
  EXPECT_EQ(dir_.Read(Dst("same")), "54321");  // equal time and size: kept
  EXPECT_EQ(dir_.Read(Dst("bigger")), "123456");
  EXPECT_EQ(dir_.Read(Dst("older-source")), "old");
}

TEST_F(MirrorFolderTest, HalfASecondIsNoDifferenceWithTheTolerance) {
  dir_.Write(Src("f"), "source");
  dir_.Write(Dst("f"), "target");
  dir_.SetTime(Src("f"), kJan2024, 500000000);
  dir_.SetTime(Dst("f"), kJan2024, 0);
  PairContext context;
  context.Nouveau = true;
  context.NoMilliseconds = true;
  MirrorSrcToDst(context);
  EXPECT_EQ(counters().FilesModified, 0);
  context.NoMilliseconds = false;
  MirrorSrcToDst(context);
  EXPECT_EQ(counters().FilesModified, 1);
  EXPECT_EQ(dir_.Read(Dst("f")), "source");
}

TEST_F(MirrorFolderTest, AReadOnlyTargetIsOverwrittenAndTakesTheSourceMode) {
  dir_.Write(Src("f"), "new content", 0644);
  dir_.Write(Dst("f"), "old", 0444);
  MirrorSrcToDst({});
  EXPECT_EQ(counters().FilesModified, 1);
  EXPECT_EQ(dir_.Read(Dst("f")), "new content");
  EXPECT_EQ(fs_.Lookup(dir_.Path(Dst("f")))->permissions, 0644u);
}

TEST_F(MirrorFolderTest, AttributesOfUpToDateFilesAndFoldersAreCopiedWhenAsked) {
  dir_.Write(Src("f"), "x", 0600);
  dir_.MakeFolder(Src("sub"), 0700);
  MirrorSrcToDst({});
  ASSERT_EQ(::chmod(dir_.Path(Dst("f")).c_str(), 0640), 0);
  ASSERT_EQ(::chmod(dir_.Path(Dst("sub")).c_str(), 0755), 0);
  MirrorSrcToDst({});
  EXPECT_EQ(counters().AttributesChanged, 0);  // off by default
  settings_.CopierAttributs = true;
  MirrorSrcToDst({});
  EXPECT_EQ(counters().AttributesChanged, 2);
  EXPECT_EQ(fs_.Lookup(dir_.Path(Dst("f")))->permissions, 0600u);
  EXPECT_EQ(fs_.Lookup(dir_.Path(Dst("sub")))->permissions, 0700u);
}

TEST_F(MirrorFolderTest, WithoutSubFoldersHiddenFilesAndFoldersAreIgnored) {
  settings_.MiroirSousDossiers = false;
  dir_.Write(Src("shown"), "x");
  dir_.Write(Src(".hidden"), "x");
  dir_.MakeFolder(Src("sub"));
  dir_.Write(Src("sub/inner"), "x");
  MirrorSrcToDst({});
  EXPECT_EQ(dir_.Names("dst"), std::vector<std::string>{"shown"});
  EXPECT_EQ(counters().FilesSeen, 1);
}

TEST_F(MirrorFolderTest, MoveModeEmptiesTheSource) {
  dir_.Write(Src("new"), "n");
  dir_.Write(Src("uptodate"), "u");
  dir_.Write(Dst("uptodate"), "u");
  dir_.SetTime(Src("uptodate"), kJan2024, 0);
  dir_.SetTime(Dst("uptodate"), kJan2024, 0);
  dir_.MakeFolder(Src("sub"));
  dir_.Write(Src("sub/inner"), "i", 0444);
  PairContext move;
  move.Deplacer = true;
  MirrorSrcToDst(move);
  EXPECT_TRUE(dir_.Names("src").empty());
  EXPECT_EQ(dir_.Names("dst"), (std::vector<std::string>{"new", "sub", "uptodate"}));
  EXPECT_EQ(dir_.Read(Dst("sub/inner")), "i");
  EXPECT_EQ(counters().FilesCreated, 2);
  EXPECT_EQ(counters().FilesRemoved, 3);
  EXPECT_EQ(counters().FoldersRemoved, 1);
}

TEST_F(MirrorFolderTest, LockedFilesAreCountedListedAndNeverCopiedOrDeleted) {
  dir_.Write(Src("busy.doc"), "in use");
  dir_.Write(Src("free.doc"), "free");
  LockHolder holder(dir_.Path(Src("busy.doc")), LockHolder::Kind::kExclusiveFlock);
  ASSERT_TRUE(holder.holding());
  PairContext move;
  move.Deplacer = true;
  MirrorSrcToDst(move);
  EXPECT_EQ(counters().FilesLocked, 1);
  EXPECT_EQ(engine_.lstLockedTemp(), std::vector<std::string>{dir_.Path(Src("busy.doc"))});
  EXPECT_FALSE(dir_.Exists(Dst("busy.doc")));
  EXPECT_TRUE(dir_.Exists(Src("busy.doc")));
  EXPECT_FALSE(dir_.Exists(Src("free.doc")));
}

TEST_F(MirrorFolderTest, SecurityIsComparedAndCopiedOnlyWhenItDiffers) {
  dir_.Write(Src("f"), "x", 0640);
  dir_.MakeFolder(Src("sub"), 0750);
  MirrorSrcToDst({});
  // A new folder gets default security unless security is copied.
  ASSERT_EQ(::chmod(dir_.Path(Dst("sub")).c_str(), 0750), 0);
  settings_.CopierSecurite = true;
  settings_.CopierSecuriteTout = true;
  MirrorSrcToDst({});
  EXPECT_EQ(counters().SecuritiesCopied, 0);  // identical lists count nothing
  EXPECT_EQ(counters().SecuritiesNotCopied, 0);

  ASSERT_EQ(::chmod(dir_.Path(Dst("f")).c_str(), 0600), 0);
  ASSERT_EQ(::chmod(dir_.Path(Dst("sub")).c_str(), 0700), 0);
  MirrorSrcToDst({});
  EXPECT_EQ(counters().SecuritiesCopied, 2);
  EXPECT_EQ(fs_.Lookup(dir_.Path(Dst("f")))->permissions, 0640u);
  EXPECT_EQ(fs_.Lookup(dir_.Path(Dst("sub")))->permissions, 0750u);

  // The same choice on the 95 family copies nothing.
  system_ = testing::Windows95System();
  ASSERT_EQ(::chmod(dir_.Path(Dst("f")).c_str(), 0600), 0);
  MirrorSrcToDst({});
  EXPECT_EQ(counters().SecuritiesCopied + counters().SecuritiesNotCopied, 0);
}

TEST_F(MirrorFolderTest, NewFilesAndFoldersReceiveTheSourceSecurity) {
  settings_.CopierSecurite = true;
  dir_.Write(Src("f"), "x", 0604);
  dir_.MakeFolder(Src("sub"), 0711);
  MirrorSrcToDst({});
  EXPECT_EQ(counters().SecuritiesCopied, 2);
  EXPECT_EQ(fs_.Lookup(dir_.Path(Dst("sub")))->permissions, 0711u);
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

TEST_F(MirrorFolderTest, LinksAreMirroredAsLinksAndNeverFollowed) {
  dir_.MakeFolder("outside");
  dir_.Write("outside/secret", "s");
  dir_.MakeLink(Src("escape"), "../outside");
  MirrorSrcToDst({});
  EXPECT_EQ(fs_.Lookup(dir_.Path(Dst("escape")))->type, platform::EntryType::kLink);
  EXPECT_EQ(counters().FoldersCreated, 0);
  EXPECT_EQ(counters().FilesCreated, 1);
}

TEST_F(MirrorFolderTest, AStopAfterTheFirstEntryEndsTheWalk) {
  for (int i = 0; i < 10; ++i) dir_.Write(Src("f" + std::to_string(i)), "x");
  host_.on_yield = [this](int) { host_.idle = true; };
  MirrorSrcToDst({});
  EXPECT_EQ(host_.yields, 1);
  EXPECT_LE(counters().FilesSeen, 1);
}

}  // namespace
}  // namespace vorn
