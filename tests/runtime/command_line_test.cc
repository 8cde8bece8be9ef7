#include "runtime/command_line.h"

#include <sstream>

#include <gtest/gtest.h>

#include "base/system_info.h"

namespace vorn {
namespace {

// The arguments, written as one line with a blank between each.
ProgramOptions Parse(const std::string& line) {
  std::vector<std::string> arguments;
  std::istringstream words(line);
  for (std::string word; words >> word;) arguments.push_back(word);
  return ParseProgramOptions(arguments);
}

// The program's options are taken off the command line; the rest is the
// user's own and kept as typed.
TEST(CommandLineTest, OptionsAreTakenOffAndTheRestKept) {
  const struct {
    std::string arguments;
    RunMode mode;
    std::string home, command_line;
    int start_type = 0;
  } cases[] = {
      {"--home /srv/vorn nightly -u --once", RunMode::kOnce, "/srv/vorn", "nightly -u"},
      {"", RunMode::kDesktop, "", ""},
      {"--home=/x", RunMode::kDesktop, "/x", ""},
      {"--headless", RunMode::kHeadless, "", ""},
      {"--service", RunMode::kService, "", ""},
      {"--remove-service", RunMode::kRemoveService, "", ""},
      {"--version", RunMode::kVersion, "", ""},
      {"--once --once", RunMode::kOnce, "", ""},
      {"--unknown text", RunMode::kDesktop, "", "--unknown text"},
      {"--install-service", RunMode::kInstallService, "", ""},
      {"--install-service --start-type manual", RunMode::kInstallService, "", "", 1},
      {"--install-service --start-type=disabled", RunMode::kInstallService, "", "", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    const ProgramOptions options = Parse(c.arguments);
    EXPECT_EQ(options.error, "");
    EXPECT_EQ(options.mode, c.mode);
    EXPECT_EQ(options.home, c.home);
    EXPECT_EQ(options.command_line, c.command_line);
    EXPECT_EQ(options.start_type, c.start_type);
  }
  for (const char* refused :
       {"--home", "--home=", "--once --headless", "--once --start-type manual",
        "--install-service --start-type sometimes"}) {
    EXPECT_NE(Parse(refused).error, "") << refused;
  }
}

TEST(SystemInfoTest, LinuxIsTheWideFamilyWithStreamsCarriedByTheCopy) {
  const SystemInfo info =
      DescribeSystem("nightly -u", {"  host  ", "alice", "c:\\windows", "Linux", 4, 19, 112});
  EXPECT_TRUE(info.nt);
  EXPECT_EQ(info.nt_major_version, 5);  // an old kernel still has every NT feature
  EXPECT_TRUE(info.CopyCarriesStreams());
  EXPECT_EQ(info.os_description, "Linux v.4.19, Build 112");
  EXPECT_EQ(info.computer_name, "host");
  EXPECT_EQ(info.windows_folder, "C:\\WINDOWS");
  EXPECT_EQ(info.command_line_upper, "NIGHTLY -U");
  EXPECT_TRUE(info.unattended);
  EXPECT_FALSE(DescribeSystem("user", {}).unattended);
  EXPECT_TRUE(DescribeSystem("x-update", {}).unattended);  // inside a longer word counts too
  // Only an old NT without service pack 4 leaves the streams to the engine.
  SystemInfo nt4;
  nt4.nt_major_version = 4;
  nt4.service_pack = 3;
  EXPECT_FALSE(nt4.CopyCarriesStreams());
  nt4.service_pack = 4;
  EXPECT_TRUE(nt4.CopyCarriesStreams());
}

}  // namespace
}  // namespace vorn
