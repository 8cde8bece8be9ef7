// What a pass keeps, counts and logs when the disk, the network or another
// program gets in the way.

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/posix_file_system.h"
#include "engine/pair_test.h"

namespace vorn {
namespace {

using platform::CopyStep;
using platform::FsOperation;

using FaultTest = testing::PairTest;
using Counted = std::vector<int>;

TEST_F(FaultTest, AFullDiskDuringOneCopyLosesNothingAndCountsOnlyWhatLanded) {
  Make({"src/a", "src/b", "src/c"});
  dir_.Write(Dst("b"), "previous b");
  fs_.FailFor(FsOperation::kCopyFileAt, "b", ENOSPC);
  LogFileNames();
  MirrorSrcToDst({});
  EXPECT_EQ(Counts(), (Counted{3, 2, 0, 0, 0, 0}));
  EXPECT_EQ(dir_.Read(Dst("b")), "previous b");
  for (const std::string& line : LogBody()) EXPECT_EQ(line.find("/dst/b<"), std::string::npos);
}

// An unopenable target folder, an uncreatable one and an entry gone after the
// listing each fail their own copies only.
TEST_F(FaultTest, EntriesThatCannotBeReachedFailOnlyTheirOwnCopies) {
  Make({"src/locked-away/", "src/locked-away/x", "dst/locked-away/", "src/sub/", "src/sub/inner",
        "src/ghost", "src/fine/", "src/fine/y", "src/top"});
  fs_.FailFor(FsOperation::kOpenFolderAt, dir_.Path(Dst("locked-away")), EACCES);
  fs_.FailFor(FsOperation::kCreateFolderAt, "sub", EACCES);
  fs_.MakeVanish("ghost");
  MirrorSrcToDst({});
  // The uncreatable folder still gets its walk, whose copies fail.
  EXPECT_EQ(Counts(), (Counted{5, 2, 0, 0, 1, 0}));
  EXPECT_EQ(dir_.Names("dst"), (std::vector<std::string>{"fine", "locked-away", "top"}));
  EXPECT_EQ(dir_.Read(Dst("fine/y")), "src/fine/y");
  EXPECT_FALSE(dir_.Exists(Dst("locked-away/x")));
}

TEST_F(FaultTest, FailedDeletionsAndSecurityWritesAreNotCountedAsDone) {
  Make({"dst/obsolete", "src/f"});
  settings_.CopierSecurite = true;
  fs_.FailFor(FsOperation::kDeleteFileAt, "obsolete", EIO);
  fs_.FailFor(FsOperation::kWriteSecurityAt, "f", EIO);
  MirrorSrcToDst({.Effacer = true});
  EXPECT_TRUE(dir_.Exists(Dst("obsolete")));
  EXPECT_EQ(Counts(), (Counted{1, 1, 0, 0, 0, 0}));
  EXPECT_EQ(counters().SecuritiesCopied, 0);
  EXPECT_EQ(counters().SecuritiesNotCopied, 1);
}

TEST_F(FaultTest, AMoveWhoseSourceCannotBeDeletedKeepsBothAndFinishesNextPass) {
  dir_.Write(Src("f"), "moving");
  fs_.FailNth(FsOperation::kDeleteFileAt, 1, EACCES);
  MirrorSrcToDst({.Deplacer = true});
  EXPECT_EQ(Counts(), (Counted{1, 1, 0, 0, 0, 0}));
  EXPECT_TRUE(dir_.Exists(Src("f")));
  MirrorSrcToDst({.Deplacer = true});
  EXPECT_EQ(Counts(), (Counted{1, 0, 0, 1, 0, 0}));
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
  EXPECT_EQ(counters().FilesCreated, 1);
}

class CopyFaultTest : public testing::PairTest,
                      public ::testing::WithParamInterface<std::pair<CopyStep, int>> {};

// A copy that breaks at any step is not counted, not logged, and leaves the
// previous target as it was; once the fault is gone the next pass finishes.
TEST_P(CopyFaultTest, ABrokenCopyChangesNothingItWasToReplace) {
  // Not a structured binding: clang 14 cannot capture one in a lambda.
  const CopyStep step = GetParam().first;
  const int code = GetParam().second;
  LogFileNames();
  const std::string content(200 * 1024, 'n');
  dir_.Write(Src("big"), content);
  dir_.Write(Dst("big"), "previous");
  copy_fault_ = [&](CopyStep at, uint64_t offset) {
    const bool middle = step != CopyStep::kContent || offset == 128 * 1024;
    return at == step && middle ? code : 0;
  };
  MirrorSrcToDst({});
  EXPECT_EQ(dir_.Read(Dst("big")), "previous");
  EXPECT_EQ(engine_.counters().FilesModified, 0);
  EXPECT_TRUE(LogBody().empty());
  EXPECT_EQ(dir_.Names("dst"), (std::vector<std::string>{"big"}));  // no temporary left
  copy_fault_ = nullptr;
  MirrorSrcToDst({});
  EXPECT_EQ(engine_.counters().FilesModified, 1);
  EXPECT_EQ(dir_.Read(Dst("big")), content);
  EXPECT_EQ(LogBody().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(EveryStep, CopyFaultTest,
                         ::testing::Values(std::pair{CopyStep::kOpenSource, EIO},
                                           std::pair{CopyStep::kCreateTemporary, ENOSPC},
                                           std::pair{CopyStep::kContent, ENOSPC},
                                           std::pair{CopyStep::kContent, EIO},
                                           std::pair{CopyStep::kExtendedAttributes, ENOSPC},
                                           std::pair{CopyStep::kPermissions, EIO},
                                           std::pair{CopyStep::kTimes, EIO},
                                           std::pair{CopyStep::kRename, EIO}));

TEST_F(FaultTest, ASourceDeletedDuringItsMoveStillArrivesWhole) {
  const std::string content(256 * 1024, 'v');
  dir_.Write(Src("f"), content);
  copy_fault_ = [&](CopyStep step, uint64_t offset) {
    if (step == CopyStep::kContent && offset == 64 * 1024) ::unlink(dir_.Path(Src("f")).c_str());
    return 0;
  };
  MirrorSrcToDst({.Deplacer = true});
  EXPECT_EQ(dir_.Read(Dst("f")), content);
  EXPECT_EQ(counters().FilesCreated, 1);
  EXPECT_EQ(counters().FilesRemoved, 0);  // it was gone already
}

TEST_F(FaultTest, ASourceThatGrowsDuringItsCopyIsCopiedAgainNextPass) {
  const std::string content(200 * 1024, 'a');
  dir_.Write(Src("log"), content);
  bool grown = false;
  copy_fault_ = [&](CopyStep step, uint64_t offset) {
    if (step == CopyStep::kContent && offset == 64 * 1024 && !grown) {
      grown = true;
      const int fd = ::open(dir_.Path(Src("log")).c_str(), O_WRONLY | O_APPEND);
      EXPECT_EQ(::write(fd, "more", 4), 4);
      ::close(fd);
    }
    return 0;
  };
  MirrorSrcToDst({});
  EXPECT_EQ(dir_.Read(Dst("log")), content);  // what was there at the open
  MirrorSrcToDst({});
  EXPECT_EQ(counters().FilesModified, 1);
  EXPECT_EQ(dir_.Read(Dst("log")), content + "more");
}

TEST_F(FaultTest, ASourceFolderRemovedMidWalkIsPassedOver) {
  Make({"src/a/", "src/a/1", "src/b/", "src/b/2"});
  host_.on_yield = [&](int yields) {
    // After the root's entries were listed, before the walk enters them.
    if (yields == 4) testing::RemoveTree(dir_.Path(Src("a")));
  };
  MirrorSrcToDst({});
  EXPECT_TRUE(dir_.Exists(Dst("b/2")));
  EXPECT_FALSE(dir_.Exists(Dst("a/1")));
}

TEST_F(FaultTest, ATargetRootRemovedMidPassFailsTheRestAndIsReportedNextPass) {
  settings_.ErreurDossier = true;
  for (int i = 0; i < 6; ++i) dir_.Write(Src("f" + std::to_string(i)), "x");
  AddDefaultPair();
  host_.on_yield = [&](int yields) {
    if (yields == 4) testing::RemoveTree(dir_.Path("dst"));
  };
  EXPECT_EQ(Pass(), PassEnd::kFinished);
  EXPECT_LT(counters().FilesCreated, 6);
  host_.on_yield = nullptr;
  Pass();
  EXPECT_EQ(counters().InvalidTargetFolders, 1);
  EXPECT_EQ(host_.messages.back(), "10:15:02 - Unknown target folder");
}

TEST_F(FaultTest, ASourceRootRenamedBeforeRemovalEndsThePassAtOnceAndDeletesNothing) {
  dir_.Write(Src("kept"), "k");
  dir_.Write(Dst("obsolete"), "must survive");
  AddDefaultPair().Effacer = "1";
  AddDefaultPair();
  // The mirror walk yields once per source entry: ".", "..", "kept".
  host_.on_yield = [&](int yields) {
    if (yields == 3) ::rename(dir_.Path("src").c_str(), dir_.Path("unplugged").c_str());
  };
  EXPECT_EQ(Pass(), PassEnd::kFatalStop);
  EXPECT_EQ(dir_.Read(Dst("obsolete")), "must survive");
  EXPECT_EQ(engine_.current_pair(), 0);
  EXPECT_TRUE(host_.summaries.empty());  // nor a summary, nor the second pair
}

TEST_F(FaultTest, TemporariesLeftByACrashAreClearedAndNeverMirrored) {
  if (!dir_.SupportsUserAttributes()) GTEST_SKIP() << "no user extended attributes here";
  // What a copy killed mid-way leaves: a marked temporary.
  const auto debris = [&](const std::string& relative) {
    dir_.Write(relative, "half a copy");
    dir_.SetAttribute(relative, platform::kTemporaryMarkAttribute, "");
  };
  Make({"src/busy/", "dst/busy/", "src/quiet/", "dst/quiet/", "src/busy/new"});
  debris(Dst("busy/.vorn-tmp-17-000000000000abcd"));
  debris(Dst("quiet/.vorn-tmp-17-111111111111abcd"));
  debris(Src(".vorn-tmp-17-222222222222abcd"));
  MirrorSrcToDst({});
  EXPECT_EQ(dir_.Names(Dst("busy")), std::vector<std::string>{"new"});
  EXPECT_FALSE(dir_.Exists(Dst(".vorn-tmp-17-222222222222abcd")));
  EXPECT_EQ(counters().FilesSeen, 1);
  // A folder nothing was copied into keeps it until removal clears it.
  EXPECT_TRUE(dir_.Exists(Dst("quiet/.vorn-tmp-17-111111111111abcd")));
  MirrorSrcToDst({.Effacer = true});
  EXPECT_FALSE(dir_.Exists(Dst("quiet/.vorn-tmp-17-111111111111abcd")));
  EXPECT_EQ(counters().FilesRemoved, 0);  // debris is not one of the user's files
}

}  // namespace
}  // namespace vorn
