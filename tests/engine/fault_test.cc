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
  EXPECT_EQ(Tree("dst"), (Entries{"dst/big=previous", "dst/small"}));
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
