// The change watcher on real folders. The system queues an event before the
// call that caused it returns, so one Poll right after a change sees it.

#include "platform/change_watcher.h"

#include <cstdio>

#include <gtest/gtest.h>

#include "support/test_folder.h"

namespace vorn::platform {
namespace {

using testing::TestFolder;

// Polls until every folder has its watch: whether anything changed meanwhile,
// and the trees given up.
WatchNews Settle(ChangeWatcher& watcher) {
  WatchNews all;
  do {
    WatchNews news = watcher.Poll();
    all.changed |= news.changed;
    for (UnwatchedTree& tree : news.given_up) all.given_up.push_back(std::move(tree));
  } while (watcher.Arming());
  return all;
}

TEST(ChangeWatcherTest, ChangesAnywhereInTheTreeAreSeenFoldersMadeOrMovedLaterIncluded) {
  TestFolder dir;
  for (const char* folder : {"tree", "tree/a", "tree/a/b", "outside"}) dir.MakeFolder(folder);
  const auto watcher = MakeChangeWatcher();
  watcher->Watch({dir.Path("tree") + "/"}, true);
  EXPECT_FALSE(Settle(*watcher).changed);
  dir.Write("outside/f", "x");
  EXPECT_FALSE(watcher->Poll().changed);

  dir.Write("tree/a/b/f", "x");
  EXPECT_TRUE(watcher->Poll().changed);
  dir.MakeFolder("tree/a/new");
  EXPECT_TRUE(Settle(*watcher).changed);
  dir.MakeFolder("tree/a/new/deeper");
  EXPECT_TRUE(Settle(*watcher).changed);
  dir.Write("tree/a/new/deeper/f", "x");
  EXPECT_TRUE(watcher->Poll().changed);

  // Moved within the tree a folder stays watched; moved out it is dropped.
  ASSERT_EQ(std::rename(dir.Path("tree/a/new").c_str(), dir.Path("tree/moved").c_str()), 0);
  EXPECT_TRUE(Settle(*watcher).changed);
  dir.Write("tree/moved/deeper/g", "x");
  EXPECT_TRUE(watcher->Poll().changed);
  ASSERT_EQ(std::rename(dir.Path("tree/moved").c_str(), dir.Path("outside/moved").c_str()), 0);
  EXPECT_TRUE(Settle(*watcher).changed);
  dir.Write("outside/moved/deeper/h", "x");
  EXPECT_FALSE(watcher->Poll().changed);

  watcher->Watch({}, true);
  dir.Write("tree/a/g", "x");
  EXPECT_FALSE(watcher->Poll().changed);
}

// Out of watches, a tree is left to the timer and said so once.
TEST(ChangeWatcherTest, ATreeWithMoreFoldersThanWatchesIsGivenUpOnce) {
  TestFolder dir;
  for (const char* folder : {"small", "big", "big/a", "big/b"}) dir.MakeFolder(folder);
  const auto watcher = MakeChangeWatcher(3);
  watcher->Watch({dir.Path("small"), dir.Path("big")}, true);
  const std::vector<UnwatchedTree> given_up = Settle(*watcher).given_up;
  ASSERT_EQ(given_up.size(), 1u);
  EXPECT_EQ(given_up[0].root, dir.Path("big"));
  EXPECT_EQ(given_up[0].limit, "fs.inotify.max_user_watches");
  watcher->Watch({dir.Path("small"), dir.Path("big")}, true);
  dir.Write("big/a/f", "x");
  const WatchNews news = watcher->Poll();
  EXPECT_FALSE(news.changed);
  EXPECT_TRUE(news.given_up.empty());
  dir.Write("small/f", "x");
  EXPECT_TRUE(watcher->Poll().changed);
}

}  // namespace
}  // namespace vorn::platform
