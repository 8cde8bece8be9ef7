// Runs the built `vorn --headless` and the service commands on real trees.

#include <signal.h>

#include <algorithm>
#include <regex>

#include "e2e/e2e_fixture.h"

namespace vorn {
namespace {

class HeadlessTest : public E2eTest {
 protected:
  HeadlessTest() { Pair("[Configuration]\nTemporisation=1\n"); }
  // Runs vorn with the service units kept in the test folder.
  Outcome WithUnits(const std::vector<std::string>& args) {
    return Vorn(args, {"VORN_UNIT_DIR=" + dir_.Path("units")});
  }
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
  EXPECT_TRUE(Has(out, "Files: 1 created"));
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
  const Outcome run = Vorn({"--headless"});
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(Has(run.err, "Vorn: Type key 'Esc' to display the main window"));
}

TEST_F(HeadlessTest, ServiceCommandsInstallRunAndRemoveTheUnit) {
  // The folder as typed, not as systemd (which starts from "/") must read it.
  dir_.MakeFolder("odd $HOME%h");
  VornProcess install(VORN_BINARY,
                      {"--home", dir_.Path("odd $HOME%h") + "/../odd $HOME%h/", "--install-service",
                       "--start-type", "manual"},
                      dir_.path(), {"VORN_UNIT_DIR=" + dir_.Path("units")});
  EXPECT_EQ(install.Wait(), 0);
  EXPECT_EQ(install.Out(),
            "Vorn Service installed\n(mirroring operations start automatically when the service "
            "starts)\n\nConfiguration and start, see\n'Control panel/Services'\n");
  const std::string unit = dir_.Read("units/vorn.service");
  EXPECT_TRUE(Has(unit, "X-Vorn-StartType=1"));
  EXPECT_TRUE(Has(unit, " --service --home \"" + dir_.Path("odd $$HOME%%h") + "\"\n"));

  EXPECT_EQ(WithUnits({"--install-service"}),
            (Outcome{2, "", "Vorn: Vorn Service already installed\n"}));

  // A run on another application folder leaves that folder's service alone.
  EXPECT_EQ(WithUnits({"--once"}).status, 0);
  EXPECT_EQ(WithUnits({"--remove-service"}).status, 0);
  EXPECT_EQ(WithUnits({"--install-service"}).status, 0);

  // An interactive run finds the service and cannot ask whether to remove it.
  const Outcome headless = WithUnits({"--headless"});
  EXPECT_EQ(headless.status, 2);
  EXPECT_TRUE(Has(headless.err, "Remove it ?"));

  // The service process itself mirrors.
  dir_.Write("src/f", "x");
  VornProcess service(VORN_BINARY, Args({"--service"}), dir_.path(),
                      {"VORN_UNIT_DIR=" + dir_.Path("units")});
  EXPECT_TRUE(WaitFor([&] { return dir_.Exists("dst/f"); }));
  service.Signal(SIGTERM);
  EXPECT_EQ(service.Wait(), 0);

  EXPECT_EQ(WithUnits({"--remove-service"}), (Outcome{0, "Vorn Service: removed\n", ""}));
  EXPECT_EQ(WithUnits({"--remove-service"}),
            (Outcome{2, "", "Vorn: Vorn Service not installed\n"}));
}

}  // namespace
}  // namespace vorn
