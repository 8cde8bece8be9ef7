#include "shell/command_line.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vorn
