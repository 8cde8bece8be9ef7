#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "platform/posix_file_system.h"
#include "support/test_folder.h"

namespace vorn::platform {
namespace {

using testing::TestFolder;

class CopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.MakeFolder("src");
    dir_.MakeFolder("dst");
  }

  Status Copy(FileSystem& fs, std::string_view name, std::string_view target_name) {
    auto source = fs.OpenFolder(dir_.Path("src"));
    auto target = fs.OpenFolder(dir_.Path("dst"));
    EXPECT_TRUE(source.ok() && target.ok());
    return fs.CopyFileAt(**source, name, **target, target_name, options_);
  }
  Status Copy(std::string_view name) { return Copy(*fs_, name, name); }

  TestFolder dir_;
  std::unique_ptr<FileSystem> fs_ = MakePosixFileSystem();
  CopyOptions options_;
};

TEST_F(CopyTest, KeepsContentPermissionsTimeAndUserAttributes) {
  if (!dir_.SupportsUserAttributes()) GTEST_SKIP() << "no user extended attributes here";
  std::string content(3 * 1024 * 1024 + 17, '\0');
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7 + i / 251);
  dir_.Write("src/doc.bin", content, 0751);
  dir_.SetTime("src/doc.bin", 1714558502, 123456789);
  dir_.SetAttribute("src/doc.bin", "user.DosStream.AFP_AfpInfo:$DATA", std::string(60, 'i'));
  dir_.SetAttribute("src/doc.bin", "user.DosStream.AFP_Resource:$DATA", "resource fork");

  ASSERT_TRUE(Copy("doc.bin").ok());

  EXPECT_EQ(dir_.Read("dst/doc.bin"), content);
  const auto source = fs_->Lookup(dir_.Path("src/doc.bin"));
  const auto copy = fs_->Lookup(dir_.Path("dst/doc.bin"));
  EXPECT_EQ(copy->permissions, 0751u);
  EXPECT_EQ(copy->last_write, source->last_write);  // to the 100 ns
  EXPECT_EQ(dir_.GetAttribute("dst/doc.bin", "user.DosStream.AFP_AfpInfo:$DATA"),
            std::string(60, 'i'));
  EXPECT_EQ(dir_.GetAttribute("dst/doc.bin", "user.DosStream.AFP_Resource:$DATA"), "resource fork");
  EXPECT_EQ(dir_.Names("dst"), std::vector<std::string>{"doc.bin"});
}

TEST_F(CopyTest, ReplacesAReadOnlyTargetUnderAnotherNameCopiesEmptyFilesNotMissingOnes) {
  dir_.Write("src/a.txt", "new");
  dir_.Write("dst/b.txt", "old old old", 0444);
  ASSERT_TRUE(Copy(*fs_, "a.txt", "b.txt").ok());
  EXPECT_EQ(dir_.Read("dst/b.txt"), "new");
  dir_.Write("src/empty", "");
  ASSERT_TRUE(Copy("empty").ok());
  EXPECT_EQ(dir_.Read("dst/empty"), "");
  const Status missing = Copy("absent");
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().code, ENOENT);
  EXPECT_EQ(dir_.Names("dst"), (std::vector<std::string>{"b.txt", "empty"}));
}

