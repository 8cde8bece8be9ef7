#include "config/ini_file.h"

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

TEST_F(IniFileTest, MissingFileSectionKeyAndEmptyValueAllReadAsAbsent) {
  EXPECT_EQ(ini_.Read("Configuration", "Langue"), "");
  ASSERT_TRUE(ini_.Write("Configuration", "Langue", "3"));  // the first write makes the file
  EXPECT_EQ(dir_.Read("Vorn.ini"), "[Configuration]\nLangue=3\n");
  dir_.Write("Vorn.ini", "[Configuration]\r\nLangue=\r\nOther=1\r\n");
  EXPECT_EQ(ini_.Read("Configuration", "Langue"), "");
  EXPECT_EQ(ini_.Read("Configuration", "Missing"), "");
  EXPECT_EQ(ini_.Read("Logs", "Other"), "");
  EXPECT_EQ(ini_.Read("Configuration", "Other"), "1");
}

TEST_F(IniFileTest, NamesIgnoreCaseQuotesAreTakenOffAndGarbageIsSkipped) {
  dir_.Write("Vorn.ini",
             "; comment=ignored\n"
             "stray=before any section\n"
             "  [ configuration ]  \n"
             "  LANGUE  =  2  \n"
             "Message = \"Warning, quoted\"\n"
             "Half = \"only one quote\n"
             "Inner = a \"b\" c\n");
  EXPECT_EQ(ini_.Read("Configuration", "Langue"), "2");
  EXPECT_EQ(ini_.Read("CONFIGURATION", "langue"), "2");
  EXPECT_EQ(ini_.Read("Configuration", "Message"), "Warning, quoted");
  EXPECT_EQ(ini_.Read("Configuration", "Half"), "\"only one quote");
  EXPECT_EQ(ini_.Read("Configuration", "Inner"), "a \"b\" c");
  EXPECT_EQ(ini_.Read("", "stray"), "");

  std::string garbage = "[Configuration\nno equals sign\n\x01\x02\xff=\xfe\n=value without key\n";
  garbage += std::string("\0\0", 2) + "\nLangue=2\n";
  dir_.Write("Vorn.ini", garbage);
  EXPECT_EQ(ini_.Read("Configuration", "Langue"), "2");
  EXPECT_EQ(ini_.Read("Configuration", ""), "");
}

TEST_F(IniFileTest, ValuesAreCutAt254Characters) {
  const std::string long_value(300, 'v');
  dir_.Write("Vorn.ini", "[Logs]\nPathLogs=" + long_value + "\n");
  EXPECT_EQ(ini_.Read("Logs", "PathLogs"), std::string(254, 'v'));
  // A character that straddles the cut is dropped whole.
  dir_.Write("Vorn.ini", "[Logs]\nPathLogs=" + std::string(253, 'v') + "é\n");
  EXPECT_EQ(ini_.Read("Logs", "PathLogs"), std::string(253, 'v'));
}

TEST_F(IniFileTest, TheFirstOfDuplicateSectionsAndKeysWins) {
  dir_.Write("Vorn.ini", "[A]\nk=1\nk=2\n[A]\nk=3\nj=4\n");
  EXPECT_EQ(ini_.Read("A", "k"), "1");
  EXPECT_EQ(ini_.Read("A", "j"), "");
  ASSERT_TRUE(ini_.Write("A", "k", "9"));
  EXPECT_EQ(dir_.Read("Vorn.ini"), "[A]\nk=9\nk=2\n[A]\nk=3\nj=4\n");
}

TEST_F(IniFileTest, OneKeyIsUpdatedInPlaceAndEveryOtherByteKept) {
  const std::string before =
      "; hand-written notes\r\n"
      "[Configuration]\r\n"
      "Langue=1\r\n"
      "  Temporisation = 25 s\r\n"
      "UnknownKey=keep me\r\n"
      "\r\n"
      "[Logs]\r\n"
      "Logs=1";  // no final line end
  dir_.Write("Vorn.ini", before);
  ASSERT_TRUE(ini_.Write("configuration", "TEMPORISATION", "30"));
  EXPECT_EQ(dir_.Read("Vorn.ini"),
            "; hand-written notes\r\n"
            "[Configuration]\r\n"
            "Langue=1\r\n"
            "Temporisation=30\r\n"
            "UnknownKey=keep me\r\n"
            "\r\n"
            "[Logs]\r\n"
            "Logs=1");
  EXPECT_EQ(ini_.Read("Configuration", "Temporisation"), "30");
}

