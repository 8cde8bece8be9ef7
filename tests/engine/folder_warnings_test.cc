// The warnings about unknown folders, and the service's installation and
// event log entries.

#include "engine/folder_warnings.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>

#include "platform/process.h"
#include "runtime/service_admin.h"
#include "base/text.h"
#include "support/engine_fixture.h"
#include "support/test_folder.h"

namespace vorn {
namespace {

using testing::FakeServiceControl;
using testing::TestFolder;

TEST(FolderWarningsTest, TheNetworkMessageRunsNetSendWithTheStoredText) {
  TestFolder dir;
  dir.MakeFolder("bin");
  // A stand-in for "net" that writes down the arguments it received.
  dir.Write("bin/net",
            "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.args.tmp\"\n"
            "mv \"$0.args.tmp\" \"$0.args\"\n",
            0755);
  const std::string old_path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
  ::setenv("PATH", (dir.Path("bin") + ":" + old_path).c_str(), 1);
  const auto fs = platform::MakePosixFileSystem();
  testing::FakeClock clock;
  MirrorSettings settings;
  settings.ErreurDossierNetSend = true;
  DailyLog log(*fs, settings, clock, dir.path());
  testing::RecordingHost host;
  const SystemInfo system = testing::NtSystem();
  WarningChannels channels{host, log, nullptr, system,
                           platform::StartDetachedShellCommand};
  RaiseFolderWarning("10:15:02 - Unknown source folder", "/data/", settings, channels);
  for (int i = 0; i < 500 && !dir.Exists("bin/net.args"); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::setenv("PATH", old_path.c_str(), 1);
  ASSERT_TRUE(dir.Exists("bin/net.args")) << "the command never ran";
  EXPECT_EQ(dir.Read("bin/net.args"), "send\nAdministrator\nWarning from Vorn: unknown folder\n");
}

TEST(FolderWarningsTest, ChannelsFireInOrderOnlyWhenSwitchedOn) {
  TestFolder dir;
  const auto fs = platform::MakePosixFileSystem();
  testing::FakeClock clock;
  MirrorSettings settings;
  settings.PathLogs = dir.path();
  DailyLog log(*fs, settings, clock, dir.path());
  log.FixDay(clock.Now());
  testing::RecordingHost host;
  FakeServiceControl service;
  service.installed = service.running = true;
  std::vector<std::string> commands;
  const SystemInfo system = testing::NtSystem();
  WarningChannels channels{host, log, &service, system,
                           [&](const std::string& c) { commands.push_back(c); }};
  RaiseFolderWarning("message", "/f/", settings, channels);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(host.beeps, 0);
  EXPECT_TRUE(service.events.empty());
  EXPECT_TRUE(commands.empty());
  EXPECT_FALSE(fs->Lookup(log.current_file()).ok());

  settings.ErreurDossier = true;  // screen, and the log only when logging is on
  RaiseFolderWarning("message", "/f/", settings, channels);
  EXPECT_EQ(host.messages, std::vector<std::string>{"message"});
  EXPECT_FALSE(fs->Lookup(log.current_file()).ok());
  settings.Logs = settings.ErreurDossierSon = settings.ErreurDossierEventLog = true;
  settings.MessageNetSend = "bob hello there";
  settings.ErreurDossierNetSend = true;
  RaiseFolderWarning("message", "/<f>&/", settings, channels);
  EXPECT_EQ(host.beeps, 1);
  EXPECT_EQ(commands, std::vector<std::string>{"net send bob hello there"});
  ASSERT_EQ(service.events.size(), 1u);
  EXPECT_EQ(service.events[0].second, "message: /<f>&/");
  const auto text = fs->ReadFile(log.current_file());
  ASSERT_TRUE(text.ok());
  // Only the log is HTML; the event log takes the name as it is.
  EXPECT_NE(text->find("\r\nmessage: /&lt;f&gt;&amp;/<br>\r\n"), std::string::npos);

  settings.MessageNetSend.clear();
  RaiseFolderWarning("message", "/f/", settings, channels);
  EXPECT_EQ(commands.size(), 1u);  // an empty message sends nothing
  settings.MessageNetSend = "bob hello";
  const SystemInfo family_95 = testing::Windows95System();
  WarningChannels on_95{host, log, &service, family_95, channels.run_detached};
  RaiseFolderWarning("message", "/f/", settings, on_95);
  EXPECT_EQ(commands.size(), 1u);  // the 95 family has neither
  EXPECT_EQ(service.events.size(), 2u);
}

TEST(ServiceAdminTest, InstallAndRemoveOnceEachAndSayWhenThereIsNothingToDo) {
  FakeServiceControl service;
  const ServiceAction installed = InstallService(service, platform::kStartManual, true, kEnglish);
  EXPECT_TRUE(installed.done);
  EXPECT_TRUE(service.installed);
  EXPECT_EQ(service.start_type, 1);
  EXPECT_TRUE(service.interact);
  ASSERT_EQ(service.events.size(), 1u);
  EXPECT_EQ(service.events[0].first, platform::EventType::kInformation);
  EXPECT_EQ(service.events[0].second,
            "Vorn Service installed\r\n(mirroring operations start automatically when the "
            "service starts)");
  const ServiceAction again = InstallService(service, platform::kStartAutomatic, false, kFrench);
  EXPECT_FALSE(again.done);
  EXPECT_EQ(again.state_text, "Vorn Service déjà installé");
  EXPECT_EQ(service.start_type, 1);
  EXPECT_EQ(service.events.size(), 1u);

  const ServiceAction removed = RemoveService(service, kEnglish);
  EXPECT_TRUE(removed.done);
  EXPECT_EQ(service.events.back().second, "Vorn Service: removed");
  const ServiceAction gone = RemoveService(service, kPortuguese);
  EXPECT_FALSE(gone.done);
  EXPECT_EQ(gone.state_text, "Vorn Service naõ instalado");
  EXPECT_EQ(service.events.size(), 2u);
}

TEST(ServiceAdminTest, LifeCycleEntriesAreFrenchOrEnglish) {
  FakeServiceControl service;
  Language language = kFrench;
  ServiceLifecycleLog log(service, language);
  log.OnServiceStarted("ignored");
  language = kPortuguese;  // no Portuguese entries: English serves
  log.OnServiceStopped();
  log.OnUserLoggedOff();
  ASSERT_EQ(service.events.size(), 3u);
  EXPECT_EQ(service.events[0].second, "Vorn Service: démarré");
  EXPECT_EQ(service.events[1].second, "Vorn Service: stopped");
  EXPECT_EQ(service.events[2].first, platform::EventType::kWarning);
  EXPECT_EQ(service.events[2].second, "Vorn Service: logoff user");
}

}  // namespace
}  // namespace vorn
