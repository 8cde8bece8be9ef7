// Runs the built `vorn --headless` and the service commands on real trees.

#include <signal.h>

#include <algorithm>
#include <regex>

#include <gtest/gtest.h>

#include "settings/hex_path.h"
#include "support/test_folder.h"
#include "support/vorn_process.h"

namespace vorn {
namespace {

using testing::TestFolder;
using testing::VornProcess;
using testing::WaitFor;

class HeadlessTest : public ::testing::Test {
 protected:
  HeadlessTest() {
    dir_.MakeFolder("home");
    dir_.MakeFolder("src");
    dir_.MakeFolder("dst");
    dir_.Write("home/Vorn.w", "\"" + EncodeHexPath(dir_.Path("src")) + "\",\"" +
                                  EncodeHexPath(dir_.Path("dst")) + "\"\r\n");
    dir_.Write("home/Vorn.ini", "[Configuration]\nTemporisation=1\n");
  }
  std::vector<std::string> Args(std::vector<std::string> args) {
    args.insert(args.begin(), {"--home", dir_.Path("home")});
    return args;
  }
  std::vector<std::string> UnitEnvironment() { return {"VORN_UNIT_DIR=" + dir_.Path("units")}; }

  TestFolder dir_;
};

TEST_F(HeadlessTest, MirrorsOnTheScheduleUntilSigterm) {
  dir_.Write("src/first.txt", "1");
  VornProcess vorn(VORN_BINARY, Args({"--headless"}), dir_.path());
  ASSERT_TRUE(WaitFor([&] { return dir_.Exists("dst/first.txt"); }));
  dir_.Write("src/later.txt", "2");
  ASSERT_TRUE(WaitFor([&] { return dir_.Exists("dst/later.txt"); }));
  vorn.Signal(SIGTERM);
  EXPECT_EQ(vorn.Wait(), 0) << vorn.Err();
  const std::string out = vorn.Out();
  EXPECT_NE(out.find("Files: 1 created"), std::string::npos) << out;
  EXPECT_GE(std::count(out.begin(), out.end(), '\n'), 4);  // two summaries at least
  EXPECT_EQ(vorn.Err(), "");
}

TEST_F(HeadlessTest, SigintDuringAPassStopsItAndPrintsItsSummary) {
  for (int i = 0; i < 20000; ++i) dir_.Write("src/f" + std::to_string(i), "x");
  VornProcess vorn(VORN_BINARY, Args({"--once"}), dir_.path());
  WaitFor([&] { return dir_.Names("dst").size() > 10; });
  vorn.Signal(SIGINT);
  EXPECT_EQ(vorn.Wait(), 0);
  // The summary of the cut pass tells exactly what reached the target.
  std::smatch created;
  const std::string out = vorn.Out();
  ASSERT_TRUE(std::regex_search(out, created, std::regex("Files: ([0-9]+) created"))) << out;
  EXPECT_EQ(std::stoul(created[1]), dir_.Names("dst").size());
}

TEST_F(HeadlessTest, StopAfterTheFirstPassEndsByItself) {
  dir_.Write("home/Vorn.ini", "[Configuration]\nArretAutomatique=1\nAutomatique=1\n");
  VornProcess vorn(VORN_BINARY, Args({"--headless"}), dir_.path());
  EXPECT_EQ(vorn.Wait(), 0);
  EXPECT_NE(vorn.Err().find("Vorn: Type key 'Esc' to display the main window"), std::string::npos);
}

TEST_F(HeadlessTest, ServiceCommandsInstallAndRemoveTheUnit) {
  // The folder as typed, not as systemd (which starts from "/") must read it.
  dir_.MakeFolder("odd $HOME%h");
  VornProcess install(VORN_BINARY,
                      {"--home", dir_.Path("odd $HOME%h") + "/../odd $HOME%h/", "--install-service",
                       "--start-type", "manual"},
                      dir_.path(), UnitEnvironment());
  EXPECT_EQ(install.Wait(), 0);
  EXPECT_EQ(install.Out(),
            "Vorn Service installed\n(mirroring operations start automatically when the service "
            "starts)\n\nConfiguration and start, see\n'Control panel/Services'\n");
  const std::string unit = dir_.Read("units/vorn.service");
  EXPECT_NE(unit.find("X-Vorn-StartType=1"), std::string::npos);
  EXPECT_NE(unit.find(" --service --home \"" + dir_.Path("odd $$HOME%%h") + "\"\n"),
            std::string::npos)
      << unit;

  VornProcess again(VORN_BINARY, Args({"--install-service"}), dir_.path(), UnitEnvironment());
  EXPECT_EQ(again.Wait(), 2);
  EXPECT_EQ(again.Out(), "");
  EXPECT_EQ(again.Err(), "Vorn: Vorn Service already installed\n");

  // A run on another application folder leaves that folder's service alone.
  VornProcess elsewhere(VORN_BINARY, Args({"--once"}), dir_.path(), UnitEnvironment());
  EXPECT_EQ(elsewhere.Wait(), 0) << elsewhere.Err();
  VornProcess uninstall(VORN_BINARY, Args({"--remove-service"}), dir_.path(), UnitEnvironment());
  EXPECT_EQ(uninstall.Wait(), 0);
  VornProcess here(VORN_BINARY, Args({"--install-service"}), dir_.path(), UnitEnvironment());
  EXPECT_EQ(here.Wait(), 0);

  // An interactive run finds the service and cannot ask whether to remove it.
  VornProcess headless(VORN_BINARY, Args({"--headless"}), dir_.path(), UnitEnvironment());
  EXPECT_EQ(headless.Wait(), 2);
  EXPECT_NE(headless.Err().find("Remove it ?"), std::string::npos) << headless.Err();

  VornProcess remove(VORN_BINARY, Args({"--remove-service"}), dir_.path(), UnitEnvironment());
  EXPECT_EQ(remove.Wait(), 0);
  EXPECT_EQ(remove.Out(), "Vorn Service: removed\n");
  VornProcess twice(VORN_BINARY, Args({"--remove-service"}), dir_.path(), UnitEnvironment());
  EXPECT_EQ(twice.Wait(), 2);
  EXPECT_EQ(twice.Err(), "Vorn: Vorn Service not installed\n");
}

TEST_F(HeadlessTest, TheServiceProcessMirrorsInServiceMode) {
  VornProcess install(VORN_BINARY, Args({"--install-service"}), dir_.path(), UnitEnvironment());
  ASSERT_EQ(install.Wait(), 0);
  dir_.Write("src/f", "x");
  VornProcess service(VORN_BINARY, Args({"--service"}), dir_.path(), UnitEnvironment());
  ASSERT_TRUE(WaitFor([&] { return dir_.Exists("dst/f"); }));
  service.Signal(SIGTERM);
  EXPECT_EQ(service.Wait(), 0);
}

}  // namespace
}  // namespace vorn
