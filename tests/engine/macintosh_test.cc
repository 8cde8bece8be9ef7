#include "engine/macintosh.h"

#include <gtest/gtest.h>

#include "support/engine_fixture.h"

namespace vorn {
namespace {

using platform::FsOperation;

const std::string kInfo = "user.DosStream.AFP_AfpInfo:$DATA";
const std::string kFork = "user.DosStream.AFP_Resource:$DATA";

class MacintoshTest : public testing::EngineTest {
 protected:
  void SetUp() override {
    if (!dir_.SupportsUserAttributes()) GTEST_SKIP() << "no user extended attributes here";
  }
};

// U+2022 bullet, U+F022 (the server's stand-in for "/"), U+0101 and U+FB01
// fall in the ranges that become dashes; other characters, 4-byte ones and
// bytes that are not UTF-8 included, stay.
TEST_F(MacintoshTest, TheNameLosesUntypableCharactersAndGainsItsRegisteredExtension) {
  const struct {
    const char* name;
    const char* signature;  // nothing: no Finder information
    const char* expected;
  } cases[] = {
      {"Budget", "XDOCXPR3", "Budget.qxd"},
      {"Budget.qxd", "XDOCXPR3", "Budget.qxd"},
      {"Budget.QXD", "XDOCXPR3", "Budget.QXD"},
      {"page.html", "TEXTHTML", "page.html.html"},  // only three characters are compared
      {"plain", nullptr, "plain"},
      {"a\xE2\x80\xA2" "b\xEF\x80\xA2" "c\xC4\x81" "d\xEF\xAC\x81", nullptr, "a-b-c-d-"},
      {"é\xF0\x9F\x98\x80\xE2\x84\xA2\xFF", nullptr, "é\xF0\x9F\x98\x80\xE2\x84\xA2\xFF"},
  };
  const auto extension = [](std::string_view signature) -> std::string {
    if (signature == "XDOCXPR3") return "QXD";
    return signature == "TEXTHTML" ? "html" : "";
  };
  auto folder = fs_.OpenFolder(dir_.Path("src"));
  for (const auto& c : cases) {
    dir_.Write(Src(c.name), "x");
    // A Finder-information record: its type and creator at byte 16.
    const std::string info = std::string(16, '\0') + (c.signature ? c.signature : "");
    if (c.signature != nullptr) dir_.SetAttribute(Src(c.name), kInfo, info + std::string(36, '\0'));
    EXPECT_EQ(MacTargetName(fs_, **folder, c.name, extension), c.expected);
  }
}

TEST_F(MacintoshTest, VolumesAreRecognisedByTheTrashFolderAbove) {
  Make({"Vol/", "Vol/Network Trash Folder/", "Vol/A/", "Vol/A/B/"});
  EXPECT_TRUE(IsMacintoshVolume(fs_, dir_.Path("Vol/A/B")));
  EXPECT_TRUE(IsMacintoshVolume(fs_, dir_.Path("Vol/")));
  EXPECT_FALSE(IsMacintoshVolume(fs_, dir_.Path("src")));
  EXPECT_FALSE(IsMacintoshVolume(fs_, "/"));
}

// Where the file copy cannot carry them (NT 4 before service pack 4), the
// engine copies the streams itself, and a move deletes them from the source.
TEST_F(MacintoshTest, StreamsTravelWithFilesAndCreatedFolders) {
  Make({"src/doc", "src/folder/"});
  dir_.SetAttribute(Src("folder"), kInfo, "folder info");
  MirrorSrcToDst({});
  EXPECT_EQ(fs_.Calls(FsOperation::kCopyStreamAt), 1);  // the folder's: the copy carries the file's
  EXPECT_EQ(dir_.GetAttribute(Dst("folder"), kInfo), "folder info");
  system_.nt_major_version = 4;
  system_.service_pack = 3;
  Make({"src/old"});
  dir_.SetAttribute(Src("old"), kInfo, "info");
  dir_.SetAttribute(Src("old"), kFork, "fork");
  fs_.FailFor(FsOperation::kDeleteFileAt, "old", EACCES);  // kept, to see what became of them
  MirrorSrcToDst({.Deplacer = true});
  EXPECT_EQ(fs_.Calls(FsOperation::kCopyStreamAt), 3);
  EXPECT_EQ(dir_.GetAttribute(Dst("old"), kFork), "fork");
  EXPECT_EQ(dir_.GetAttribute(Src("old"), kInfo), "<none>");
  EXPECT_EQ(dir_.GetAttribute(Src("old"), kFork), "<none>");
}

}  // namespace
}  // namespace vorn
