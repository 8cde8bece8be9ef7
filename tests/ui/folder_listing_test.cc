// The folder listings of the main window: order, entries, sizes, tooltips.

#include "ui/folder_listing.h"

#include <gtest/gtest.h>

#include "platform/fault_injecting_file_system.h"
#include "base/text.h"
#include "support/test_folder.h"
#include "base/list_order.h"

namespace vorn {

void PrintTo(const ListingEntry& entry, std::ostream* out) {
  *out << "{\"" << entry.text << "\", " << entry.size << "}";
}

namespace {

using testing::TestFolder;

const platform::NumberFormat kEnglishFormat{",", "."};
const platform::NumberFormat kFrenchFormat{"\u202f", ","};

TEST(FormatFileSizeTest, UnitsSwitchAtTheirThresholds) {
  const struct {
    uint64_t bytes;
    const char* text;
  } cases[] = {
      {0, "0 bytes"}, {1000, "1,000 bytes"}, {1023, "1,023 bytes"},
      {1024, "1.00KB (1,024 bytes)"}, {1536, "1.50KB (1,536 bytes)"},
      {10239, "10.00KB (10,239 bytes)"},  // still 9 KiB
      {10240, "10.0KB (10,240 bytes)"}, {102400, "100KB (102,400 bytes)"},
      {1023999, "1000KB (1,023,999 bytes)"},
      {1024000, "0.98MB (1,024,000 bytes)"},  // 1000 KiB, not 1 MiB
      {1048576, "1.00MB (1,048,576 bytes)"}, {10240000, "9.8MB (10,240,000 bytes)"},
      {102400000, "98MB (102,400,000 bytes)"}, {1048576000, "0.98GB (1,048,576,000 bytes)"},
      {10239999999, "9.54GB (10,239,999,999 bytes)"}, {10240000000, " (10,240,000,000 bytes)"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatFileSize(c.bytes, kEnglishFormat), c.text) << c.bytes;
  EXPECT_EQ(FormatFileSize(1536, kFrenchFormat), "1,50KB (1\u202f536 bytes)");
  EXPECT_EQ(FormatFileSize(1536, platform::NumberFormat{"", "."}), "1.50KB (1536 bytes)");
}

// Accented letters sort with their base letter, after it when all else is
// equal; a byte that is not UTF-8 still has a place.
TEST(ListOrderTest, PunctuationThenDigitsThenLettersWhateverTheCase) {
  const std::pair<const char*, const char*> ordered[] = {
      {"[Zeta]", "1.txt"}, {"[.]", "[Sub]"}, {"9.txt", "a.txt"}, {"apple", "Banana"},
      {"Apple", "banana"}, {"ab", "abc"},    {"eb", "école"},    {"école", "ef"},
      {"ecole", "École"},  {"a", "\xff"}};
  for (const auto& [first, second] : ordered) {
    EXPECT_TRUE(ListOrderLess(first, second)) << first << " < " << second;
    EXPECT_FALSE(ListOrderLess(second, first)) << second << " < " << first;
  }
  EXPECT_FALSE(ListOrderLess("README", "readme"));
  EXPECT_FALSE(ListOrderLess("readme", "README"));
}

// What cannot be read lists nothing. English tooltips and counts are checked
// through the window.
TEST(ListFolderContentsTest, OneLevelInListOrderWithTheFolderItselfAndLabelsInTheLanguage) {
  TestFolder dir;
  dir.MakeFolder("data");
  dir.MakeFolder("data/Sub");
  dir.Write("data/Sub/deep.txt", "x");
  dir.Write("data/b.bin", std::string(2048, 'b'));
  dir.Write("data/a.txt", "0123456789");
  dir.Write("data/.hidden", "h");
  const auto real = platform::MakePosixFileSystem();
  platform::FaultInjectingFileSystem fs(*real);
  const std::vector<ListingEntry> entries = ListFolderContents(fs, dir.Path("data"));
  EXPECT_EQ(entries,
            (std::vector<ListingEntry>{
                {".hidden", 1}, {"[.]", -1}, {"[Sub]", -1}, {"a.txt", 10}, {"b.bin", 2048}}));
  EXPECT_EQ(CountLabelText(entries.size(), "  " + dir.Path("data") + " ", kEnglish),
            "5 files/folders in " + dir.Path("data"));
  EXPECT_EQ(ListFolderContents(fs, dir.Path("data/Sub")),
            (std::vector<ListingEntry>{{"[.]", -1}, {"deep.txt", 1}}));
  fs.FailFor(platform::FsOperation::kReadFolder, dir.Path("data"), EACCES);
  for (const std::string& unread : {dir.Path("data"), dir.Path("missing"), dir.Path("data/a.txt"),
                                    std::string()}) {
    EXPECT_TRUE(ListFolderContents(fs, unread).empty()) << unread;
  }
  EXPECT_EQ(CountLabelText(0, dir.Path("missing"), kFrench),
            "0 fichiers/dossiers dans " + dir.Path("missing"));
  EXPECT_EQ(CountLabelText(12, "D:\\Data", kPortuguese), "12 ficheiros/pastas na D:\\Data");
  EXPECT_EQ(ListingTooltip({"[Images]", -1}, kFrench, kEnglishFormat), "dossier [Images]");
  EXPECT_EQ(ListingTooltip({"[Images]", -1}, kPortuguese, kEnglishFormat), "pasta [Images]");
}

}  // namespace
}  // namespace vorn
