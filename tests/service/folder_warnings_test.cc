#include "service/folder_warnings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>

#include "platform/process.h"
#include "support/engine_fixture.h"
#include "support/test_folder.h"

namespace vorn {
namespace {

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
  WarningChannels channels{host, log, nullptr, system, platform::StartDetachedShellCommand};
  RaiseFolderWarning("10:15:02 - Unknown source folder", "/data/", settings, channels);

  std::string args;
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
  testing::FakeServiceControl service;
  service.installed = service.running = true;
  const SystemInfo system = testing::NtSystem();
  std::vector<std::string> commands;
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
  settings.Logs = true;
  settings.ErreurDossierSon = true;
  settings.ErreurDossierEventLog = true;
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
}

}  // namespace
}  // namespace vorn
