#include "logs/daily_log.h"

#include <gtest/gtest.h>

#include "shell/text.h"
#include "support/engine_fixture.h"
#include "support/test_folder.h"

namespace vorn {
namespace {

using testing::FakeClock;
using testing::RemoveTree;
using testing::TestFolder;

class DailyLogTest : public ::testing::Test {
 protected:
  DailyLogTest() {
    settings_.PathLogs = dir_.path();
    settings_.DelaiLogs = 3;
  }
  void OldLogs(std::initializer_list<const char*> days) {
    for (const char* day : days) dir_.Write(std::string("Log Vorn ") + day + ".htm", "old");
  }

  TestFolder dir_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::MakePosixFileSystem();
  FakeClock clock_;
  MirrorSettings settings_;
  DailyLog log_{*fs_, settings_, clock_, dir_.path()};
  const platform::LocalTime may1_{2024, 5, 1, 10, 15, 2, 3};
};

TEST(HtmlEscapeTest, MarkupCharactersBecomeEntitiesAndNothingElseChanges) {
  const struct {
    std::string_view text;
    std::string_view escaped;
  } cases[] = {
      {"", ""},
      {"/plain/path.txt", "/plain/path.txt"},
      {"<!-- hide", "&lt;!-- hide"},
      {"<script>alert(1)</script>.txt", "&lt;script&gt;alert(1)&lt;/script&gt;.txt"},
      {"a&b \"c\".txt", "a&amp;b &quot;c&quot;.txt"},
      {"&amp;", "&amp;amp;"},  // a name that looks escaped is shown as it is
      {"l'été\xff", "l'été\xff"},
  };
  for (const auto& c : cases) EXPECT_EQ(HtmlEscape(c.text), c.escaped) << c.text;
}

TEST_F(DailyLogTest, NamesCarryTheDate) {
  EXPECT_EQ(DailyLog::DailyLogName("/logs", {2024, 5, 1, 0, 0, 0, 3}),
            "/logs/Log Vorn 2024-05-01.htm");
  EXPECT_EQ(DailyLog::DailyLogName("/", {2025, 12, 31, 0, 0, 0, 3}), "/Log Vorn 2025-12-31.htm");
}

TEST_F(DailyLogTest, TheHeaderIsWrittenOncePerDayInTheLanguage) {
  settings_.Langue = kFrench;
  log_.FixDay(may1_);
  log_.OpenDailyLog();
  log_.AppendLogLine("one");
  log_.OpenDailyLog();
  log_.AppendLogLine("two");
  EXPECT_EQ(dir_.Read("Log Vorn 2024-05-01.htm"),
            "<html>\r\n<head><meta charset=\"utf-8\">\r\n"
            "<title>Logs Vorn</title>\r\n</head>\r\n<body>\r\n"
            "<b><center><h1>Journal des opérations de miroir</h1></center></b>\r\n"
            "<center><h3>Wednesday, May 01, 2024</h3></center>\r\none\r\ntwo\r\n");
}

TEST_F(DailyLogTest, AFileDeletedDuringAPassComesBackWithoutHeader) {
  log_.FixDay(may1_);
  log_.OpenDailyLog();
  ASSERT_TRUE(fs_->DeleteFile(log_.current_file()).ok());
  log_.AppendLogLine("after");
  EXPECT_EQ(dir_.Read("Log Vorn 2024-05-01.htm"), "after\r\n");
}

TEST_F(DailyLogTest, ThePurgeKeepsTheNewestAndLeavesOtherFilesAlone) {
  settings_.PurgeLogs = true;
  OldLogs({"2024-04-01", "2024-04-03", "2024-04-02", "2024-04-05", "2024-04-04"});
  dir_.Write("notes.htm", "mine");
  dir_.Write("Log Other 2024-01-01.htm", "other program");
  log_.FixDay(may1_);
  log_.OpenDailyLog();
  EXPECT_EQ(dir_.Names(), (std::vector<std::string>{
                              "Log Other 2024-01-01.htm", "Log Vorn 2024-04-04.htm",
                              "Log Vorn 2024-04-05.htm", "Log Vorn 2024-05-01.htm", "notes.htm"}));
}

TEST_F(DailyLogTest, ThePurgeDeletesNothingAtTheLimitOrWhenOff) {
  settings_.PurgeLogs = true;
  OldLogs({"2024-04-01", "2024-04-02", "2024-04-03"});
  log_.FixDay(may1_);
  log_.OpenDailyLog();
  EXPECT_EQ(dir_.Names().size(), 4u);

  settings_.PurgeLogs = false;
  OldLogs({"2024-04-04", "2024-04-05"});
  log_.FixDay({2024, 5, 2, 0, 0, 0, 4});
  log_.OpenDailyLog();
  EXPECT_EQ(dir_.Names().size(), 7u);
}

TEST_F(DailyLogTest, AnUnusableLogFolderMeansTheApplicationFolder) {
  dir_.MakeFolder("logs");
  for (const std::string& path_logs :
       {std::string(), dir_.Path("gone"), dir_.RelativePath("logs"), dir_.Path("logs")}) {
    settings_.PathLogs = path_logs;
    log_.FixDay(may1_);
    log_.OpenDailyLog();
  }
  EXPECT_TRUE(dir_.Exists("Log Vorn 2024-05-01.htm"));
  EXPECT_EQ(dir_.Names("logs"), std::vector<std::string>{"Log Vorn 2024-05-01.htm"});
  // A folder that vanishes between two passes sends the next one home.
  RemoveTree(dir_.Path("logs"));
  settings_.PathLogs = dir_.Path("logs");
  log_.FixDay(may1_);
  EXPECT_EQ(log_.current_file(), dir_.Path("Log Vorn 2024-05-01.htm"));
}

TEST_F(DailyLogTest, APassOverMidnightStaysInTheFileOfItsFirstDay) {
  log_.FixDay({2024, 5, 1, 23, 59, 58, 3});
  clock_.times = {{2024, 5, 2, 0, 0, 3, 4}};
  log_.OpenDailyLog();
  log_.AppendLogLine("late");
  EXPECT_TRUE(dir_.Exists("Log Vorn 2024-05-01.htm"));
  EXPECT_FALSE(dir_.Exists("Log Vorn 2024-05-02.htm"));
}

}  // namespace
}  // namespace vorn
