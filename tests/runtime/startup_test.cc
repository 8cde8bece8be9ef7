#include "runtime/startup.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include "config/hex_path.h"
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
}

TEST_F(StartupTest, WindowTitleParts) {
  SystemInfo system;
  system.command_line = "-u";
  system.computer_name = "host";
  system.user_name = "alice";
  system.os_description = "Linux v.6.1, Build 12";
  EXPECT_EQ(WindowTitle(system), "Vorn 2.2i [-u]   host; alice; Linux v.6.1, Build 12");
  EXPECT_EQ(WindowTitle(SystemInfo{}), "Vorn 2.2i");
}

TEST_F(StartupTest, ASecondInstanceIsRefusedInTheConfiguredLanguage) {
  dir_.Write("Vorn.ini", "[Configuration]\nLangue=1\n");
  const auto first = platform::InstanceLock::TryAcquire(dir_.path());
  const StartupResult result = Start();
  EXPECT_FALSE(result.proceed);
  EXPECT_EQ(result.exit_code, kExitStartupEnded);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].first, MessageIcon::kExclamation);
  EXPECT_EQ(host_.messages[0].second, "Programme déjà lancé");
  EXPECT_TRUE(host_.calls.empty());  // no tray icon to remove
}

TEST_F(StartupTest, EveryEarlyEndRemovesTheTrayIcon) {
  dir_.Write("Vorn.w", "\"123\",\"\"\r\n");
  EXPECT_FALSE(Start().proceed);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].first, MessageIcon::kCritical);
  EXPECT_EQ(host_.calls.back(), "tray-");

  // "-U" ends silently when a folder is missing, even inside a longer word.
  dir_.Write("Vorn.w", "\"" + EncodeHexPath(dir_.path()) + "\",\"" +
                           EncodeHexPath(dir_.Path("missing")) + "\"\r\n");
  host_.calls.clear();
  EXPECT_FALSE(Start("X-UPDATE").proceed);
  EXPECT_EQ(host_.calls.back(), "tray-");
  EXPECT_EQ(host_.messages.size(), 1u);
  EXPECT_TRUE(Start("plain").proceed);
}

TEST_F(StartupTest, TheServiceProcessRunsInServiceMode) {
  service_.installed = service_.running_as_service = true;
  ASSERT_TRUE(Start().proceed);
  EXPECT_TRUE(app_.service_mode);
  EXPECT_TRUE(host_.mode.service);
  EXPECT_EQ(host_.mode.label, "Service");
  EXPECT_EQ(host_.mode.tip, "Vorn Mirroring Service");
  EXPECT_TRUE(host_.questions.empty());
}

TEST_F(StartupTest, AnInstalledServiceIsRemovedOnYesAndKeptOnNo) {
  dir_.Write("Vorn.ini", "[Configuration]\nAutomatique=1\n");
  service_.installed = true;
  host_.answers = {false};
  EXPECT_FALSE(Start().proceed);
  ASSERT_EQ(host_.questions.size(), 1u);
  EXPECT_EQ(host_.questions[0],
            "Vorn Service installed\r\nsee 'Control panel/Services'\r\n\r\nRemove it ?");
  EXPECT_TRUE(service_.installed);
  EXPECT_EQ(dir_.Read("Vorn.ini"), "[Configuration]\nAutomatique=1\n");

  host_.answers = {true};
  ASSERT_TRUE(Start().proceed);
  EXPECT_FALSE(service_.installed);
  ASSERT_EQ(service_.events.size(), 1u);
  EXPECT_EQ(service_.events[0].second, "Vorn Service removed");
  EXPECT_FALSE(app_.settings.Automatique);
  EXPECT_EQ(dir_.Read("Vorn.ini"), "[Configuration]\nAutomatique=0\n");
  EXPECT_FALSE(host_.mode.service);
}

}  // namespace
}  // namespace vorn
