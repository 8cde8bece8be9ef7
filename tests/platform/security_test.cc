#include <acl/libacl.h>
#include <sys/acl.h>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "support/test_folder.h"

namespace vorn::platform {
namespace {

constexpr char kFileAcl[] = "u::rw-,u:65534:r--,g::r--,m::r--,o::---";

bool SetAcl(const std::string& path, const char* text, acl_type_t type = ACL_TYPE_ACCESS) {
  acl_t acl = acl_from_text(text);
  if (acl == nullptr) return false;
  const bool done = acl_set_file(path.c_str(), type, acl) == 0;
  acl_free(acl);
  return done;
}

std::string AclText(const std::string& path, acl_type_t type = ACL_TYPE_ACCESS) {
  acl_t acl = acl_get_file(path.c_str(), type);
  if (acl == nullptr) return "<error>";
  char* text = acl_to_any_text(acl, nullptr, ',', TEXT_ABBREVIATE | TEXT_NUMERIC_IDS);
  std::string result = text != nullptr ? text : "<error>";
  acl_free(text);
  acl_free(acl);
  return result;
}

class SecurityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("a", "x", 0640);
    dir_.Write("b", "x", 0600);
    if (!SetAcl(dir_.Path("a"), kFileAcl)) GTEST_SKIP() << "no POSIX ACLs on this file system";
  }

  testing::TestFolder dir_;
  std::unique_ptr<FileSystem> fs_ = MakePosixFileSystem();
  std::unique_ptr<Folder> folder_ = std::move(fs_->OpenFolder(dir_.path())).value();
};

TEST_F(SecurityTest, FileAclsAreCarriedNeverThroughLinksAndDamagedOnesFail) {
  const auto from_a = fs_->ReadSecurityAt(*folder_, "a");
  const auto from_b = fs_->ReadSecurityAt(*folder_, "b");
  ASSERT_TRUE(from_a.ok() && from_b.ok());

  dir_.MakeLink("link", "a");
  EXPECT_TRUE(fs_->ReadSecurityAt(*folder_, "link")->empty());
  EXPECT_FALSE(fs_->WriteSecurityAt(*folder_, "link", *from_b).ok());
  EXPECT_EQ(AclText(dir_.Path("a")), kFileAcl);

  EXPECT_FALSE(fs_->ReadSecurityAt(*folder_, "missing").ok());
  EXPECT_FALSE(fs_->WriteSecurityAt(*folder_, "b", {1, 2}).ok());
  EXPECT_FALSE(fs_->WriteSecurityAt(*folder_, "b", {200, 0, 0, 0, 1, 2, 3}).ok());

  ASSERT_TRUE(fs_->WriteSecurityAt(*folder_, "b", *from_a).ok());
  EXPECT_EQ(*fs_->ReadSecurityAt(*folder_, "b"), *from_a);
  EXPECT_EQ(AclText(dir_.Path("b")), kFileAcl);
}

TEST_F(SecurityTest, FolderCarriesItsDefaultAcl) {
  for (const char* name : {"f1", "f2", "plain"}) dir_.MakeFolder(name);
  ASSERT_TRUE(SetAcl(dir_.Path("f1"), "u::rwx,u:65534:r-x,g::r-x,m::r-x,o::---", ACL_TYPE_DEFAULT));
  ASSERT_TRUE(SetAcl(dir_.Path("f2"), "u::rwx,g::r-x,o::r-x,u:65534:rwx,m::rwx", ACL_TYPE_DEFAULT));
  ASSERT_TRUE(fs_->WriteSecurityAt(*folder_, "f2", *fs_->ReadSecurityAt(*folder_, "f1")).ok());
  EXPECT_EQ(AclText(dir_.Path("f2"), ACL_TYPE_DEFAULT), AclText(dir_.Path("f1"), ACL_TYPE_DEFAULT));
  // A folder without a default ACL passes that on too.
  ASSERT_TRUE(fs_->WriteSecurityAt(*folder_, "f2", *fs_->ReadSecurityAt(*folder_, "plain")).ok());
  EXPECT_EQ(AclText(dir_.Path("f2"), ACL_TYPE_DEFAULT), "");
}

TEST(StreamTest, NamedStreamsAreUserAttributesNeverWrittenThroughLinks) {
  testing::TestFolder dir;
  if (!dir.SupportsUserAttributes()) GTEST_SKIP() << "no user extended attributes here";
  const auto fs = MakePosixFileSystem();
  dir.Write("budget", "data");
  dir.Write("copy", "data");
  dir.MakeLink("link", "copy");
  std::string info(80, 'x');
  info.replace(16, 8, "XDOCXPR3");
  dir.SetAttribute("budget", "user.DosStream.AFP_AfpInfo:$DATA", info);
  const auto folder = std::move(fs->OpenFolder(dir.path())).value();

  const auto first60 = fs->ReadStreamAt(*folder, "budget", kFinderInfoStream, 60);
  ASSERT_TRUE(first60.ok());
  EXPECT_EQ(*first60, info.substr(0, 60));

  EXPECT_FALSE(fs->CopyStreamAt(*folder, "budget", *folder, "link", kFinderInfoStream).ok());
  EXPECT_EQ(dir.GetAttribute("copy", "user.DosStream.AFP_AfpInfo:$DATA"), "<none>");
  ASSERT_TRUE(fs->CopyStreamAt(*folder, "budget", *folder, "copy", kFinderInfoStream).ok());
  EXPECT_EQ(dir.GetAttribute("copy", "user.DosStream.AFP_AfpInfo:$DATA"), info);
  ASSERT_TRUE(fs->DeleteStreamAt(*folder, "budget", kFinderInfoStream).ok());
  EXPECT_EQ(dir.GetAttribute("budget", "user.DosStream.AFP_AfpInfo:$DATA"), "<none>");

  EXPECT_FALSE(fs->ReadStreamAt(*folder, "budget", kResourceForkStream, 60).ok());
  EXPECT_FALSE(fs->CopyStreamAt(*folder, "budget", *folder, "copy", kResourceForkStream).ok());
}

}  // namespace
}  // namespace vorn::platform
