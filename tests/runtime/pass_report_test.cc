// The JSON and terminal forms of what a pass reports: every byte a name can
// hold must come out as valid JSON, nothing lost, and harmless on a terminal.

#include "runtime/pass_report.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

TEST(PassReportTest, NamesOfAnyBytesBecomeValidJsonAndSafeTerminalText) {
  struct Case {
    std::string text;
    std::string json;       // the field `"p":...`
    std::string printable;  // what a terminal is given
  };
  const Case cases[] = {
      {"/a b", R"("p":"/a b")", "/a b"},
      {"q\"b\\s", R"("p":"q\"b\\s")", "q\"b\\s"},
      {"n\nt\t\x1b[2J", R"("p":"n\nt\t\u001b[2J")", "n?t??[2J"},
      {"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80", "\"p\":\"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\"",
       "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80"},
      {"\xc2\x9b" "1m", "\"p\":\"\xc2\x9b" "1m\"", "?1m"},  // a C1 control: valid, not shown
      {"a\xff", R"("p":"a\ufffd","p_hex":"61ff")", "a?"},
      {"\xc0\xaf", R"("p":"\ufffd\ufffd","p_hex":"c0af")", "??"},           // overlong "/"
      {"\xed\xa0\x80", R"("p":"\ufffd\ufffd\ufffd","p_hex":"eda080")", "???"},  // a surrogate
      {"\xf4\x90\x80\x80", R"("p":"\ufffd\ufffd\ufffd\ufffd","p_hex":"f4908080")", "????"},
      {"\xe2\x82", R"("p":"\ufffd\ufffd","p_hex":"e282")", "??"},  // cut short
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    EXPECT_EQ(JsonField("p", c.text), c.json);
    EXPECT_EQ(PrintableText(c.text), c.printable);
    EXPECT_EQ(IsValidUtf8(c.text), c.json.find("_hex") == std::string::npos);
  }
}

TEST(PassReportTest, EventsReadAsTheLogWordsThemAndFailuresGoToTheirOwnLine) {
  const PassEvent failed{PassEventKind::kFailed, PassEntry::kFile, 2, "/t/a", "open /s/a: denied"};
  EXPECT_EQ(JsonEventLine(failed),
            R"({"type":"failed","entry":"file","pair":2,"path":"/t/a","error":"open /s/a: denied"})");
  EXPECT_EQ(EventText(failed, kEnglish), "");
  EXPECT_EQ(FailureText(failed), "/t/a: open /s/a: denied");
  const PassEvent removed{PassEventKind::kRemoved, PassEntry::kFolder, 1, "/t/old", ""};
  EXPECT_EQ(JsonEventLine(removed), R"({"type":"removed","entry":"folder","pair":1,"path":"/t/old"})");
  EXPECT_EQ(EventText(removed, kEnglish), "Delete folder - /t/old");
  EXPECT_EQ(EventText({PassEventKind::kLocked, PassEntry::kFile, 1, "/s/x", ""}, kFrench),
            "Verrouillé (non copié) - /s/x");
  EXPECT_EQ(ByteCount(1023), "1023 B");
  EXPECT_EQ(ByteCount(uint64_t{3} << 29), "1.5 GiB");
}

}  // namespace
}  // namespace vorn
