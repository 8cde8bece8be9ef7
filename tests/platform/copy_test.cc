#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "platform/posix_file_system.h"
#include "support/test_folder.h"

namespace vorn::platform {
namespace {

using Names = std::vector<std::string>;

class CopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.MakeFolder("src");
    dir_.MakeFolder("dst");
  }

  // From "src" to "dst".
  Status Copy(std::string_view name, std::string_view target_name = {}, FileSystem* fs = nullptr) {
    fs = fs != nullptr ? fs : fs_.get();
    auto source = fs->OpenFolder(dir_.Path("src"));
    auto target = fs->OpenFolder(dir_.Path("dst"));
    EXPECT_TRUE(source.ok() && target.ok());
    return fs->CopyFileAt(**source, name, **target, target_name.empty() ? name : target_name,
                          options_);
  }

  testing::TestFolder dir_;
  std::unique_ptr<FileSystem> fs_ = MakePosixFileSystem();
  CopyOptions options_;
};

// User attributes are checked where the file system keeps them.
TEST_F(CopyTest, KeepsContentPermissionsTimeAttributesAndKindReplacingReadOnlyTargets) {
  const bool attributes = dir_.SupportsUserAttributes();
  const std::string info(60, 'i');
  std::string content(3 * 1024 * 1024 + 17, '\0');
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7 + i / 251);
  dir_.Write("src/doc.bin", content, 0751);
  dir_.SetTime("src/doc.bin", 1714558502, 123456789);
  if (attributes) {
    dir_.SetAttribute("src/doc.bin", "user.DosStream.AFP_AfpInfo:$DATA", info);
    dir_.SetAttribute("src/doc.bin", "user.DosStream.AFP_Resource:$DATA", "resource fork");
  }
  dir_.MakeLink("src/link", "../elsewhere/real");
  ASSERT_EQ(::mkfifo(dir_.Path("src/pipe").c_str(), 0640), 0);
  dir_.Write("src/empty", "");
  dir_.Write("dst/read-only", "old old old", 0444);

  for (const char* name : {"doc.bin", "link", "pipe"}) EXPECT_TRUE(Copy(name).ok()) << name;
  ASSERT_TRUE(Copy("empty", "read-only").ok());
  EXPECT_EQ(Copy("absent").error().code, ENOENT);

  EXPECT_EQ(dir_.Read("dst/doc.bin"), content);
  const auto copy = fs_->Lookup(dir_.Path("dst/doc.bin"));
  EXPECT_EQ(copy->permissions, 0751u);
  EXPECT_EQ(copy->last_write, fs_->Lookup(dir_.Path("src/doc.bin"))->last_write);  // to the 100 ns
  if (attributes) {
    EXPECT_EQ(dir_.GetAttribute("dst/doc.bin", "user.DosStream.AFP_AfpInfo:$DATA"), info);
    EXPECT_EQ(dir_.GetAttribute("dst/doc.bin", "user.DosStream.AFP_Resource:$DATA"),
              "resource fork");
  }
  EXPECT_EQ(std::filesystem::read_symlink(dir_.Path("dst/link")), "../elsewhere/real");
  const auto pipe = fs_->Lookup(dir_.Path("dst/pipe"));
  EXPECT_EQ(pipe->attributes, attribute::kSystem);
  EXPECT_EQ(pipe->permissions, 0640u);
  EXPECT_EQ(dir_.Read("dst/read-only"), "");
  EXPECT_EQ(dir_.Names("dst"), (Names{"doc.bin", "link", "pipe", "read-only"}));
}

