// How the program starts: its options, the system it runs on, and the
// start-up sequence up to the first pass.

#include "runtime/startup.h"

#include <sstream>

#include <gtest/gtest.h>

#include "base/system_info.h"
#include "config/hex_path.h"
#include "runtime/command_line.h"
#include "base/text.h"
#include "support/fakes.h"
#include "support/test_folder.h"

namespace vorn {
namespace {

using testing::FakeServiceControl;
using testing::RecordingStartupHost;
using testing::TestFolder;

class StartupTest : public ::testing::Test {
 protected:
  StartupResult Start(const std::string& command_line = {}) {
    options_.home = dir_.path();
    options_.command_line = command_line;
    app_ = Application();
    return RunStartup(options_, *fs_, service_, host_, app_);
  }

  TestFolder dir_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::MakePosixFileSystem();
  FakeServiceControl service_;
  RecordingStartupHost host_;
  ProgramOptions options_;
  Application app_;
};

TEST_F(StartupTest, TheSequenceRunsInItsOrder) {
  dir_.Write("Vorn.ini", "[Configuration]\nLangue=2\nTemporisation=20\n");
  const StartupResult result = Start("nightly");
  ASSERT_TRUE(result.proceed);
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"settings", "tray+ Vorn 2.2i", "range 19", "nt",
                                                   "language 2", "pairs 0"}));
  EXPECT_EQ(host_.product_label, "Vorn 2.2i");
  EXPECT_EQ(host_.title.rfind("Vorn 2.2i [nightly]   ", 0), 0u) << host_.title;
  EXPECT_EQ(host_.mode.label, "Application");
  EXPECT_EQ(host_.mode.tip, "Vorn Mirroring Application");
  SystemInfo system;
  system.command_line = "-u";
  system.computer_name = "host";
  system.user_name = "alice";
  system.os_description = "Linux v.6.1, Build 12";
  EXPECT_EQ(WindowTitle(system), "Vorn 2.2i [-u]   host; alice; Linux v.6.1, Build 12");
  EXPECT_EQ(WindowTitle(SystemInfo{}), "Vorn 2.2i");
}

// A second instance ends before there is a tray icon to remove; "-U" ends
// silently when a folder is missing, even inside a longer word.
TEST_F(StartupTest, EveryEarlyEndSaysWhyInTheLanguageAndRemovesTheTrayIcon) {
  dir_.Write("Vorn.ini", "[Configuration]\nLangue=1\n");
  {
    const auto first = platform::InstanceLock::TryAcquire(dir_.path());
    const StartupResult result = Start();
    EXPECT_FALSE(result.proceed);
    EXPECT_EQ(result.exit_code, kExitStartupEnded);
    EXPECT_TRUE(host_.calls.empty());
  }
  dir_.Write("Vorn.w", "\"123\",\"\"\r\n");
  EXPECT_FALSE(Start().proceed);
  EXPECT_EQ(host_.calls.back(), "tray-");
  ASSERT_EQ(host_.messages.size(), 2u);
  EXPECT_EQ(host_.messages[0].second, "Programme déjà lancé");
  EXPECT_EQ(host_.messages[0].first, MessageIcon::kExclamation);
  EXPECT_EQ(host_.messages[1].first, MessageIcon::kCritical);

  dir_.Write("Vorn.w", "\"" + EncodeHexPath(dir_.path()) + "\",\"" +
                           EncodeHexPath(dir_.Path("missing")) + "\"\r\n");
  host_.calls.clear();
  EXPECT_FALSE(Start("X-UPDATE").proceed);
  EXPECT_EQ(host_.calls.back(), "tray-");
  EXPECT_EQ(host_.messages.size(), 2u);
  EXPECT_TRUE(Start("plain").proceed);
}

TEST_F(StartupTest, AnInstalledServiceIsRemovedOnYesAndKeptOnNoUnlessThisIsItsProcess) {
  service_.installed = service_.running_as_service = true;
  ASSERT_TRUE(Start().proceed);
  EXPECT_TRUE(app_.service_mode);
  EXPECT_TRUE(host_.mode.service);
  EXPECT_EQ(host_.mode.label + ", " + host_.mode.tip, "Service, Vorn Mirroring Service");
  EXPECT_TRUE(host_.questions.empty());

  service_.running_as_service = false;
  dir_.Write("Vorn.ini", "[Configuration]\nAutomatique=1\n");
  host_.answers = {false};
  EXPECT_FALSE(Start().proceed);
  EXPECT_EQ(host_.questions, std::vector<std::string>{"Vorn Service installed\r\nsee 'Control "
                                                      "panel/Services'\r\n\r\nRemove it ?"});
  EXPECT_TRUE(service_.installed);
  EXPECT_EQ(dir_.Read("Vorn.ini"), "[Configuration]\nAutomatique=1\n");

  host_.answers = {true};
  host_.mode = {};
  ASSERT_TRUE(Start().proceed);
  EXPECT_FALSE(service_.installed);
  ASSERT_EQ(service_.events.size(), 1u);
  EXPECT_EQ(service_.events[0].second, "Vorn Service removed");
  EXPECT_FALSE(app_.settings.Automatique);
  EXPECT_EQ(dir_.Read("Vorn.ini"), "[Configuration]\nAutomatique=0\n");
  EXPECT_FALSE(host_.mode.service);
}

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
      {"", RunMode::kDesktop, "", ""}, {"--home=/x", RunMode::kDesktop, "/x", ""},
      {"--headless", RunMode::kHeadless, "", ""}, {"--service", RunMode::kService, "", ""},
      {"--remove-service", RunMode::kRemoveService, "", ""},
      {"--version", RunMode::kVersion, "", ""}, {"--once --once", RunMode::kOnce, "", ""},
      {"-- --unknown -U", RunMode::kDesktop, "", "--unknown -U"},
      {"pair add --home /h a b", RunMode::kPair, "/h", ""},
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
        "--install-service --start-type sometimes", "--unknown text", "--headless --dry-run",
        "--json", "--once --user nobody"}) {
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
  SystemInfo nt4;  // only an old NT without service pack 4 leaves them to the engine
  nt4.nt_major_version = 4;
  for (const int16_t pack : {3, 4}) {
    nt4.service_pack = pack;
    EXPECT_EQ(nt4.CopyCarriesStreams(), pack == 4);
  }
}

}  // namespace
}  // namespace vorn
