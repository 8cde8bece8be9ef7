// The dates the log viewer lists, where it puts them and what removal does.

#include "logs/log_viewer.h"

#include <gtest/gtest.h>

#include "logs/daily_log.h"
#include "shell/text.h"
#include "support/test_folder.h"

namespace vorn {
namespace {

using testing::TestFolder;

TEST(LogViewerTest, DatesComeOldestFirstFromTheLogNamesOnly) {
  TestFolder dir;
  for (const char* name : {"Log Vorn 2024-05-01.htm", "Log Vorn 2024-05-02.htm",
                           "Log Vorn 2024-04-30.htm", "Log Vorn 2024-05-01 copy.htm",
                           "Log Vorn 2024-05-03.txt", "Journal 2024-05-04.htm", "notes.htm"}) {
    dir.Write(name, "<html>");
  }
  dir.MakeFolder("Log Vorn 2024-05-05.htm");  // a folder is no log
  const auto fs = platform::MakePosixFileSystem();
  EXPECT_EQ(ListLogDates(*fs, dir.path()),
            (std::vector<std::string>{"2024-04-30", "2024-05-01", "2024-05-01", "2024-05-02"}));
  // The copy's date opens the day's own log.
  EXPECT_EQ(LogPathForDate(dir.path(), "2024-05-01"), dir.Path("Log Vorn 2024-05-01.htm"));
  EXPECT_TRUE(ListLogDates(*fs, dir.Path("missing")).empty());
  // The working directory is never the log folder, whatever it holds.
  EXPECT_TRUE(ListLogDates(*fs, dir.RelativePath()).empty());
  EXPECT_TRUE(ListLogDates(*fs, "").empty());
}

TEST(LogViewerTest, FourDatesToARow) {
  EXPECT_EQ(DateLabelPlace(0).column, 0);
  EXPECT_EQ(DateLabelPlace(3).column, 3);
  EXPECT_EQ(DateLabelPlace(3).row, 0);
  EXPECT_EQ(DateLabelPlace(4).column, 0);
  EXPECT_EQ(DateLabelPlace(4).row, 1);
  EXPECT_EQ(DateLabelPlace(9).column, 1);
  EXPECT_EQ(DateLabelPlace(9).row, 2);
}

TEST(LogViewerTest, RemovalAsksByDateAndIgnoresWhatIsGone) {
  EXPECT_EQ(RemoveLogText("2024-05-01", kEnglish), "Remove Log '2024-05-01'");
  EXPECT_EQ(RemoveLogText("2024-05-01", kFrench), "Effacer le journal '2024-05-01'");
  EXPECT_EQ(RemoveLogText("2024-05-01", kPortuguese), "Suprimir o jornal '2024-05-01'");
  TestFolder dir;
  dir.Write("Log Vorn 2024-05-01.htm", "<html>");
  dir.Write("Log Vorn 2024-05-01 copy.htm", "<html>");
  const auto fs = platform::MakePosixFileSystem();
  DeleteLog(*fs, dir.path(), "2024-05-01");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"Log Vorn 2024-05-01 copy.htm"});
  DeleteLog(*fs, dir.path(), "2024-05-01");  // already gone: nothing happens
  DeleteLog(*fs, dir.Path("missing"), "2024-05-01");
  dir.Write("Log Vorn 2024-05-02.htm", "<html>");
  DeleteLog(*fs, dir.RelativePath(), "2024-05-02");  // never through the working directory
  EXPECT_EQ(dir.Names().size(), 2u);
}

}  // namespace
}  // namespace vorn
