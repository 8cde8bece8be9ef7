#include "engine/update_rule.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

constexpr uint64_t kSecond = 10000000;
constexpr uint64_t kBase = 133590000000000000ull;  // a 2024 time
constexpr int32_t kTolerance = 10000000;

TEST(UpdateRuleTest, NewerOnlyWithoutToleranceCopiesStrictlyNewerSources) {
  EXPECT_TRUE(DecideUpdate(kBase + 1, kBase, 10, 10, true, false, kTolerance).due);
  EXPECT_FALSE(DecideUpdate(kBase, kBase, 10, 11, true, false, kTolerance).due);  // sizes ignored
  EXPECT_FALSE(DecideUpdate(kBase, kBase + kSecond, 10, 10, true, false, kTolerance).due);
  EXPECT_TRUE(DecideUpdate(kBase + kSecond / 2, kBase, 1, 1, true, false, kTolerance).due);
  EXPECT_FALSE(DecideUpdate(kBase + 1, kBase, 1, 1, true, false, kTolerance).time_delta);
}

TEST(UpdateRuleTest, NewerOnlyWithToleranceNeedsAWholeIntervalAndLogsTheSignedDelta) {
  const auto half = DecideUpdate(kBase + kSecond / 2, kBase, 1, 1, true, true, kTolerance);
  EXPECT_FALSE(half.due);
  const auto full = DecideUpdate(kBase + kSecond, kBase, 1, 1, true, true, kTolerance);
  EXPECT_TRUE(full.due);
  EXPECT_EQ(full.time_delta, static_cast<int64_t>(kSecond));
  const auto older = DecideUpdate(kBase, kBase + 5 * kSecond, 1, 2, true, true, kTolerance);
  EXPECT_FALSE(older.due);  // a newer target is never overwritten
  EXPECT_EQ(older.time_delta, -5 * static_cast<int64_t>(kSecond));
}

TEST(UpdateRuleTest, DifferentWithoutToleranceComparesTimeAndSize) {
  EXPECT_TRUE(DecideUpdate(kBase, kBase, 10, 11, false, false, kTolerance).due);
  EXPECT_FALSE(DecideUpdate(kBase, kBase, 10, 10, false, false, kTolerance).due);
  // Difference, not age: a newer target is overwritten too.
  EXPECT_TRUE(DecideUpdate(kBase, kBase + 1, 10, 10, false, false, kTolerance).due);
}

TEST(UpdateRuleTest, DifferentWithToleranceUsesTheDistance) {
  EXPECT_FALSE(DecideUpdate(kBase, kBase + kSecond / 2, 7, 7, false, true, kTolerance).due);
  const auto apart = DecideUpdate(kBase, kBase + 2 * kSecond, 7, 7, false, true, kTolerance);
  EXPECT_TRUE(apart.due);
  EXPECT_EQ(apart.time_delta, 2 * static_cast<int64_t>(kSecond));
  EXPECT_TRUE(DecideUpdate(kBase, kBase, 7, 8, false, true, kTolerance).due);
  // Times far apart in 64 bits still compare right.
  EXPECT_TRUE(DecideUpdate(kBase, 0, 7, 7, false, true, kTolerance).due);
}

}  // namespace
}  // namespace vorn
