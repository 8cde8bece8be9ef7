#include "runtime/command_line.h"

#include <gtest/gtest.h>

#include "base/system_info.h"

namespace vorn {
namespace {

ProgramOptions Parse(std::vector<std::string> arguments) {
  return ParseProgramOptions(arguments);
}

TEST(CommandLineTest, ProgramOptionsAreTakenOffAndTheRestKept) {
  const ProgramOptions options = Parse({"--home", "/srv/vorn", "nightly", "-u", "--once"});
  EXPECT_TRUE(options.error.empty());
  EXPECT_EQ(options.mode, RunMode::kOnce);
  EXPECT_EQ(options.home, "/srv/vorn");
  EXPECT_EQ(options.command_line, "nightly -u");

  EXPECT_EQ(Parse({}).mode, RunMode::kDesktop);
  EXPECT_EQ(Parse({"--home=/x"}).home, "/x");
  EXPECT_EQ(Parse({"--headless"}).mode, RunMode::kHeadless);
  EXPECT_EQ(Parse({"--service"}).mode, RunMode::kService);
  EXPECT_EQ(Parse({"--remove-service"}).mode, RunMode::kRemoveService);
  EXPECT_EQ(Parse({"--version"}).mode, RunMode::kVersion);
  EXPECT_EQ(Parse({"--unknown", "text"}).command_line, "--unknown text");
}

TEST(CommandLineTest, ServiceInstallTakesAStartType) {
  ProgramOptions options = Parse({"--install-service", "--start-type", "manual"});
  EXPECT_TRUE(options.error.empty());
  EXPECT_EQ(options.mode, RunMode::kInstallService);
  EXPECT_EQ(options.start_type, 1);
  EXPECT_EQ(Parse({"--install-service", "--start-type=disabled"}).start_type, 2);
  EXPECT_EQ(Parse({"--install-service"}).start_type, 0);
}

TEST(CommandLineTest, BadOptionsAreRefusedWithAReason) {
  EXPECT_FALSE(Parse({"--home"}).error.empty());
  EXPECT_FALSE(Parse({"--home="}).error.empty());
  EXPECT_FALSE(Parse({"--once", "--headless"}).error.empty());
  EXPECT_FALSE(Parse({"--install-service", "--start-type", "sometimes"}).error.empty());
  EXPECT_FALSE(Parse({"--once", "--start-type", "manual"}).error.empty());
  EXPECT_TRUE(Parse({"--once", "--once"}).error.empty());
}

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
  EXPECT_EQ(info.command_line_upper, "NIGHTLY -U");
  EXPECT_TRUE(info.unattended);
}

TEST(SystemInfoTest, TheUnattendedFlagNeedsMinusU) {
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

}  // namespace
}  // namespace vorn
