// The system this runs on; one instance per application folder, with who
// holds it learnt from outside as `vorn pair` and `vorn config` learn it; and
// the service as a systemd unit.

#include "platform/system.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/signals.h"
#include "platform/systemd_service.h"
#include "support/test_folder.h"

namespace vorn::platform {
namespace {

using testing::TestFolder;

// Sets an environment variable for one scope.
struct ScopedVariable {
  ScopedVariable(const char* variable, const std::string& value) : name(variable) {
    if (const char* before = std::getenv(name)) old = before;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedVariable() { old ? ::setenv(name, old->c_str(), 1) : ::unsetenv(name); }
  const char* name;
  std::optional<std::string> old;
};

// The application folder is the option's, else the variable's, made on first use.
TEST(SystemTest, OsFactsDescribeThisLinuxAndTheApplicationFolderComesFromTheOptionOrTheVariable) {
  const OsFacts facts = ReadOsFacts();
  EXPECT_EQ(facts.os_name, "Linux");
  EXPECT_TRUE(facts.major > 0 && !facts.computer_name.empty() && !facts.user_name.empty());
  TestFolder dir;
  ScopedVariable home("VORN_HOME", dir.Path("from-env"));
  EXPECT_EQ(*ResolveApplicationFolder(dir.Path("from-option/nested/")),
            dir.Path("from-option/nested"));
  EXPECT_TRUE(dir.Exists("from-option/nested"));
  EXPECT_EQ(*ResolveApplicationFolder(""), dir.Path("from-env"));
  dir.Write("a-file", "");
  EXPECT_FALSE(ResolveApplicationFolder(dir.Path("a-file")).ok());
}

TEST(SystemTest, NumbersAreWrittenTheUserLocaleWay) {
  {
    ScopedVariable all("LC_ALL", "C");
    EXPECT_EQ(UserNumberFormat().grouping_separator + "|" + UserNumberFormat().decimal_separator,
              "|.");
  }
  // A French locale built for the test, so it does not depend on the
  // locales this machine happens to have generated.
  TestFolder dir;
  const std::string command =
      "localedef -i fr_FR -f UTF-8 " + dir.Path("fr_FR.UTF-8") + " >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) GTEST_SKIP() << "localedef cannot build fr_FR here";
  ScopedVariable path("LOCPATH", dir.path());
  ScopedVariable all("LC_ALL", "fr_FR.UTF-8");
  EXPECT_EQ(UserNumberFormat().grouping_separator + "|" + UserNumberFormat().decimal_separator,
            "\u202f|,");
}

// A refused attempt, once gone, must not take the holder's lock with it nor
// touch its record; the record outlives its holder and means nothing then.
TEST(InstanceRecordTest, OneHolderPerFolderWhoseKindIsReadWhileItHolds) {
  using State = InstanceLock::State;
  const auto state = [](const std::string& at) { return InstanceLock::TryAcquire(at).state(); };
  TestFolder dir, other;
  const std::string record = dir.Path("Vorn.lock");
  EXPECT_FALSE(FindInstanceHolder(dir.path(), record));
  EXPECT_EQ(state(dir.Path("missing")), State::kUnavailable);
  {  // the other kinds are read back by the shell commands' tests
    InstanceLock first = InstanceLock::TryAcquire(dir.path(), record, InstanceKind::kOnce);
    ASSERT_EQ(first.state(), State::kHeld);
    EXPECT_EQ(InstanceLock::TryAcquire(dir.path(), record, InstanceKind::kWindow).state(),
              State::kAlreadyRunning);
    EXPECT_EQ(state(other.path()), State::kHeld);
    const InstanceLock moved = std::move(first);
    EXPECT_EQ(state(dir.path()), State::kAlreadyRunning);
    const auto holder = FindInstanceHolder(dir.path(), record);
    ASSERT_TRUE(holder);
    EXPECT_EQ(std::pair(holder->pid, holder->kind),
              std::pair(::getpid(), std::optional(InstanceKind::kOnce)));
  }
  EXPECT_TRUE(dir.Exists("Vorn.lock"));
  EXPECT_FALSE(FindInstanceHolder(dir.path(), record));
  EXPECT_EQ(state(dir.path()), State::kHeld);
  // A holder without a record is still found, of no known kind: a window,
  // perhaps, so callers take the careful view.
  other.MakeFolder("Vorn.lock");
  const InstanceLock held =
      InstanceLock::TryAcquire(other.path(), other.Path("Vorn.lock"), InstanceKind::kHeadless);
  ASSERT_EQ(held.state(), State::kHeld);
  const auto holder = FindInstanceHolder(other.path(), other.Path("Vorn.lock"));
  ASSERT_TRUE(holder);
  EXPECT_EQ(holder->pid, ::getpid());
  EXPECT_FALSE(holder->kind);
}

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
  service->SetStartType(1);
  service->SetInteractWithDesktop(true);
  service->Install(false);
  ASSERT_TRUE(service->IsInstalled() && service->IsInstalledHere());
  EXPECT_TRUE(service->StartType() == 1 && service->InteractWithDesktop());
  const std::string unit = dir_.Read("units/vorn.service");
  // How ExecStart quotes and escapes is seen end to end.
  for (const char* line : {"After=network-online.target\n", "WantedBy=multi-user.target\n"}) {
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
  EXPECT_FALSE(dir_.Exists("units/vorn.service") || service->IsInstalled());

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
