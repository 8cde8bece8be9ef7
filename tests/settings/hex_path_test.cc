#include "settings/hex_path.h"

#include <random>

#include <gtest/gtest.h>

namespace vorn {
namespace {

TEST(HexPathTest, WideFamilyWritesUtf16LittleEndianInUpperCase) {
  EXPECT_EQ(EncodeHexPath("C:\\"), "43003A005C00");
  EXPECT_EQ(EncodeHexPath(""), "");
  EXPECT_EQ(EncodeHexPath("/é"), "2F00E900");
  EXPECT_EQ(EncodeHexPath("\xF0\x9D\x84\x9E"), "34D81EDD");  // U+1D11E as a surrogate pair
  EXPECT_EQ(EncodeHexPath("\xFF"), "FFDC");                  // not UTF-8: escaped
}

TEST(HexPathTest, AnsiFamilyWritesOneBytePerCharacter) {
  EXPECT_EQ(EncodeHexPath("C:\\", PathFamily::kAnsi), "433A5C");
  EXPECT_EQ(*DecodeHexPath("433A5C", PathFamily::kAnsi), "C:\\");
  EXPECT_EQ(*DecodeHexPath("FF", PathFamily::kAnsi), "\xFF");
}

TEST(HexPathTest, DecodingRefusesWhatNoEncoderWrites) {
  EXPECT_EQ(*DecodeHexPath("43003a005c00"), "C:\\");       // lower case is read too
  EXPECT_FALSE(DecodeHexPath("43003A005C0").has_value());  // odd length
  EXPECT_FALSE(DecodeHexPath("4300ZZ00").has_value());
  EXPECT_FALSE(DecodeHexPath("430041").has_value());  // half a code unit
  EXPECT_FALSE(DecodeHexPath("43 00").has_value());
}

TEST(HexPathTest, UnpairedSurrogatesFromWindowsSurviveAsGeneralisedUtf8) {
  EXPECT_EQ(*DecodeHexPath("00D8"), "\xED\xA0\x80");
  EXPECT_EQ(*DecodeHexPath("05DC"), "\xED\xB0\x85");
}

TEST(HexPathTest, EveryByteStringRoundTrips) {
  std::mt19937 generator(20261204);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> length(0, 40);
  for (int round = 0; round < 5000; ++round) {
    std::string path;
    const int n = length(generator);
    for (int i = 0; i < n; ++i) path += static_cast<char>(byte(generator));
    const std::string hex = EncodeHexPath(path);
    ASSERT_EQ(hex.size() % 4, 0u);
    const auto back = DecodeHexPath(hex);
    ASSERT_TRUE(back.has_value());
    ASSERT_EQ(*back, path) << hex;
  }
  // Sequences near the edges of valid UTF-8.
  for (const std::string path : {"\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                                 "\xF0\x9F\x98\x80", "\xEF\xBF\xBF", "abc\xC3"}) {
    EXPECT_EQ(*DecodeHexPath(EncodeHexPath(path)), path);
  }
}

}  // namespace
}  // namespace vorn
