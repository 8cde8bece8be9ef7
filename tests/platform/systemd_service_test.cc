#include "platform/systemd_service.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/signals.h"
#include "support/test_folder.h"

namespace vorn::platform {
namespace {

class SystemdServiceTest : public ::testing::Test {
 protected:
  SystemdServiceTest() {
    options_.unit_folder = dir_.Path("units");
    options_.executable = "/opt/vorn dir/vorn";
    options_.app_folder = "/srv/vorn 100%";
    options_.run = [this](const std::vector<std::string>& argv) {
      std::string line = argv.front();
      for (size_t i = 1; i < argv.size(); ++i) line += " " + argv[i];
      commands_.push_back(line);
      return is_active_ ? 0 : 3;
    };
  }

  testing::TestFolder dir_;
  SystemdOptions options_;
  std::vector<std::string> commands_;
  bool is_active_ = false;
};

TEST_F(SystemdServiceTest, InstallWritesAUnitThatReadsBackAndRemoveDeletesIt) {
  const auto service = MakeSystemdServiceControl(options_);
  EXPECT_FALSE(service->IsInstalled());
  service->SetStartType(1);
  service->SetInteractWithDesktop(true);
  service->Install(false);
  ASSERT_TRUE(service->IsInstalled());
  EXPECT_TRUE(service->IsInstalledHere());
  EXPECT_EQ(service->StartType(), 1);
  EXPECT_TRUE(service->InteractWithDesktop());
  const std::string unit = dir_.Read("units/vorn.service");
  for (const char* line :
       {"ExecStart=\"/opt/vorn dir/vorn\" --service --home \"/srv/vorn 100%%\"\n",
        "After=network-online.target\n", "WantedBy=multi-user.target\n"}) {
    EXPECT_NE(unit.find(line), std::string::npos) << line << " in\n" << unit;
  }
  EXPECT_TRUE(commands_.empty());  // no systemd here: nothing is called

  // A fresh control reads the settings from the unit, a start type it does
  // not know included; a unit for another folder is not this one's.
  dir_.Write("units/vorn.service", "[Service]\nX-Vorn-StartType=4\n");
  EXPECT_EQ(MakeSystemdServiceControl(options_)->StartType(), 4);
  EXPECT_FALSE(service->IsInstalledHere());

  service->Uninstall();
  service->Uninstall();  // twice is harmless
  EXPECT_FALSE(dir_.Exists("units/vorn.service"));
  EXPECT_FALSE(service->IsInstalled());

  if (::access("/usr/bin/systemd-analyze", X_OK) != 0) GTEST_SKIP() << "no systemd-analyze";
  options_.executable = "/bin/true";
  options_.app_folder = dir_.path();
  MakeSystemdServiceControl(options_)->Install(false);
  const std::string verify = "systemd-analyze verify '" + dir_.Path("units/vorn.service") + "'";
  EXPECT_EQ(std::system((verify + " >/dev/null 2>&1").c_str()), 0) << verify;
}

TEST_F(SystemdServiceTest, WhereSystemdRunsAutomaticMeansEnabled) {
  options_.systemd_running = true;
  options_.user_unit = true;
  const auto service = MakeSystemdServiceControl(options_);
  service->SetStartType(0);
  service->Install(false);
  EXPECT_EQ(commands_, (std::vector<std::string>{"systemctl --user daemon-reload",
                                                 "systemctl --user enable vorn.service"}));
  EXPECT_NE(dir_.Read("units/vorn.service").find("WantedBy=default.target"), std::string::npos);
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
  std::vector<std::pair<EventType, std::string>> entries;
  options_.log = [&](EventType type, const std::string& text) { entries.emplace_back(type, text); };
  options_.running_as_service = true;
  const auto service = MakeSystemdServiceControl(options_);
  service->LogEvent(EventType::kWarning, "careful");
  EXPECT_EQ(entries, (decltype(entries){{EventType::kWarning, "careful"}}));
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
