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
using testing::Entries;
using FaultTest = testing::PairTest;

// The file system's own tests break a copy at each of its steps; here the
// pass neither counts nor logs a broken copy, copies the rest, and the next
// pass finishes it. A copy takes what its source held when it was opened:
// one that grows meanwhile is copied again, one a move deletes arrives whole.
TEST_F(FaultTest, ACopyBrokenOrOverrunMidWayKeepsWhatItWasToReplace) {
  LogFileNames();
  const std::string content(200 * 1024, 'n'), big = dir_.Path(Src("big"));
  Make({"src/big=" + content, "dst/big=previous", "src/small"});
  std::function<int()> midway = [] { return ENOSPC; };
  copy_fault_ = [&](CopyStep step, uint64_t offset) {
    return step == CopyStep::kContent && offset == 128 * 1024 ? midway() : 0;
  };
  MirrorSrcToDst({});
  EXPECT_EQ(Tree("dst"), (Entries{"dst/big=previous", "dst/small"}));
  EXPECT_EQ(Tally(), "seen=2 created=1");
  EXPECT_EQ(LogBody(), Entries{FileLine("Creation", "small")});
  midway = [&] {
    const int fd = ::open(big.c_str(), O_WRONLY | O_APPEND);
    EXPECT_EQ(::write(fd, "more", 4), 4);
    ::close(fd);
    return 0;
  };
  MirrorSrcToDst({});
  EXPECT_EQ(Tally(), "seen=2 modified=1");
  EXPECT_EQ(dir_.Read(Dst("big")), content);
  midway = [&] {
    EXPECT_EQ(::unlink(big.c_str()), 0);
    return 0;
  };
  MirrorSrcToDst({.Deplacer = true});
  EXPECT_EQ(Tally(), "seen=2 modified=1 removed=1");  // "small" only
  EXPECT_EQ(dir_.Read(Dst("big")), content + "more");
  EXPECT_TRUE(dir_.Names("src").empty());
}

// The copies after it fail; the pass goes on with the next pair.
TEST_F(FaultTest, ATargetRootRemovedMidPassFailsTheRestOfThePair) {
  for (int i = 0; i < 6; ++i) dir_.Write(Src("f" + std::to_string(i)), "x");
  AddDefaultPair();
  AddPair(dir_.Path("src"), dir_.Path("t"));
  dir_.MakeFolder("t");
  host_.on_yield = [&](int yields) {
    if (yields == 4) testing::RemoveTree(dir_.Path("dst"));
  };
  EXPECT_EQ(Pass(), PassEnd::kFinished);
  EXPECT_LT(engine_.counters().FilesCreated, 12);
  EXPECT_EQ(dir_.Names("t").size(), 6u);
}

TEST_F(FaultTest, ASourceRootRenamedBeforeRemovalEndsThePassAtOnceAndDeletesNothing) {
  settings_.ErreurDossier = settings_.Logs = true;
  settings_.Langue = kFrench;
  Make({"src/kept", "dst/obsolete"});
  AddDefaultPair().Effacer = "1";
  AddDefaultPair();
  // The mirror walk yields once per source entry: ".", "..", "kept".
  host_.on_yield = [&](int yields) {
    if (yields == 3) ::rename(dir_.Path("src").c_str(), dir_.Path("unplugged").c_str());
  };
  EXPECT_EQ(Pass(), PassEnd::kFatalStop);
  EXPECT_EQ(Tree("dst"), (Entries{"dst/kept", "dst/obsolete"}));
  EXPECT_EQ(engine_.current_pair(), 0);
  EXPECT_TRUE(host_.summaries.empty());  // nor a summary, nor the second pair
  EXPECT_EQ(host_.messages, Entries{"<b>10:15:02 - Effacement des fichiers obsolètes<br>Dossier "
                                    "source inconnu!<br>Arrêt du programme</b>"});
  EXPECT_EQ(LogBody().back(), host_.messages[0] + ": " + dir_.Path("src") + "/<br>");
}

}  // namespace
}  // namespace vorn
