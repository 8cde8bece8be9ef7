#include <gtest/gtest.h>

#include "shell/text.h"
#include "support/engine_fixture.h"

namespace vorn {
namespace {

using testing::EngineTest;

class RemoveObsoleteTest : public EngineTest {
 protected:
  RemoveObsoleteTest() { remove_.Effacer = true; }
  const MirrorCounters& counters() { return engine_.counters(); }
  PairContext remove_;
};

TEST_F(RemoveObsoleteTest, ObsoleteFilesGoEvenReadOnlyOnes) {
  dir_.Write(Src("keep"), "k");
  dir_.Write(Dst("keep"), "k");
  dir_.Write(Dst("gone"), "g", 0444);
  MirrorSrcToDst(remove_);
  EXPECT_EQ(dir_.Names("dst"), std::vector<std::string>{"keep"});
  EXPECT_EQ(counters().FilesRemoved, 1);
}

TEST_F(RemoveObsoleteTest, AnObsoleteFolderOfFilesGoesInOnePass) {
  dir_.MakeFolder(Dst("old"));
  dir_.Write(Dst("old/1"), "1");
  dir_.Write(Dst("old/2"), "2");
  MirrorSrcToDst(remove_);
  EXPECT_TRUE(dir_.Names("dst").empty());
  EXPECT_EQ(counters().FilesRemoved, 2);
  EXPECT_EQ(counters().FoldersRemoved, 1);
}

TEST_F(RemoveObsoleteTest, AnObsoleteTreeEmptiesFromTheBottomOverPasses) {
  dir_.MakeFolder(Dst("A"));
  dir_.MakeFolder(Dst("A/B"));
  dir_.MakeFolder(Dst("A/B/C"));
  dir_.Write(Dst("A/B/C/file"), "x");
  MirrorSrcToDst(remove_);
  EXPECT_EQ(counters().FilesRemoved, 1);
  EXPECT_EQ(counters().FoldersRemoved, 1);
  EXPECT_EQ(dir_.Names(Dst("A/B")), std::vector<std::string>{});
  MirrorSrcToDst(remove_);
  EXPECT_EQ(dir_.Names(Dst("A")), std::vector<std::string>{});
  MirrorSrcToDst(remove_);
  EXPECT_TRUE(dir_.Names("dst").empty());
  EXPECT_EQ(counters().FoldersRemoved, 1);
}

TEST_F(RemoveObsoleteTest, AFolderInTheSourceKeepsAFileOfTheSameNameInTheTarget) {
  dir_.MakeFolder(Src("name"));
  dir_.Write(Dst("name"), "a file where the source has a folder");
  engine_.SetPairContext(remove_);
  engine_.RemoveObsoleteEntries(dir_.Path("src"), dir_.Path("dst"));
  EXPECT_EQ(dir_.Read(Dst("name")), "a file where the source has a folder");
}

// Only "no such entry" lets a source entry count as gone: any other failure
// to open or list a source folder keeps its whole target subtree.
TEST_F(RemoveObsoleteTest, OnlyAnAbsentSourceMakesTargetEntriesObsolete) {
  const struct {
    platform::FsOperation operation;
    int code;
    bool removed;
  } cases[] = {
      {platform::FsOperation::kOpenFolderAt, ENOENT, true},
      {platform::FsOperation::kOpenFolderAt, EACCES, false},
      {platform::FsOperation::kOpenFolderAt, EIO, false},
      {platform::FsOperation::kOpenFolderAt, ELOOP, false},
      {platform::FsOperation::kOpenFolderAt, ENAMETOOLONG, false},
      {platform::FsOperation::kOpenFolderAt, ESTALE, false},
      {platform::FsOperation::kReadFolder, EACCES, false},
      {platform::FsOperation::kReadFolder, EIO, false},
  };
  dir_.MakeFolder(Src("sub"));
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(c.operation)) + " " + std::to_string(c.code));
    dir_.MakeFolder(Dst("sub"));
    dir_.MakeFolder(Dst("sub/deeper"));
    dir_.Write(Dst("sub/old"), "o");
    dir_.Write(Dst("sub/deeper/old"), "o");
    platform::FaultInjectingFileSystem faults(fs_);
    faults.FailFor(c.operation, dir_.Path(Src("sub")), c.code);
    MirrorEngine engine(MirrorEnvironment{faults, clock_, system_, settings_, pairs_, log_, host_,
                                          warnings_, {}, {}});
    engine.SetPairContext(remove_);
    engine.RemoveObsoleteEntries(dir_.Path("src"), dir_.Path("dst"));
    EXPECT_EQ(dir_.Exists(Dst("sub/old")), !c.removed);
    EXPECT_EQ(dir_.Exists(Dst("sub/deeper/old")), !c.removed);
    testing::RemoveTree(dir_.Path("dst/sub"));
  }
}

TEST_F(RemoveObsoleteTest, WithoutSubFoldersHiddenFilesAndFoldersStay) {
  settings_.MiroirSousDossiers = false;
  dir_.Write(Dst(".hidden"), "h");
  dir_.MakeFolder(Dst("folder"));
  dir_.Write(Dst("plain"), "p");
  MirrorSrcToDst(remove_);
  EXPECT_EQ(dir_.Names("dst"), (std::vector<std::string>{".hidden", "folder"}));
}

TEST_F(RemoveObsoleteTest, LinksAreDeletedNotWhatTheyPointTo) {
  dir_.MakeFolder("outside");
  dir_.Write("outside/keep", "k");
  dir_.MakeLink(Dst("link"), "../outside");
  MirrorSrcToDst(remove_);
  EXPECT_FALSE(dir_.Exists(Dst("link")));
  EXPECT_EQ(dir_.Read("outside/keep"), "k");
}

TEST_F(RemoveObsoleteTest, AVanishedSourceRootStopsEverythingAndDeletesNothing) {
  settings_.ErreurDossier = true;
  settings_.Logs = true;
  settings_.Langue = kFrench;
  log_.FixDay(clock_.Now());
  dir_.Write(Src("a"), "a");
  dir_.Write(Dst("a"), "a");
  dir_.Write(Dst("obsolete"), "precious");
  // The root goes away once the walk has opened both roots.
  fs_.FailNth(platform::FsOperation::kOpenFolder, 3, ENOENT);
  engine_.SetPairContext(remove_);
  EXPECT_FALSE(engine_.RemoveObsoleteEntries(dir_.Path("src"), dir_.Path("dst")));
  EXPECT_EQ(dir_.Read(Dst("obsolete")), "precious");
  EXPECT_EQ(counters().FilesRemoved, 0);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0],
            "<b>10:15:02 - Effacement des fichiers obsolètes<br>Dossier source inconnu!<br>Arrêt "
            "du programme</b>");
  EXPECT_EQ(LogBody().back(), host_.messages[0] + ": " + dir_.Path("src") + "/<br>");
}

TEST_F(RemoveObsoleteTest, AStopEndsTheRemovalAtTheNextEntry) {
  for (int i = 0; i < 5; ++i) dir_.Write(Dst("old" + std::to_string(i)), "x");
  host_.on_yield = [this](int yields) { host_.idle = yields >= 1; };
  engine_.SetPairContext(remove_);
  engine_.RemoveObsoleteEntries(dir_.Path("src"), dir_.Path("dst"));
  EXPECT_EQ(host_.yields, 1);
  EXPECT_GE(dir_.Names("dst").size(), 4u);
}

}  // namespace
}  // namespace vorn
