#include "shell/system_info.h"

#include <gtest/gtest.h>

#include "shell/app_paths.h"

namespace vorn {
namespace {

TEST(SystemInfoTest, LinuxIsTheWideFamilyWithStreamsCarriedByTheCopy) {
  platform::OsFacts facts;
  facts.os_name = "Linux";
  facts.major = 4;
  facts.minor = 19;
  facts.patch = 112;
  facts.computer_name = "  host  ";
  facts.user_name = "alice";
  facts.windows_folder = "c:\\windows";
  const SystemInfo info = DescribeSystem("nightly -u", facts);
  EXPECT_TRUE(info.nt);
  EXPECT_EQ(info.nt_major_version, 5);  // an old kernel still has every NT feature
  EXPECT_TRUE(info.CopyCarriesStreams());
  EXPECT_EQ(info.os_description, "Linux v.4.19, Build 112");
  EXPECT_EQ(info.computer_name, "host");
  EXPECT_EQ(info.windows_folder, "C:\\WINDOWS");
  EXPECT_EQ(info.command_line, "nightly -u");
  EXPECT_EQ(info.command_line_upper, "NIGHTLY -U");
  EXPECT_TRUE(info.unattended);
}

TEST(SystemInfoTest, TheUnattendedFlagNeedsMinusU) {
  EXPECT_FALSE(DescribeSystem("", {}).unattended);
  EXPECT_FALSE(DescribeSystem("user", {}).unattended);
  EXPECT_TRUE(DescribeSystem("x-update", {}).unattended);  // inside a longer word counts too
}

TEST(SystemInfoTest, OnlyOldNtWithoutServicePack4CopiesStreamsItself) {
  SystemInfo nt4;
  nt4.nt = true;
  nt4.nt_major_version = 4;
  nt4.service_pack = 3;
  EXPECT_FALSE(nt4.CopyCarriesStreams());
  nt4.service_pack = 4;
  EXPECT_TRUE(nt4.CopyCarriesStreams());
}

TEST(AppPathsTest, FilesAreNamedAfterTheProduct) {
  const AppPaths paths = MakeAppPaths("/srv/vorn/");
  EXPECT_EQ(paths.app_folder, "/srv/vorn");
  EXPECT_EQ(paths.configuration_file, "/srv/vorn/Vorn.ini");
  EXPECT_EQ(paths.pairs_file, "/srv/vorn/Vorn.w");
  EXPECT_EQ(paths.signatures_file, "/srv/vorn/Signatures.txt");
}

}  // namespace
}  // namespace vorn
