#include "settings/number_reading.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

TEST(NumberReadingTest, TakesTheLeadingNumberOfAText) {
  EXPECT_EQ(LeadingNumber("25 s"), 25);
  EXPECT_EQ(LeadingNumber("12abc"), 12);
  EXPECT_EQ(LeadingNumber("abc"), 0);
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("  -7"), -7);
  EXPECT_EQ(LeadingNumber("+3"), 3);
  EXPECT_EQ(LeadingNumber("2.5 seconds"), 2.5);
  EXPECT_EQ(LeadingNumber(".5"), 0.5);
  EXPECT_EQ(LeadingNumber("1e3"), 1000);
  EXPECT_EQ(LeadingNumber("1e"), 1);
  EXPECT_EQ(LeadingNumber("-"), 0);
  EXPECT_EQ(LeadingNumber("0x1F"), 0);
  EXPECT_EQ(LeadingNumber("inf"), 0);
}

TEST(NumberReadingTest, RoundsHalvesToTheEvenNeighbour) {
  EXPECT_EQ(ReadInteger("2.5"), 2);
  EXPECT_EQ(ReadInteger("3.5"), 4);
  EXPECT_EQ(ReadInteger("-2.5"), -2);
  EXPECT_EQ(ReadInteger("2.51"), 3);
  EXPECT_EQ(ReadInteger("0.4999"), 0);
}

TEST(NumberReadingTest, ClampsToTheRangeOfTheType) {
  EXPECT_EQ(ReadInteger("100000"), 32767);
  EXPECT_EQ(ReadInteger("-100000"), -32768);
  EXPECT_EQ(ReadLong("99999999999"), 2147483647);
  EXPECT_EQ(ReadLong("1e999"), 2147483647);
  EXPECT_EQ(ReadLong("1e-999"), 0);
  EXPECT_EQ(ReadLong("64000"), 64000);
}

}  // namespace
}  // namespace vorn
