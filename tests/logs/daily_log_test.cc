// The daily log files, and the dates the log viewer lists from them.

#include "logs/daily_log.h"

#include <gtest/gtest.h>

#include "logs/log_viewer.h"
#include "base/text.h"
#include "support/engine_fixture.h"
#include "support/test_folder.h"

namespace vorn {
namespace {

class DailyLogTest : public ::testing::Test {
 protected:
  DailyLogTest() {
    settings_.PathLogs = dir_.path();
    settings_.DelaiLogs = 3;
  }
  void OldLogs(std::initializer_list<const char*> days) {
    for (const char* day : days) dir_.Write(std::string("Log Vorn ") + day + ".htm", "old");
  }
  void Open(const platform::LocalTime& day = {2024, 5, 1, 10, 15, 2, 3}) {
    log_.FixDay(day);
    log_.OpenDailyLog();
  }

  testing::TestFolder dir_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::MakePosixFileSystem();
  testing::FakeClock clock_;
  MirrorSettings settings_;
  DailyLog log_{*fs_, settings_, clock_, dir_.path()};
};

TEST(HtmlEscapeTest, MarkupCharactersBecomeEntitiesAndNothingElseChanges) {
  const struct {
    std::string_view text;
    std::string_view escaped;
  } cases[] = {
      {"", ""},
      {"/plain/path.txt", "/plain/path.txt"},
      {"<!-- hide", "&lt;!-- hide"},
      {"a&b \"c\">.txt", "a&amp;b &quot;c&quot;&gt;.txt"},
      {"&amp;", "&amp;amp;"},  // a name that looks escaped is shown as it is
      {"l'été\xff", "l'été\xff"},
  };
  for (const auto& c : cases) EXPECT_EQ(HtmlEscape(c.text), c.escaped) << c.text;
}

TEST_F(DailyLogTest, TheHeaderIsWrittenOncePerDayInTheLanguageAndNotAfterADeletion) {
  settings_.Langue = kFrench;
  Open();
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
  EXPECT_EQ(dir_.Read("Log Vorn 2024-05-01.htm"), "after\r\n");
  EXPECT_EQ(DailyLog::DailyLogName("/", {2025, 12, 31, 0, 0, 0, 3}), "/Log Vorn 2025-12-31.htm");
}

TEST_F(DailyLogTest, ThePurgeKeepsTheNewestAndLeavesOtherFilesAlone) {
  settings_.PurgeLogs = true;
  OldLogs({"2024-04-01", "2024-04-03", "2024-04-02", "2024-04-05", "2024-04-04"});
  dir_.Write("notes.htm", "mine");
  dir_.Write("Log Other 2024-01-01.htm", "other program");
  Open();
  EXPECT_EQ(dir_.Names(), (std::vector<std::string>{
                              "Log Other 2024-01-01.htm", "Log Vorn 2024-04-04.htm",
                              "Log Vorn 2024-04-05.htm", "Log Vorn 2024-05-01.htm", "notes.htm"}));
}

TEST_F(DailyLogTest, ThePurgeDeletesNothingAtTheLimitOrWhenOff) {
  settings_.PurgeLogs = true;
  OldLogs({"2024-04-01", "2024-04-02", "2024-04-03"});
  Open();
  EXPECT_EQ(dir_.Names().size(), 4u);
  settings_.PurgeLogs = false;
  OldLogs({"2024-04-04", "2024-04-05"});
  Open({2024, 5, 2, 0, 0, 0, 4});
  EXPECT_EQ(dir_.Names().size(), 7u);
}

TEST_F(DailyLogTest, AnUnusableLogFolderMeansTheApplicationFolder) {
  dir_.MakeFolder("logs");
  for (const std::string& path_logs :
       {std::string(), dir_.Path("gone"), dir_.RelativePath("logs"), dir_.Path("logs")}) {
    settings_.PathLogs = path_logs;
    Open();
  }
  EXPECT_TRUE(dir_.Exists("Log Vorn 2024-05-01.htm"));
  EXPECT_EQ(dir_.Names("logs"), std::vector<std::string>{"Log Vorn 2024-05-01.htm"});
  // A folder that vanishes between two passes sends the next one home.
  testing::RemoveTree(dir_.Path("logs"));
  log_.FixDay({2024, 5, 1, 10, 15, 2, 3});
  EXPECT_EQ(log_.current_file(), dir_.Path("Log Vorn 2024-05-01.htm"));
}

TEST_F(DailyLogTest, APassOverMidnightStaysInTheFileOfItsFirstDay) {
  clock_.times = {{2024, 5, 2, 0, 0, 3, 4}};
  Open({2024, 5, 1, 23, 59, 58, 3});
  log_.AppendLogLine("late");
  EXPECT_TRUE(dir_.Exists("Log Vorn 2024-05-01.htm"));
  EXPECT_FALSE(dir_.Exists("Log Vorn 2024-05-02.htm"));
}

TEST_F(DailyLogTest, TheViewerListsDatesOldestFirstFromTheLogNamesOnly) {
  for (const char* name : {"Log Vorn 2024-05-01.htm", "Log Vorn 2024-05-02.htm",
                           "Log Vorn 2024-04-30.htm", "Log Vorn 2024-05-01 copy.htm",
                           "Log Vorn 2024-05-03.txt", "Journal 2024-05-04.htm", "notes.htm"}) {
    dir_.Write(name, "<html>");
  }
  dir_.MakeFolder("Log Vorn 2024-05-05.htm");  // a folder is no log
  EXPECT_EQ(ListLogDates(*fs_, dir_.path()),
            (std::vector<std::string>{"2024-04-30", "2024-05-01", "2024-05-01", "2024-05-02"}));
  // The copy's date opens the day's own log.
  EXPECT_EQ(LogPathForDate(dir_.path(), "2024-05-01"), dir_.Path("Log Vorn 2024-05-01.htm"));
  EXPECT_TRUE(ListLogDates(*fs_, dir_.Path("missing")).empty());
  // The working directory is never the log folder, whatever it holds.
  EXPECT_TRUE(ListLogDates(*fs_, dir_.RelativePath()).empty());
  EXPECT_TRUE(ListLogDates(*fs_, "").empty());
  const struct { int index, row, column; } places[] = {{3, 0, 3}, {4, 1, 0}, {9, 2, 1}};
  for (const auto& p : places) {  // four dates to a row
    EXPECT_EQ(DateLabelPlace(p.index).row, p.row) << p.index;
    EXPECT_EQ(DateLabelPlace(p.index).column, p.column) << p.index;
  }
}

TEST_F(DailyLogTest, TheViewerRemovesByDateAndIgnoresWhatIsGone) {
  EXPECT_EQ(RemoveLogText("2024-05-01", kFrench), "Effacer le journal '2024-05-01'");
  EXPECT_EQ(RemoveLogText("2024-05-01", kPortuguese), "Suprimir o jornal '2024-05-01'");
  dir_.Write("Log Vorn 2024-05-01.htm", "<html>");
  dir_.Write("Log Vorn 2024-05-01 copy.htm", "<html>");
  DeleteLog(*fs_, dir_.path(), "2024-05-01");
  EXPECT_EQ(dir_.Names(), std::vector<std::string>{"Log Vorn 2024-05-01 copy.htm"});
  DeleteLog(*fs_, dir_.path(), "2024-05-01");  // already gone: nothing happens
  DeleteLog(*fs_, dir_.Path("missing"), "2024-05-01");
  dir_.Write("Log Vorn 2024-05-02.htm", "<html>");
  DeleteLog(*fs_, dir_.RelativePath(), "2024-05-02");  // never through the working directory
  EXPECT_EQ(dir_.Names().size(), 2u);
}

}  // namespace
}  // namespace vorn
