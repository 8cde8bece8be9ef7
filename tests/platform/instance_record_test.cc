// One instance per application folder, and who holds it, learnt from outside
// as `vorn pair` and `vorn config` learn it; and the typed paths those
// commands make absolute.

#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/path.h"
#include "platform/system.h"
#include "support/test_folder.h"

namespace vorn::platform {
namespace {

using testing::TestFolder;

// A refused attempt, once gone, must not take the holder's lock with it nor
// touch its record; the record outlives its holder and means nothing then.
TEST(InstanceRecordTest, OneHolderPerFolderWhoseKindIsReadWhileItHolds) {
  using State = InstanceLock::State;
  const auto state = [](const std::string& folder) {
    return InstanceLock::TryAcquire(folder).state();
  };
  TestFolder dir, other;
  const std::string record = dir.Path("Vorn.lock");
  EXPECT_FALSE(FindInstanceHolder(dir.path(), record));
  EXPECT_EQ(state(dir.Path("missing")), State::kUnavailable);
  for (const InstanceKind kind : {InstanceKind::kWindow, InstanceKind::kOnce,
                                  InstanceKind::kHeadless, InstanceKind::kService}) {
    SCOPED_TRACE(std::string(InstanceKindWord(kind)));
    {
      InstanceLock first = InstanceLock::TryAcquire(dir.path(), record, kind);
      ASSERT_EQ(first.state(), State::kHeld);
      EXPECT_EQ(InstanceLock::TryAcquire(dir.path(), record, InstanceKind::kOnce).state(),
                State::kAlreadyRunning);
      EXPECT_EQ(state(other.path()), State::kHeld);
      const InstanceLock moved = std::move(first);
      EXPECT_EQ(state(dir.path()), State::kAlreadyRunning);
      const auto holder = FindInstanceHolder(dir.path(), record);
      ASSERT_TRUE(holder);
      EXPECT_EQ(holder->pid, ::getpid());
      EXPECT_EQ(holder->kind, kind);
    }
    EXPECT_TRUE(dir.Exists("Vorn.lock"));
    EXPECT_FALSE(FindInstanceHolder(dir.path(), record));
    EXPECT_EQ(state(dir.path()), State::kHeld);
  }
}

TEST(InstanceRecordTest, AHolderWithoutARecordIsStillFound) {
  TestFolder dir;
  dir.MakeFolder("Vorn.lock");  // no record can be written there
  const InstanceLock held =
      InstanceLock::TryAcquire(dir.path(), dir.Path("Vorn.lock"), InstanceKind::kHeadless);
  ASSERT_EQ(held.state(), InstanceLock::State::kHeld);
  const auto holder = FindInstanceHolder(dir.path(), dir.Path("Vorn.lock"));
  ASSERT_TRUE(holder);
  EXPECT_EQ(holder->pid, ::getpid());
  EXPECT_FALSE(holder->kind);  // a window, perhaps: callers take the careful view
}

TEST(AbsolutePathTest, TypedPathsBecomeCleanAbsoluteOnes) {
  char buffer[4096];
  ASSERT_NE(::getcwd(buffer, sizeof buffer), nullptr);
  const std::string here = buffer;
  const std::pair<std::string, std::string> cases[] = {
      {"/data//photos/./2024/", "/data/photos/2024"},
      {"/data/photos/../music", "/data/music"},
      {"/..", "/"},
      {"//server/share/x/", "//server/share/x"},
      {"sub/dir", JoinPath(here, "sub/dir")},
      {".", here},
      {"..", ParentFolder(here)},
  };
  for (const auto& [typed, absolute] : cases) {
    EXPECT_EQ(AbsolutePath(typed), absolute) << typed;
  }
}

}  // namespace
}  // namespace vorn::platform
