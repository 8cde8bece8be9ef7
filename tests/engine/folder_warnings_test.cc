// The warnings about unknown folders, and the service's installation and
// event log entries.

#include "engine/folder_warnings.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>

#include "base/text.h"
#include "platform/process.h"
#include "runtime/service_admin.h"
#include "support/engine_fixture.h"

namespace vorn {
namespace {

using platform::EventType;
using Events = std::vector<std::pair<EventType, std::string>>;
using Lines = std::vector<std::string>;
using FolderWarningsTest = testing::EngineTest;

// Through a shell, which splits the stored text as it was typed.
TEST_F(FolderWarningsTest, TheNetworkMessageRunsNetSendWithTheStoredText) {
  dir_.MakeFolder("bin");
  // A stand-in for "net" that writes down the arguments it received.
  dir_.Write("bin/net",
             "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.args.tmp\"\n"
             "mv \"$0.args.tmp\" \"$0.args\"\n",
             0755);
  const std::string old_path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
  ::setenv("PATH", (dir_.Path("bin") + ":" + old_path).c_str(), 1);
  settings_.ErreurDossierNetSend = true;
  warnings_.run_detached = platform::StartDetachedShellCommand;
  RaiseFolderWarning("10:15:02 - Unknown source folder", "/data/", settings_, warnings_);
  for (int i = 0; i < 500 && !dir_.Exists("bin/net.args"); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::setenv("PATH", old_path.c_str(), 1);
  ASSERT_TRUE(dir_.Exists("bin/net.args")) << "the command never ran";
  EXPECT_EQ(dir_.Read("bin/net.args"), "send\nAdministrator\nWarning from Vorn: unknown folder\n");
}

TEST_F(FolderWarningsTest, EachChannelFiresOnlyWhenSwitchedOn) {
  service_.installed = service_.running = true;
  log_.FixDay(clock_.Now());
  const auto raise = [this] { RaiseFolderWarning("message", "/<f>&/", settings_, warnings_); };
  settings_.Logs = true;  // a log line comes with the message only
  raise();
  settings_.Logs = false;
  settings_.ErreurDossier = true;
  raise();
  EXPECT_EQ(host_.messages, Lines{"message"});
  EXPECT_EQ(host_.beeps, 0);
  EXPECT_TRUE(service_.events.empty());
  EXPECT_TRUE(commands_run_.empty());
  EXPECT_FALSE(dir_.Exists("Log Vorn 2024-05-01.htm"));
  settings_.Logs = settings_.ErreurDossierSon = settings_.ErreurDossierEventLog = true;
  settings_.ErreurDossierNetSend = true;
  settings_.MessageNetSend = "bob hello there";
  raise();
  EXPECT_EQ(host_.beeps, 1);
  EXPECT_EQ(commands_run_, Lines{"net send bob hello there"});
  // Only the log is HTML; the event log takes the name as it is.
  EXPECT_EQ(service_.events, (Events{{EventType::kWarning, "message: /<f>&/"}}));
  EXPECT_EQ(LogBody(), Lines{"message: /&lt;f&gt;&amp;/<br>"});
  settings_.MessageNetSend.clear();
  raise();
  EXPECT_EQ(commands_run_.size(), 1u);  // an empty message sends nothing
  settings_.MessageNetSend = "bob hello";
  system_ = testing::Windows95System();
  raise();
  EXPECT_EQ(commands_run_.size(), 1u);  // the 95 family has neither
  EXPECT_EQ(service_.events.size(), 2u);
}

TEST(ServiceAdminTest, InstallAndRemoveOnceEachAndTheLifeCycleIsLogged) {
  testing::FakeServiceControl service;
  EXPECT_TRUE(InstallService(service, platform::kStartManual, true, kEnglish).done);
  EXPECT_TRUE(service.installed && service.interact);
  const ServiceAction again = InstallService(service, platform::kStartAutomatic, false, kFrench);
  EXPECT_FALSE(again.done);
  EXPECT_EQ(again.state_text, "Vorn Service déjà installé");
  EXPECT_EQ(service.start_type, 1);
  EXPECT_TRUE(RemoveService(service, kEnglish).done);
  const ServiceAction gone = RemoveService(service, kPortuguese);
  EXPECT_FALSE(gone.done);
  EXPECT_EQ(gone.state_text, "Vorn Service naõ instalado");
  Language language = kFrench;
  ServiceLifecycleLog log(service, language);
  log.OnServiceStarted("ignored");
  language = kPortuguese;  // no Portuguese entries: English serves
  log.OnServiceStopped();
  log.OnUserLoggedOff();
  EXPECT_EQ(service.events, (Events{{EventType::kInformation,
                                     "Vorn Service installed\r\n(mirroring operations start "
                                     "automatically when the service starts)"},
                                    {EventType::kInformation, "Vorn Service: removed"},
                                    {EventType::kInformation, "Vorn Service: démarré"},
                                    {EventType::kInformation, "Vorn Service: stopped"},
                                    {EventType::kWarning, "Vorn Service: logoff user"}}));
}

}  // namespace
}  // namespace vorn
