#include "base/strings.h"

#include <gtest/gtest.h>

#include <vector>

namespace vorn {
namespace {

TEST(StringsTest, TrimmingTakesOnlyTheBlanksAtTheEnds) {
  EXPECT_EQ(TrimBlanks(" \t a b \t"), "a b");
  EXPECT_EQ(TrimBlanks(" \t "), "");
  EXPECT_EQ(TrimBlanks("\ta ", " "), "\ta");
}

// Bytes of UTF-8 sequences must never change: a locale's case table would
// turn some of them into other characters or break the sequence.
TEST(StringsTest, CaseFoldingTouchesOnlyAsciiLetters) {
  EXPECT_EQ(AsciiUpper("abz[_`{@AZ 09 \xC3\xA9\xC3\x89"), "ABZ[_`{@AZ 09 \xC3\xA9\xC3\x89");
  EXPECT_EQ(AsciiLower("ABZ[_`{@az \xC3\x89"), "abz[_`{@az \xC3\x89");
  EXPECT_TRUE(EqualIgnoringAsciiCase("TEXTttxt", "textTTXT"));
  EXPECT_FALSE(EqualIgnoringAsciiCase("\xC3\xA9", "\xC3\x89"));
  EXPECT_FALSE(EqualIgnoringAsciiCase("abc", "abcd"));
}

std::vector<std::string> AllFields(std::string_view text, std::string_view delimiters) {
  QuotedFieldReader reader(text, delimiters);
  std::vector<std::string> fields;
  while (const auto field = reader.Next()) fields.emplace_back(*field);
  return fields;
}

TEST(StringsTest, QuotedFieldsKeepTheirContentAndBareFieldsAreTrimmed) {
  struct Case {
    std::string_view text;
    std::string_view delimiters;
    std::vector<std::string> fields;
  };
  const Case cases[] = {
      {" a b , \"c, d\" ,e", ",", {"a b", "c, d", "e"}},
      {"\"x\" ignored,y", ",", {"x", "y"}},
      {",,", ",", {"", ""}},
      {"\"unclosed, to the end", ",", {"unclosed, to the end"}},
      {"a\r\nb\rc\n\n", ",\r\n", {"a", "b", "c", ""}},
      {"\"two\r\nlines\",z", ",\r\n", {"two\r\nlines", "z"}},
      {"a\rb", ",", {"a\rb"}},
      {" \t", ",", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(AllFields(c.text, c.delimiters), c.fields) << c.text;
}

}  // namespace
}  // namespace vorn
