#include "platform/systemd_service.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/signals.h"
#include "support/test_folder.h"

namespace vorn::platform {
namespace {

using testing::TestFolder;

class SystemdServiceTest : public ::testing::Test {
 protected:
  SystemdOptions Options() {
    SystemdOptions options;
    options.unit_folder = dir_.Path("units");
    options.executable = "/opt/vorn dir/vorn";
    options.app_folder = "/srv/vorn 100%";
    options.run = [this](const std::vector<std::string>& argv) {
      std::string line;
      for (const std::string& a : argv) line += (line.empty() ? "" : " ") + a;
      commands_.push_back(line);
      return is_active_ ? 0 : 3;
    };
    options.log = [this](EventType type, const std::string& text) {
      entries_.emplace_back(type, text);
    };
    return options;
  }

  TestFolder dir_;
  std::vector<std::string> commands_;
  std::vector<std::pair<EventType, std::string>> entries_;
  bool is_active_ = false;
};

TEST_F(SystemdServiceTest, InstallWritesAUnitThatReadsBackAndRemoveDeletesIt) {
  const auto service = MakeSystemdServiceControl(Options());
  EXPECT_FALSE(service->IsInstalled());
  service->SetStartType(1);
  service->SetInteractWithDesktop(true);
  service->Install(false);
  ASSERT_TRUE(service->IsInstalled());
  EXPECT_EQ(service->StartType(), 1);
  EXPECT_TRUE(service->InteractWithDesktop());
  const std::string unit = dir_.Read("units/vorn.service");
  EXPECT_NE(unit.find("ExecStart=\"/opt/vorn dir/vorn\" --service --home \"/srv/vorn 100%%\"\n"),
            std::string::npos)
      << unit;
  EXPECT_NE(unit.find("After=network-online.target"), std::string::npos);
  EXPECT_NE(unit.find("WantedBy=multi-user.target"), std::string::npos);
  EXPECT_TRUE(commands_.empty());  // no systemd here: nothing is called

  // A fresh control reads the settings from the unit, a start type it does
  // not know included.
  dir_.Write("units/vorn.service", "[Service]\nX-Vorn-StartType=4\n");
  EXPECT_EQ(MakeSystemdServiceControl(Options())->StartType(), 4);

  service->Uninstall();
  EXPECT_FALSE(service->IsInstalled());
  service->Uninstall();  // twice is harmless
  EXPECT_FALSE(dir_.Exists("units/vorn.service"));
}

TEST_F(SystemdServiceTest, TheUnitPassesSystemdsOwnCheck) {
  if (::access("/usr/bin/systemd-analyze", X_OK) != 0) GTEST_SKIP() << "no systemd-analyze";
  SystemdOptions options = Options();
  options.executable = "/bin/true";
  options.app_folder = dir_.path();
  const auto service = MakeSystemdServiceControl(options);
  service->Install(false);
  const std::string command =
      "systemd-analyze verify '" + dir_.Path("units/vorn.service") + "' >/dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0);
}

TEST_F(SystemdServiceTest, WhereSystemdRunsAutomaticMeansEnabled) {
  SystemdOptions options = Options();
  options.systemd_running = true;
  options.user_unit = true;
  const auto service = MakeSystemdServiceControl(options);
  service->SetStartType(0);
  service->Install(false);
  EXPECT_EQ(commands_, (std::vector<std::string>{"systemctl --user daemon-reload",
                                                 "systemctl --user enable vorn.service"}));
  EXPECT_NE(dir_.Read("units/vorn.service").find("WantedBy=default.target"), std::string::npos);
  commands_.clear();
  service->SetStartType(2);
  EXPECT_EQ(commands_.back(), "systemctl --user disable vorn.service");
  EXPECT_FALSE(service->IsRunning());
  is_active_ = true;
  EXPECT_TRUE(service->IsRunning());
  EXPECT_EQ(commands_.back(), "systemctl --user is-active --quiet vorn.service");
}

TEST_F(SystemdServiceTest, EventsGoToTheLogAndLifeCycleComesFromSignals) {
  struct Recorder : ServiceEventHandler {
    std::vector<std::string> seen;
    void OnServiceStarted(std::string_view) override { seen.push_back("started"); }
    void OnServiceStopped() override { seen.push_back("stopped"); }
    void OnServicePaused() override { seen.push_back("paused"); }
    void OnServiceContinued() override { seen.push_back("continued"); }
    void OnUserLoggedOff() override { seen.push_back("logoff"); }
  } recorder;
  SystemdOptions options = Options();
  options.running_as_service = true;
  const auto service = MakeSystemdServiceControl(options);
  service->LogEvent(EventType::kWarning, "careful");
  EXPECT_EQ(entries_,
            (std::vector<std::pair<EventType, std::string>>{{EventType::kWarning, "careful"}}));
  EXPECT_TRUE(service->IsRunning());  // this process is the service

  ClearSignals();
  CatchProcessSignals(true);
  service->SetEventHandler(&recorder);
  service->DeliverPendingEvents();
  ::raise(SIGTSTP);
  ::raise(SIGCONT);
  service->DeliverPendingEvents();
  ::raise(SIGTERM);
  service->DeliverPendingEvents();
  service->DeliverPendingEvents();
  EXPECT_EQ(recorder.seen, (std::vector<std::string>{"started", "paused", "continued", "stopped"}));
  ClearSignals();
}

}  // namespace
}  // namespace vorn::platform
