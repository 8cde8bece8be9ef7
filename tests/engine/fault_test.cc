// What a pass keeps, counts and logs when the disk, the network or another
// program gets in the way. Simpler faults are rows of the tree table.

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "engine/pair_test.h"
#include "platform/posix_file_system.h"

namespace vorn {
namespace {

using platform::CopyStep;
using FaultTest = testing::PairTest;

// Every step of a breaking copy is tried at the file system's level; here,
// that the pass neither counts nor logs it, copies the rest, and that the
// next pass finishes it.
TEST_F(FaultTest, ACopyBrokenMidWayKeepsTheTargetItWasToReplace) {
  LogFileNames();
  const std::string content(200 * 1024, 'n');
  Make({"src/big=" + content, "dst/big=previous", "src/small"});
  copy_fault_ = [](CopyStep step, uint64_t offset) {
    return step == CopyStep::kContent && offset == 128 * 1024 ? ENOSPC : 0;
  };
  MirrorSrcToDst({});
  EXPECT_EQ(Tree("dst"), (std::vector<std::string>{"dst/big=previous", "dst/small"}));
  EXPECT_EQ(Tally(), "seen=2 created=1");
  EXPECT_EQ(LogBody(),
            std::vector<std::string>{"<small>Creation - " + T("small") + "</small><br>"});
  copy_fault_ = nullptr;
  MirrorSrcToDst({});
  EXPECT_EQ(Tally(), "seen=2 modified=1");
  EXPECT_EQ(dir_.Read(Dst("big")), content);
}

// A copy reads what the source held when it was opened.
TEST_F(FaultTest, ASourceChangedDuringItsCopyArrivesWholeAndIsCopiedAgainNextPass) {
  const std::string content(256 * 1024, 'a'), path = dir_.Path(Src("f"));
  dir_.Write(Src("f"), content);
  int copies = 0;
  copy_fault_ = [&](CopyStep step, uint64_t offset) {
    if (step != CopyStep::kContent || offset != 64 * 1024) return 0;
    if (++copies == 1) {
      const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND);
      EXPECT_EQ(::write(fd, "more", 4), 4);
      ::close(fd);
    } else {
      ::unlink(path.c_str());
    }
    return 0;
  };
  MirrorSrcToDst({});
  EXPECT_EQ(dir_.Read(Dst("f")), content);
  // In a move the source goes during the copy: nothing is left to remove.
  MirrorSrcToDst({.Deplacer = true});
  EXPECT_EQ(Tally(), "seen=1 modified=1");
  EXPECT_EQ(dir_.Read(Dst("f")), content + "more");
  EXPECT_FALSE(dir_.Exists(Src("f")));
}

TEST_F(FaultTest, ATargetRootRemovedMidPassFailsTheRestAndIsReportedNextPass) {
  settings_.ErreurDossier = true;
  for (int i = 0; i < 6; ++i) dir_.Write(Src("f" + std::to_string(i)), "x");
  AddDefaultPair();
  host_.on_yield = [&](int yields) {
    if (yields == 4) testing::RemoveTree(dir_.Path("dst"));
  };
  EXPECT_EQ(Pass(), PassEnd::kFinished);
  EXPECT_LT(engine_.counters().FilesCreated, 6);
  host_.on_yield = nullptr;
  Pass();
  EXPECT_EQ(Tally(), "pairs=1 bad-targets=1");
  EXPECT_EQ(host_.messages.back(), "10:15:02 - Unknown target folder");
}

TEST_F(FaultTest, ASourceRootRenamedBeforeRemovalEndsThePassAtOnceAndDeletesNothing) {
  Make({"src/kept", "dst/obsolete"});
  AddDefaultPair().Effacer = "1";
  AddDefaultPair();
  // The mirror walk yields once per source entry: ".", "..", "kept".
  host_.on_yield = [&](int yields) {
    if (yields == 3) ::rename(dir_.Path("src").c_str(), dir_.Path("unplugged").c_str());
  };
  EXPECT_EQ(Pass(), PassEnd::kFatalStop);
  EXPECT_TRUE(dir_.Exists(Dst("obsolete")));
  EXPECT_EQ(engine_.current_pair(), 0);
  EXPECT_TRUE(host_.summaries.empty());  // nor a summary, nor the second pair
}

TEST_F(FaultTest, TemporariesLeftByACrashAreClearedAndNeverMirrored) {
  if (!dir_.SupportsUserAttributes()) GTEST_SKIP() << "no user extended attributes here";
  const std::string busy = "dst/busy/.vorn-tmp-17-000000000000abcd",
                    quiet = "dst/quiet/.vorn-tmp-17-111111111111abcd",
                    source = "src/.vorn-tmp-17-222222222222abcd";
  Make({"src/busy/", "dst/busy/", "src/quiet/", "dst/quiet/", "src/busy/new", busy, quiet, source});
  // What a copy killed mid-way leaves: marked temporaries.
  for (const std::string& debris : {busy, quiet, source}) {
    dir_.SetAttribute(debris, platform::kTemporaryMarkAttribute, "");
  }
  MirrorSrcToDst({});
  EXPECT_EQ(Tally(), "seen=1 created=1");
  // A folder nothing was copied into keeps it until removal clears it.
  EXPECT_EQ(Tree("dst"),
            (std::vector<std::string>{"dst/busy/", "dst/busy/new", "dst/quiet/", quiet}));
  MirrorSrcToDst({.Effacer = true});
  EXPECT_FALSE(dir_.Exists(quiet));
  EXPECT_EQ(Tally(), "seen=1");  // debris is not one of the user's files
}

}  // namespace
}  // namespace vorn
