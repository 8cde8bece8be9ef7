#include "runtime/pass_report.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

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
