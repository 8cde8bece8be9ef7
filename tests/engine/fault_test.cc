// What a pass keeps, counts and logs when the disk, the network or another
// program gets in the way.

#include <gtest/gtest.h>

#include "support/engine_fixture.h"

namespace vorn {
namespace {

using platform::FsOperation;
using testing::EngineTest;

class FaultTest : public EngineTest {
 protected:
  const MirrorCounters& counters() { return engine_.counters(); }
};

TEST_F(FaultTest, AFullDiskDuringOneCopyLosesNothingAndCountsOnlyWhatLanded) {
  dir_.Write(Src("a"), "new a");
  dir_.Write(Src("b"), "new b, longer");
  dir_.Write(Src("c"), "new c");
  dir_.Write(Dst("b"), "previous b");
  fs_.FailFor(FsOperation::kCopyFileAt, "b", ENOSPC);
  settings_.Logs = settings_.FichiersLogs = true;
  log_.FixDay(clock_.Now());
  MirrorSrcToDst({});
  EXPECT_EQ(counters().FilesSeen, 3);
  EXPECT_EQ(counters().FilesCreated, 2);
  EXPECT_EQ(counters().FilesModified, 0);
  EXPECT_EQ(dir_.Read(Dst("b")), "previous b");
  for (const std::string& line : LogBody()) EXPECT_EQ(line.find("/dst/b<"), std::string::npos);
}

TEST_F(FaultTest, AnUnreachableTargetFolderFailsItsCopiesOnly) {
  dir_.MakeFolder(Src("locked-away"));
  dir_.Write(Src("locked-away/x"), "x");
  dir_.MakeFolder(Dst("locked-away"));
  dir_.MakeFolder(Src("fine"));
  dir_.Write(Src("fine/y"), "y");
  dir_.Write(Src("top"), "t");
  fs_.FailFor(FsOperation::kOpenFolderAt, dir_.Path(Dst("locked-away")), EACCES);
  MirrorSrcToDst({});
  EXPECT_EQ(counters().FilesSeen, 3);
  EXPECT_EQ(counters().FilesCreated, 2);
  EXPECT_TRUE(dir_.Exists(Dst("fine/y")));
  EXPECT_TRUE(dir_.Exists(Dst("top")));
  EXPECT_FALSE(dir_.Exists(Dst("locked-away/x")));
}

TEST_F(FaultTest, AFolderThatCannotBeCreatedStillGetsItsWalkWhoseCopiesFail) {
  dir_.MakeFolder(Src("sub"));
  dir_.Write(Src("sub/inner"), "i");
  fs_.FailFor(FsOperation::kCreateFolderAt, "sub", EACCES);
  MirrorSrcToDst({});
  EXPECT_EQ(counters().FoldersCreated, 0);
  EXPECT_EQ(counters().FilesSeen, 1);
  EXPECT_EQ(counters().FilesCreated, 0);
}

TEST_F(FaultTest, AnEntryThatVanishesAfterTheListingIsSeenButNotCopied) {
  dir_.Write(Src("ghost"), "g");
  dir_.Write(Src("solid"), "s");
  fs_.MakeVanish("ghost");
  MirrorSrcToDst({});
  EXPECT_EQ(counters().FilesSeen, 2);
  EXPECT_EQ(counters().FilesCreated, 1);
  EXPECT_FALSE(dir_.Exists(Dst("ghost")));
}

TEST_F(FaultTest, FailedDeletionsAndSecurityWritesAreNotCountedAsDone) {
  dir_.Write(Dst("obsolete"), "o");
  dir_.Write(Src("f"), "f");
  settings_.CopierSecurite = true;
  fs_.FailFor(FsOperation::kDeleteFileAt, "obsolete", EIO);
  fs_.FailFor(FsOperation::kWriteSecurityAt, "f", EIO);
  PairContext context;
  context.Effacer = true;
  MirrorSrcToDst(context);
  EXPECT_TRUE(dir_.Exists(Dst("obsolete")));
  EXPECT_EQ(counters().FilesRemoved, 0);
  EXPECT_EQ(counters().FilesCreated, 1);
  EXPECT_EQ(counters().SecuritiesCopied, 0);
  EXPECT_EQ(counters().SecuritiesNotCopied, 1);
}

TEST_F(FaultTest, AMoveWhoseSourceCannotBeDeletedKeepsBothAndFinishesNextPass) {
  dir_.Write(Src("f"), "moving");
  fs_.FailNth(FsOperation::kDeleteFileAt, 1, EACCES);
  PairContext move;
  move.Deplacer = true;
  MirrorSrcToDst(move);
  EXPECT_EQ(counters().FilesCreated, 1);
  EXPECT_EQ(counters().FilesRemoved, 0);
  EXPECT_TRUE(dir_.Exists(Src("f")));
  MirrorSrcToDst(move);
  EXPECT_EQ(counters().FilesRemoved, 1);
  EXPECT_FALSE(dir_.Exists(Src("f")));
  EXPECT_EQ(dir_.Read(Dst("f")), "moving");
}

TEST_F(FaultTest, AnUnwritableLogLosesLinesNotThePass) {
  settings_.Logs = settings_.FichiersLogs = true;
  settings_.PathLogs = dir_.Path("no-such-folder");
  dir_.Write(Src("f"), "x");
  AddDefaultPair();
  EXPECT_EQ(Pass(), PassEnd::kFinished);
  EXPECT_TRUE(dir_.Exists(Dst("f")));
  EXPECT_EQ(engine_.counters().FilesCreated, 1);
}

}  // namespace
}  // namespace vorn
