// `vorn --install-service` and `--remove-service`, the unit they write (how
// exposed systemd judges it), and its ExecStart run as systemd would run it.

#include <grp.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <regex>

#include "e2e/e2e_fixture.h"

namespace vorn {
namespace {

class ServiceTest : public E2eTest {
 protected:
  // The application folder has a name that needs every escape of a unit.
  ServiceTest() {
    home_ = "odd $HOME%h \"q\"";
    dir_.MakeFolder(home_);
    Pair("[Configuration]\nTemporisation=1\n");
  }
  // Runs vorn with the service units kept in the test folder.
  Outcome WithUnits(const std::vector<std::string>& args) { return Vorn(args, units_); }

  const std::vector<std::string> units_ = {"VORN_UNIT_DIR=" + dir_.Path("units")};
};

TEST_F(ServiceTest, TheUnitIsHardenedAndItsOwnCommandLineMirrorsUntilSigterm) {
  // The folder as typed, not as systemd (which starts from "/") must read it.
  VornProcess install(VORN_BINARY,
                      {"--home", dir_.Path(home_) + "/../" + home_ + "/", "--install-service",
                       "--start-type", "manual"},
                      dir_.path(), units_);
  EXPECT_EQ(install.Wait(), 0);
  EXPECT_EQ(install.Out(),
            "Vorn Service installed\n(mirroring operations start automatically when the service "
            "starts)\n\nConfiguration and start, see\n'Control panel/Services'\n");
  const std::string unit = dir_.Read("units/vorn.service");
  // systemd reads "%%" as "%", "$$" as "$", and a backslash escape in quotes.
  EXPECT_TRUE(Has(unit, "\nExecStart=\"" VORN_BINARY "\" --service --home \"" +
                            dir_.Path("odd $$HOME%%h \\\"q\\\"") + "\"\n"));
  EXPECT_TRUE(Has(unit, "\nX-Vorn-StartType=1\n"));
  EXPECT_EQ(WithUnits({"--install-service"}),
            (Outcome{2, "", "Vorn: Vorn Service already installed\n"}));

  if (::access("/usr/bin/systemd-analyze", X_OK) != 0) {
    std::puts("systemd-analyze is missing: the exposure of the unit is not measured");
  } else {
    const std::string analyze = "systemd-analyze security --offline=true '" +
                                dir_.Path("units/vorn.service") + "' > exposure 2>&1";
    EXPECT_EQ(std::system(("cd '" + dir_.path() + "' && " + analyze).c_str()), 0);
    std::smatch level;
    const std::string report = dir_.Read("exposure");
    ASSERT_TRUE(std::regex_search(report, level,
                                  std::regex("Overall exposure level for vorn.service: ([0-9.]+)")))
        << report;
    EXPECT_LE(std::stod(level[1]), 5.0) << report;
  }

  // A run on another application folder leaves this folder's service alone;
  // an interactive run on this one finds it and cannot ask whether to remove it.
  std::string other = "home";
  std::swap(home_, other);
  Pair();
  EXPECT_EQ(WithUnits({"--once"}).status, 0);
  std::swap(home_, other);
  const Outcome headless = WithUnits({"--headless"});
  EXPECT_EQ(headless.status, 2);
  EXPECT_TRUE(Has(headless.err, "Remove it ?"));

  // A second start meets the first one's lock; a restart would meet it
  // again, so systemd must not restart on that status.
  dir_.Write("src/f", "x");
  const std::vector<std::string> exec = {"--service", "--home", dir_.Path(home_)};
  VornProcess service(VORN_BINARY, exec, dir_.path(), units_);
  ASSERT_TRUE(WaitFor([&] { return dir_.Exists("dst/f"); })) << service.Err();
  const int refused = VornProcess(VORN_BINARY, exec, dir_.path(), units_).Wait();
  EXPECT_TRUE(std::regex_search(unit, std::regex("\nRestartPreventExitStatus=([0-9]+ )*" +
                                                 std::to_string(refused) + "[ \n]")))
      << refused << " in\n"
      << unit;
  service.Signal(SIGTERM);
  EXPECT_EQ(service.Wait(), 0) << service.Err();  // a clean stop: no restart

  EXPECT_EQ(WithUnits({"--remove-service"}), (Outcome{0, "Vorn Service: removed\n", ""}));
  EXPECT_EQ(WithUnits({"--remove-service"}),
            (Outcome{2, "", "Vorn: Vorn Service not installed\n"}));
}

TEST_F(ServiceTest, AnotherAccountMustExistAndBeAbleToWriteTheApplicationFolder) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root installs a unit for another user";
  const struct group* nogroup = ::getgrgid(65534);
  const std::string group = nogroup != nullptr ? nogroup->gr_name : "65534";
  struct Case {
    const char* user;
    const char* step;  ///< done before the install
    int status;
    std::string expected;  ///< in the error, or in the unit when installed
  };
  const Case cases[] = {
      {"vorn-no-such-user", "", 1, "--user vorn-no-such-user: no such user on this machine"},
      {"nobody", "", 1, "nobody may not write in " + dir_.Path(home_)},
      {"nobody", "give the folder", 0, "User=nobody\nGroup=" + group + "\n"},
      {"nobody", "as nobody", 1, "--user needs root"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.user) + " " + c.step);
    if (std::string(c.step) == "give the folder") {
      ASSERT_EQ(::chmod(dir_.path().c_str(), 0755), 0);  // mkdtemp made it 0700
      ASSERT_EQ(::chown(dir_.Path(home_).c_str(), 65534, 65534), 0);
    } else if (std::string(c.step) == "as nobody") {
      ASSERT_EQ(std::remove(dir_.Path("units/vorn.service").c_str()), 0);
      if (!GiveToNobody()) GTEST_SKIP() << "setpriv is missing";
    }
    const Outcome run = WithUnits({"--install-service", "--user", c.user});
    EXPECT_EQ(run.status, c.status) << run.err;
    if (c.status == 0) {
      EXPECT_TRUE(Has(dir_.Read("units/vorn.service"), c.expected));
    } else {
      EXPECT_TRUE(Has(run.err, c.expected)) << run.err;
      EXPECT_FALSE(dir_.Exists("units/vorn.service"));  // nothing written
    }
  }
}

}  // namespace
}  // namespace vorn
