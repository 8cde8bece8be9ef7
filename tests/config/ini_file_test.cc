#include "config/ini_file.h"

#include <array>

#include <gtest/gtest.h>

#include "platform/fault_injecting_file_system.h"
#include "support/test_folder.h"

namespace vorn {
namespace {

using testing::TestFolder;

class IniFileTest : public ::testing::Test {
 protected:
  TestFolder dir_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::MakePosixFileSystem();
  IniFile ini_{*fs_, dir_.Path("Vorn.ini")};
};

// Each file is written over the last one, so a read that trusted what it
// parsed before would see stale values.
TEST_F(IniFileTest, ReadsFollowThePrivateProfileRules) {
  std::string garbage = "[Configuration\nno equals sign\n\x01\x02\xff=\xfe\n=value without key\n";
  garbage += std::string("\0\0", 2) + "\nLangue=2\n";
  const struct {
    std::string text;
    std::vector<std::array<std::string, 3>> reads;  // section, key, value
  } cases[] = {
      {"[Configuration]\r\nLangue=\r\nOther=1\r\n",
       {{"Configuration", "Langue", ""}, {"Configuration", "Missing", ""}, {"Logs", "Other", ""},
        {"Configuration", "Other", "1"}}},
      {"; comment=ignored\nstray=before any section\n  [ configuration ]  \n  LANGUE  =  2  \n"
       "Message = \"Warning, quoted\"\nHalf = \"only one quote\nInner = a \"b\" c\n",
       {{"CONFIGURATION", "langue", "2"}, {"Configuration", "Message", "Warning, quoted"},
        {"Configuration", "Half", "\"only one quote"}, {"Configuration", "Inner", "a \"b\" c"},
        {"", "stray", ""}}},
      {garbage, {{"Configuration", "Langue", "2"}, {"Configuration", "", ""}}},
      {"[Logs]\nPathLogs=" + std::string(300, 'v') + "\n",
       {{"Logs", "PathLogs", std::string(254, 'v')}}},
      // A character that straddles the cut is dropped whole.
      {"[Logs]\nPathLogs=" + std::string(253, 'v') + "é\n",
       {{"Logs", "PathLogs", std::string(253, 'v')}}},
      {"[A]\nk=1\nk=2\n[A]\nk=3\nj=4\n", {{"A", "k", "1"}, {"A", "j", ""}}},
      {"[Logs]\r\nLogs=1\r", {{"Logs", "Logs", "1"}}},
  };
  EXPECT_EQ(ini_.Read("Configuration", "Langue"), "");  // no file
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 40));
    dir_.Write("Vorn.ini", c.text);
    for (const auto& [section, key, value] : c.reads) {
      EXPECT_EQ(ini_.Read(section, key), value) << section << "/" << key;
    }
  }
}

// Every other byte of the file is kept; each file is again written by hand
// over the one the previous case wrote.
TEST_F(IniFileTest, WritesChangeOnlyTheirKey) {
  ASSERT_TRUE(ini_.Write("Configuration", "Langue", "3"));  // the first write makes the file
  EXPECT_EQ(dir_.Read("Vorn.ini"), "[Configuration]\nLangue=3\n");
  const struct {
    std::string before;
    std::vector<IniFile::Change> changes;
    std::string after;
    mode_t mode = 0644;
  } cases[] = {
      {"; hand-written notes\r\n[Configuration]\r\nLangue=1\r\n  Temporisation = 25 s\r\n"
       "UnknownKey=keep me\r\n\r\n[Logs]\r\nLogs=1",  // no final line end
       {{"configuration", "TEMPORISATION", "30"}},
       "; hand-written notes\r\n[Configuration]\r\nLangue=1\r\nTemporisation=30\r\n"
       "UnknownKey=keep me\r\n\r\n[Logs]\r\nLogs=1"},
      {"[Configuration]\r\nLangue=1\r\n\r\n[Logs]\r\nLogs=1",
       {{"Configuration", "Automatique", "1"}, {"Logs", "PurgeLogs", "0"},
        {"Mirror_1", "Enable", "1"}},
       "[Configuration]\r\nLangue=1\r\nAutomatique=1\r\n\r\n[Logs]\r\nLogs=1\r\nPurgeLogs=0\r\n"
       "[Mirror_1]\r\nEnable=1\r\n"},
      {"[Mirror_1]\nDeplacer=1\nEnable=0\n",
       {{"Mirror_1", "Deplacer", std::nullopt}, {"Mirror_9", "Deplacer", std::nullopt},
        {"Mirror_1", "Message", "bob\nhello"}},  // a line break cannot split the file
       "[Mirror_1]\nEnable=0\nMessage=bob hello\n"},
      {"[A]\nk=1\nk=2\n[A]\nk=3\nj=4\n", {{"A", "k", "9"}}, "[A]\nk=9\nk=2\n[A]\nk=3\nj=4\n"},
      // Found by fuzzing: appending after such a last line changed its value.
      {"[Logs]\r\nLogs=1\r", {{"Mirror_7", "Enable", "yes"}, {"Logs", "Purge", "0"}},
       "[Logs]\r\nLogs=1\r\nPurge=0\r\n[Mirror_7]\r\nEnable=yes\r\n"},
      {"[Configuration]\nLangue=1\n", {{"Configuration", "Langue", "2"}},
       "[Configuration]\nLangue=1\n", 0444},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.before);
    ::unlink(dir_.Path("Vorn.ini").c_str());
    dir_.Write("Vorn.ini", c.before, c.mode);
    for (const IniFile::Change& change : c.changes) {
      EXPECT_EQ(ini_.Write(change.section, change.key, change.value), c.mode == 0644);
    }
    EXPECT_EQ(dir_.Read("Vorn.ini"), c.after);
  }
  EXPECT_EQ(ini_.Read("Configuration", "Langue"), "1");  // the read-only file's own
}

TEST_F(IniFileTest, BatchedWritesLandInOneReplacement) {
  platform::FaultInjectingFileSystem counting(*fs_);
  IniFile ini(counting, dir_.Path("Vorn.ini"));
  std::vector<IniFile::Change> changes;
  for (int i = 1; i <= 50; ++i) {
    changes.push_back({"Mirror_" + std::to_string(i), "Enable", "1"});
    changes.push_back({"Mirror_" + std::to_string(i), "Effacer", std::nullopt});
  }
  ASSERT_TRUE(ini.WriteAll(changes));
  EXPECT_EQ(counting.Calls(platform::FsOperation::kReplaceFile), 1);
  EXPECT_EQ(ini.Read("Mirror_50", "Enable"), "1");
}

}  // namespace
}  // namespace vorn
