// How the program starts: its options, the system it runs on, and the
// start-up sequence up to the first pass.

#include "runtime/startup.h"

#include <sstream>

#include <gtest/gtest.h>

#include "config/hex_path.h"
#include "runtime/command_line.h"
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
  EXPECT_EQ(host_.mode.label + ", " + host_.mode.tip, "Application, Vorn Mirroring Application");
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
    EXPECT_TRUE(!result.proceed && result.exit_code == kExitStartupEnded && host_.calls.empty());
  }
  dir_.Write("Vorn.w", "\"123\",\"\"\r\n");
  EXPECT_FALSE(Start().proceed);
  EXPECT_EQ(host_.calls.back(), "tray-");
  ASSERT_EQ(host_.messages.size(), 2u);
  EXPECT_EQ(host_.messages[0].second, "Programme déjà lancé");
  EXPECT_EQ(std::pair(host_.messages[0].first, host_.messages[1].first),
            std::pair(MessageIcon::kExclamation, MessageIcon::kCritical));

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
  EXPECT_TRUE(app_.service_mode && host_.mode.service && host_.questions.empty());
  EXPECT_EQ(host_.mode.label + ", " + host_.mode.tip, "Service, Vorn Mirroring Service");

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
  EXPECT_FALSE(service_.installed || app_.settings.Automatique || host_.mode.service);
  ASSERT_EQ(service_.events.size(), 1u);
  EXPECT_EQ(service_.events[0].second, "Vorn Service removed");
  EXPECT_EQ(dir_.Read("Vorn.ini"), "[Configuration]\nAutomatique=0\n");
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
    const ProgramOptions o = Parse(c.arguments);
    EXPECT_EQ(std::tuple(o.error, o.mode, o.home, o.command_line, o.start_type),
              std::tuple("", c.mode, c.home, c.command_line, c.start_type));
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
  // An old kernel still has every NT feature.
  EXPECT_TRUE(info.nt && info.nt_major_version == 5 && info.CopyCarriesStreams());
  EXPECT_EQ(std::tuple(info.os_description, info.computer_name, info.windows_folder,
                       info.command_line_upper, info.unattended),
            std::tuple("Linux v.4.19, Build 112", "host", "C:\\WINDOWS", "NIGHTLY -U", true));
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