// Only a temporary of Vorn's name pattern that carries its mark is debris: a
// user's file is not, whatever its name, and no copy passes the mark on.
TEST_F(CopyTest, OnlyMarkedTemporariesAreDebrisAndNoCopyKeepsTheMark) {
  if (!dir_.SupportsUserAttributes()) GTEST_SKIP() << "no user extended attributes here";
  const struct {
    const char* name;
    bool marked;
    bool debris;
  } cases[] = {
      {".vorn-tmp-4242-0123456789abcdef", true, true},
      {".vorn-tmp-4243-0123456789abcdef", false, false},
      {".vorn-tmp-0123abcd", true, false},
      {".vorn-tmp-4244-0123456789ABCDEF", true, false},
      {".vorn-tmp--0123456789abcdef", true, false},
      {"report.doc", true, false},
  };
  const auto src = std::move(fs_->OpenFolder(dir_.Path("src"))).value();
  for (const auto& c : cases) {
    dir_.Write(std::string("src/") + c.name, "x");
    if (c.marked) dir_.SetAttribute(std::string("src/") + c.name, kTemporaryMarkAttribute, "");
    EXPECT_EQ(fs_->IsCopyDebrisAt(*src, c.name), c.debris) << c.name;
  }
  DeleteCopyTemporaries(*fs_, *src);
  EXPECT_EQ(dir_.Names("src").size(), std::size(cases) - 1);

  // The source carries the mark too, as a user's copy of a temporary might.
  dir_.Write("src/doc", "content");
  dir_.SetAttribute("src/doc", kTemporaryMarkAttribute, "");
  dir_.SetAttribute("src/doc", "user.note", "kept");
  // A named temporary replaces the target the same way whether it exists or not.
  const auto dst = std::move(fs_->OpenFolder(dir_.Path("dst"))).value();
  const std::pair<bool, bool> ways[] = {{true, false}, {true, true}, {false, true}};
  for (const auto& [unnamed, replacing] : ways) {
    SCOPED_TRACE(std::string(unnamed ? "unnamed" : "named") + (replacing ? ", replacing" : ""));
    if (replacing) dir_.Write("dst/doc", "old");
    int debris_mid_copy = 0;
    const auto count_debris = [&](CopyStep step, uint64_t) {
      if (step != CopyStep::kExtendedAttributes) return 0;
      for (const std::string& name : dir_.Names("dst")) {
        debris_mid_copy += fs_->IsCopyDebrisAt(*dst, name) ? 1 : 0;
      }
      return 0;
    };
    const auto fs = MakePosixFileSystem({count_debris, 64 * 1024, unnamed});
    options_.target_may_exist = replacing;
    ASSERT_TRUE(Copy("doc", "doc", fs.get()).ok());
    // Killed mid-copy, a named temporary would be recognised and cleared.
    EXPECT_EQ(debris_mid_copy, unnamed ? 0 : 1);
    EXPECT_EQ(dir_.Read("dst/doc"), "content");
    EXPECT_EQ(dir_.GetAttribute("dst/doc", kTemporaryMarkAttribute), "<none>");
    EXPECT_EQ(dir_.GetAttribute("dst/doc", "user.note"), "kept");
    EXPECT_EQ(dir_.Names("dst"), Names{"doc"});
    ::unlink(dir_.Path("dst/doc").c_str());
  }
}

// A copy that fails at any step, however it writes its temporary, leaves the
// previous target byte for byte and no temporary file.
TEST_F(CopyTest, AFailureAtAnyStepLeavesThePreviousTargetAndNoTemporary) {
  const struct {
    CopyStep step;
    uint64_t offset;  // for kContent: the chunk that fails
    int code;
  } points[] = {
      {CopyStep::kOpenSource, 0, EIO},
      {CopyStep::kCreateTemporary, 0, ENOSPC},
      {CopyStep::kContent, 0, ENOSPC},           // first byte
      {CopyStep::kContent, 128 * 1024, ENOSPC},  // middle
      {CopyStep::kContent, 192 * 1024, EIO},     // last chunk
      {CopyStep::kExtendedAttributes, 0, ENOSPC},
      {CopyStep::kPermissions, 0, EIO},
      {CopyStep::kTimes, 0, EIO},
      {CopyStep::kRename, 0, EIO},
  };
  dir_.Write("src/data", std::string(256 * 1024, 'n'));
  dir_.Write("dst/data", "the previous, good target", 0640);
  for (const bool unnamed : {true, false}) {
    for (const auto& point : points) {
      SCOPED_TRACE("step " + std::to_string(static_cast<int>(point.step)) + " at " +
                   std::to_string(point.offset) + (unnamed ? ", unnamed" : ", named"));
      int faults = 0;
      const auto fault = [&](CopyStep step, uint64_t offset) {
        if (step != point.step || offset != point.offset) return 0;
        ++faults;
        return point.code;
      };
      const auto fs = MakePosixFileSystem({fault, 64 * 1024, unnamed});
      EXPECT_EQ(Copy("data", "data", fs.get()).error().code, point.code);
      ASSERT_EQ(faults, 1);
      EXPECT_EQ(dir_.Read("dst/data"), "the previous, good target");
      EXPECT_EQ(fs->Lookup(dir_.Path("dst/data"))->permissions, 0640u);
      EXPECT_EQ(dir_.Names("dst"), Names{"data"});
    }
  }
}

}  // namespace
}  // namespace vorn::platform