TEST_F(IniFileTest, NewKeysJoinTheirSectionAndNewSectionsGoAtTheEnd) {
  dir_.Write("Vorn.ini", "[Configuration]\r\nLangue=1\r\n\r\n[Logs]\r\nLogs=1");
  ASSERT_TRUE(ini_.Write("Configuration", "Automatique", "1"));
  ASSERT_TRUE(ini_.Write("Logs", "PurgeLogs", "0"));
  ASSERT_TRUE(ini_.Write("Mirror_1", "Enable", "1"));
  EXPECT_EQ(dir_.Read("Vorn.ini"),
            "[Configuration]\r\nLangue=1\r\nAutomatique=1\r\n\r\n"
            "[Logs]\r\nLogs=1\r\nPurgeLogs=0\r\n"
            "[Mirror_1]\r\nEnable=1\r\n");
}

TEST_F(IniFileTest, KeysAreRemovedAndLineBreaksFlattened) {
  dir_.Write("Vorn.ini", "[Mirror_1]\nDeplacer=1\nEnable=0\n");
  ASSERT_TRUE(ini_.Write("Mirror_1", "Deplacer", std::nullopt));
  ASSERT_TRUE(ini_.Write("Mirror_9", "Deplacer", std::nullopt));
  EXPECT_EQ(dir_.Read("Vorn.ini"), "[Mirror_1]\nEnable=0\n");
  // A line break in a value cannot split the file.
  ASSERT_TRUE(ini_.Write("Mirror_1", "Message", "bob\nhello"));
  EXPECT_EQ(ini_.Read("Mirror_1", "Message"), "bob hello");
}

TEST_F(IniFileTest, ChangesMadeByHandWhileRunningAreSeenAndKept) {
  dir_.Write("Vorn.ini", "[Configuration]\nLangue=1\n");
  EXPECT_EQ(ini_.Read("Configuration", "Langue"), "1");
  dir_.Write("Vorn.ini", "[Configuration]\nLangue=2\nByHand=yes\n");
  EXPECT_EQ(ini_.Read("Configuration", "Langue"), "2");
  ASSERT_TRUE(ini_.Write("Configuration", "Langue", "3"));
  EXPECT_EQ(dir_.Read("Vorn.ini"), "[Configuration]\nLangue=3\nByHand=yes\n");
}

TEST_F(IniFileTest, AReadOnlyFileIsLeftAsItIs) {
  dir_.Write("Vorn.ini", "[Configuration]\nLangue=1\n", 0444);
  EXPECT_FALSE(ini_.Write("Configuration", "Langue", "2"));
  EXPECT_EQ(dir_.Read("Vorn.ini"), "[Configuration]\nLangue=1\n");
  EXPECT_EQ(ini_.Read("Configuration", "Langue"), "1");
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

TEST_F(IniFileTest, ACarriageReturnClosingTheFileIsALineEnd) {
  // Found by fuzzing: appending after such a last line changed its value.
  dir_.Write("Vorn.ini", "[Logs]\r\nLogs=1\r");
  EXPECT_EQ(ini_.Read("Logs", "Logs"), "1");
  ASSERT_TRUE(ini_.Write("Mirror_7", "Enable", "yes"));
  EXPECT_EQ(ini_.Read("Logs", "Logs"), "1");
  EXPECT_EQ(dir_.Read("Vorn.ini"), "[Logs]\r\nLogs=1\r\n[Mirror_7]\r\nEnable=yes\r\n");
  ASSERT_TRUE(ini_.Write("Logs", "Purge", "0"));
  EXPECT_EQ(ini_.Read("Logs", "Logs"), "1");
}

}  // namespace
}  // namespace vorn
