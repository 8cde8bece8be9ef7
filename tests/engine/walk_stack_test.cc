#include "engine/walk_stack.h"

#include <gtest/gtest.h>

#include "support/engine_fixture.h"
#include "support/test_folder.h"

namespace vorn {
namespace {

using testing::EngineTest;
using testing::TestFolder;

TEST(WalkStackTest, KeepsOnlyTheWindowOpenAndReopensOnTheWayBack) {
  TestFolder dir;
  dir.MakeFolder("s");
  dir.MakeFolder("t");
  std::string relative;
  for (int i = 0; i < 12; ++i) {
    relative += "/d" + std::to_string(i);
    dir.MakeFolder("s" + relative);
    dir.MakeFolder("t" + relative);
  }
  const auto fs = platform::MakePosixFileSystem();
  WalkStack walk(*fs, dir.Path("s"), dir.Path("t"), 3);
  for (int i = 0; i < 12; ++i) {
    walk.Descend("d" + std::to_string(i));
    EXPECT_LE(walk.open_folders(), 2u * (3 + 1));
    ASSERT_NE(walk.Source(), nullptr);
  }
  EXPECT_EQ(walk.SourcePath(), dir.Path("s" + relative));
  for (int i = 11; i > 0; --i) {
    walk.Ascend();
    const platform::Folder* source = walk.Source();
    ASSERT_NE(source, nullptr) << i;
    EXPECT_EQ(source->path(), walk.SourcePath());
    EXPECT_TRUE(fs->LookupAt(*source, "d" + std::to_string(i)).ok());
    EXPECT_LE(walk.open_folders(), 2u * (3 + 1));
  }
  walk.Ascend();
  EXPECT_EQ(walk.depth(), 0u);
  EXPECT_EQ(walk.TargetPath(), dir.Path("t"));
}

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

class DeepTreeTest : public EngineTest {};

TEST_F(DeepTreeTest, ATreeFarDeeperThanTheWindowMirrorsAndEmptiesCorrectly) {
  std::string relative;
  for (int i = 0; i < 150; ++i) {
    relative += "/n";
    dir_.MakeFolder("src" + relative);
    dir_.Write("src" + relative + "/f", std::to_string(i));
  }
  PairContext context;
  MirrorSrcToDst(context);
  EXPECT_EQ(engine_.counters().FoldersCreated, 150);
  EXPECT_EQ(engine_.counters().FilesCreated, 150);
  EXPECT_EQ(dir_.Read("dst" + relative + "/f"), "149");

  context.Deplacer = true;
  MirrorSrcToDst(context);
  EXPECT_EQ(engine_.counters().FilesRemoved, 150);
  EXPECT_EQ(engine_.counters().FoldersRemoved, 150);
  EXPECT_TRUE(dir_.Names("src").empty());
}

}  // namespace
}  // namespace vorn