TEST_F(CopyTest, LinksAreCopiedAsLinksAndFifosAsFifos) {
  dir_.Write("src/real", "data");
  dir_.MakeLink("src/link", "../elsewhere/real");
  ASSERT_EQ(::mkfifo(dir_.Path("src/pipe").c_str(), 0640), 0);
  ASSERT_TRUE(Copy("link").ok());
  ASSERT_TRUE(Copy("pipe").ok());
  EXPECT_EQ(fs_->Lookup(dir_.Path("dst/link"))->type, EntryType::kLink);
  EXPECT_EQ(std::filesystem::read_symlink(dir_.Path("dst/link")), "../elsewhere/real");
  const auto pipe = fs_->Lookup(dir_.Path("dst/pipe"));
  EXPECT_EQ(pipe->attributes, attribute::kSystem);
  EXPECT_EQ(pipe->permissions, 0640u);
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
  dir_.MakeFolder("debris");
  auto debris = fs_->OpenFolder(dir_.Path("debris"));
  ASSERT_TRUE(debris.ok());
  for (const auto& c : cases) {
    const std::string path = std::string("debris/") + c.name;
    dir_.Write(path, "x");
    if (c.marked) dir_.SetAttribute(path, kTemporaryMarkAttribute, "");
    EXPECT_EQ(fs_->IsCopyDebrisAt(**debris, c.name), c.debris) << c.name;
  }
  DeleteCopyTemporaries(*fs_, **debris);
  EXPECT_EQ(dir_.Names("debris").size(), std::size(cases) - 1);

  // The source carries the mark too, as a user's copy of a temporary might.
  dir_.Write("src/doc", "content");
  dir_.SetAttribute("src/doc", kTemporaryMarkAttribute, "");
  dir_.SetAttribute("src/doc", "user.note", "kept");
  auto target = fs_->OpenFolder(dir_.Path("dst"));
  ASSERT_TRUE(target.ok());
  for (const bool unnamed : {true, false}) {
    for (const bool target_exists : {true, false}) {
      SCOPED_TRACE(std::string(unnamed ? "unnamed" : "named") +
                   (target_exists ? ", replacing" : ", new"));
      if (target_exists) dir_.Write("dst/doc", "old");
      if (!target_exists) ::unlink(dir_.Path("dst/doc").c_str());
      PosixFileSystemOptions options;
      options.use_unnamed_temporary = unnamed;
      int debris_mid_copy = 0;
      options.copy_fault = [&](CopyStep step, uint64_t) {
        if (step != CopyStep::kExtendedAttributes) return 0;
        for (const std::string& name : dir_.Names("dst")) {
          debris_mid_copy += name != "doc" && fs_->IsCopyDebrisAt(**target, name) ? 1 : 0;
        }
        return 0;
      };
      options_.target_may_exist = target_exists;
      const auto fs = MakePosixFileSystem(options);
      ASSERT_TRUE(Copy(*fs, "doc", "doc").ok());
      // Killed mid-copy, a named temporary would be recognised and cleared.
      EXPECT_EQ(debris_mid_copy, unnamed ? 0 : 1);
      EXPECT_EQ(dir_.Read("dst/doc"), "content");
      EXPECT_EQ(dir_.GetAttribute("dst/doc", kTemporaryMarkAttribute), "<none>");
      EXPECT_EQ(dir_.GetAttribute("dst/doc", "user.note"), "kept");
      EXPECT_EQ(dir_.Names("dst"), std::vector<std::string>{"doc"});
    }
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
  for (const bool unnamed : {true, false}) {
    for (const auto& point : points) {
      SCOPED_TRACE("step " + std::to_string(static_cast<int>(point.step)) + " at " +
                   std::to_string(point.offset) + (unnamed ? ", unnamed" : ", named"));
      testing::RemoveTree(dir_.Path("dst"));
      dir_.MakeFolder("dst");
      dir_.Write("dst/data", "the previous, good target", 0640);
      PosixFileSystemOptions options;
      options.copy_chunk_size = 64 * 1024;
      options.use_unnamed_temporary = unnamed;
      int faults = 0;
      options.copy_fault = [&](CopyStep step, uint64_t offset) {
        if (step != point.step || offset != point.offset) return 0;
        ++faults;
        return point.code;
      };
      const auto fs = MakePosixFileSystem(options);

      const Status copied = Copy(*fs, "data", "data");

      ASSERT_EQ(faults, 1);
      ASSERT_FALSE(copied.ok());
      EXPECT_EQ(copied.error().code, point.code);
      EXPECT_EQ(dir_.Read("dst/data"), "the previous, good target");
      EXPECT_EQ(fs->Lookup(dir_.Path("dst/data"))->permissions, 0640u);
      EXPECT_EQ(dir_.Names("dst"), std::vector<std::string>{"data"});
    }
  }
}

}  // namespace
}  // namespace vorn::platform
