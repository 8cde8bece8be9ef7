// The daily log files, and the dates the log viewer lists from them.

#include "logs/daily_log.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "logs/log_viewer.h"
#include "support/engine_fixture.h"
#include "support/test_folder.h"

namespace vorn {
namespace {

using Names = std::vector<std::string>;

class DailyLogTest : public ::testing::Test {
 protected:
  DailyLogTest() {
    settings_.PathLogs = dir_.path();
    settings_.DelaiLogs = 3;
  }
  void Open(const platform::LocalTime& day = {2024, 5, 1, 10, 15, 2, 3}) {
    log_.FixDay(day);
    log_.OpenDailyLog();
  }
  void Write(const Names& names) {
    for (const std::string& name : names) dir_.Write(name, "<html>");
  }

  testing::TestFolder dir_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::MakePosixFileSystem();
  testing::FakeClock clock_;
  MirrorSettings settings_;
  DailyLog log_{*fs_, settings_, clock_, dir_.path()};
};

// A name that looks escaped already is shown as it is.
TEST(HtmlEscapeTest, MarkupCharactersBecomeEntitiesAndNothingElseChanges) {
  EXPECT_EQ(HtmlEscape("<!-- a&b \"&amp;\"> l'été\xff"),
            "&lt;!-- a&amp;b &quot;&amp;amp;&quot;&gt; l'été\xff");
}

// The day is fixed when the pass starts: one over midnight stays in the file
// of its first day.
TEST_F(DailyLogTest, TheHeaderIsWrittenOncePerDayInTheLanguageAndNotAfterADeletion) {
  settings_.Langue = kFrench;
  clock_.times.push_back({2024, 5, 2, 0, 0, 3, 4});
  Open({2024, 5, 1, 23, 59, 58, 3});
  log_.AppendLogLine("one");
  log_.OpenDailyLog();
  log_.AppendLogLine("two");
  EXPECT_EQ(dir_.Read("Log Vorn 2024-05-01.htm"),
            "<html>\r\n<head><meta charset=\"utf-8\">\r\n"
            "<title>Logs Vorn</title>\r\n</head>\r\n<body>\r\n"
            "<b><center><h1>Journal des opérations de miroir</h1></center></b>\r\n"
            "<center><h3>Wednesday, May 01, 2024</h3></center>\r\none\r\ntwo\r\n");
  // A file deleted during a pass comes back without its header.
  ASSERT_TRUE(fs_->DeleteFile(log_.current_file()).ok());
  log_.AppendLogLine("after");
  EXPECT_EQ(dir_.Names(), Names{"Log Vorn 2024-05-01.htm"});
  EXPECT_EQ(dir_.Read("Log Vorn 2024-05-01.htm"), "after\r\n");
}

// Only at the creation of a day's log, which takes one of the places kept.
TEST_F(DailyLogTest, ThePurgeKeepsTheNewestLogsAndLeavesOtherFilesAlone) {
  settings_.PurgeLogs = true;
  Write({"Log Vorn 2024-04-01.htm", "Log Vorn 2024-04-03.htm", "Log Vorn 2024-04-02.htm",
         "notes.htm", "Log Other 2024-01-01.htm"});
  Open();  // at the limit: nothing goes
  EXPECT_EQ(dir_.Names().size(), 6u);
  Write({"Log Vorn 2024-04-05.htm", "Log Vorn 2024-04-04.htm"});
  Open({2024, 5, 2, 0, 0, 0, 4});
  EXPECT_EQ(dir_.Names(),
            (Names{"Log Other 2024-01-01.htm", "Log Vorn 2024-04-05.htm", "Log Vorn 2024-05-01.htm",
                   "Log Vorn 2024-05-02.htm", "notes.htm"}));
  settings_.PurgeLogs = false;
  Write({"Log Vorn 2024-04-01.htm", "Log Vorn 2024-04-02.htm"});
  Open({2024, 5, 3, 0, 0, 0, 5});
  EXPECT_EQ(dir_.Names().size(), 8u);
}

// Which log folders are usable is the settings' rule; the log asks it again at
// every pass, so a folder that vanishes between two passes sends the next home.
TEST_F(DailyLogTest, TheLogFolderIsCheckedAgainAtEveryPass) {
  dir_.MakeFolder("logs");
  settings_.PathLogs = dir_.Path("logs");
  Open();
  EXPECT_EQ(dir_.Names("logs"), Names{"Log Vorn 2024-05-01.htm"});
  testing::RemoveTree(dir_.Path("logs"));
  log_.FixDay({2024, 5, 1, 10, 15, 2, 3});
  EXPECT_EQ(log_.current_file(), dir_.Path("Log Vorn 2024-05-01.htm"));
}

// The working directory is never the log folder, whatever it holds.
TEST_F(DailyLogTest, TheViewerListsAndRemovesByTheLogNamesOnly) {
  Write({"Log Vorn 2024-05-01.htm", "Log Vorn 2024-05-02.htm", "Log Vorn 2024-04-30.htm",
         "Log Vorn 2024-05-01 copy.htm", "Log Vorn 2024-05-03.txt", "Journal 2024-05-04.htm"});
  dir_.MakeFolder("Log Vorn 2024-05-05.htm");  // a folder is no log
  EXPECT_EQ(ListLogDates(*fs_, dir_.path()),
            (Names{"2024-04-30", "2024-05-01", "2024-05-01", "2024-05-02"}));
  for (const std::string& elsewhere : {dir_.Path("missing"), dir_.RelativePath(), std::string()}) {
    EXPECT_TRUE(ListLogDates(*fs_, elsewhere).empty()) << elsewhere;
    DeleteLog(*fs_, elsewhere, "2024-05-02");
  }
  DeleteLog(*fs_, dir_.path(), "2024-05-01");
  DeleteLog(*fs_, dir_.path(), "2024-05-01");  // already gone: nothing happens
  EXPECT_EQ(ListLogDates(*fs_, dir_.path()), (Names{"2024-04-30", "2024-05-01", "2024-05-02"}));
  EXPECT_EQ(RemoveLogText("2024-05-01", kFrench), "Effacer le journal '2024-05-01'");
  EXPECT_EQ(RemoveLogText("2024-05-01", kPortuguese), "Suprimir o jornal '2024-05-01'");
  const DatePlace tenth = DateLabelPlace(9);  // four dates to a row
  EXPECT_EQ(std::pair(tenth.row, tenth.column), std::pair(2, 1));
}

}  // namespace
}  // namespace vorn
