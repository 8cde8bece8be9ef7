// The unit `vorn --install-service` writes: how exposed systemd judges it,
// and its ExecStart run as systemd would run it.

#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <regex>
#include <sstream>

#include "e2e/e2e_fixture.h"

namespace vorn {
namespace {

// One line's arguments as systemd splits them: blanks outside quotes
// separate, backslash escapes inside quotes, "%%" and "$$" stand for "%"
// and "$".
std::vector<std::string> SystemdWords(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false;
  bool any = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '\\' && i + 1 < line.size()) {
      word += line[++i];
    } else if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if (!quoted && c == ' ') {
      if (any || !word.empty()) words.push_back(word);
      word.clear();
      any = false;
    } else if ((c == '%' || c == '$') && i + 1 < line.size() && line[i + 1] == c) {
      word += c;
      ++i;
    } else {
      word += c;
    }
  }
  if (any || !word.empty()) words.push_back(word);
  return words;
}

// The value of the first "key=" line of a unit.
std::string UnitValue(const std::string& unit, const std::string& key) {
  std::istringstream lines(unit);
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with(key + "=")) return line.substr(key.size() + 1);
  }
  return "<none>";
}

std::string CommandOutput(const std::string& command) {
  std::string output;
  const std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  char buffer[4096];
  size_t n;
  while (pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0)
    output.append(buffer, n);
  return output;
}

class ServiceUnitTest : public E2eTest {
 protected:
  // The application folder has a name that needs every escape of a unit.
  ServiceUnitTest() : home_(dir_.Path("odd $HOME%h \"q\"")) {
    dir_.MakeFolder("odd $HOME%h \"q\"");
    dir_.Write("odd $HOME%h \"q\"/Vorn.w", "\"" + EncodeHexPath(dir_.Path("src")) + "\",\"" +
                                               EncodeHexPath(dir_.Path("dst")) + "\"\r\n");
    dir_.Write("odd $HOME%h \"q\"/Vorn.ini", "[Configuration]\nTemporisation=1\n");
  }

  Outcome Install(const std::vector<std::string>& more = {}) {
    std::vector<std::string> args = {"--home", home_, "--install-service"};
    args.insert(args.end(), more.begin(), more.end());
    std::vector<std::string> argv = args;
    std::string binary = VORN_BINARY;
    if (as_nobody_) {
      argv.insert(argv.begin(), {"--reuid=65534", "--regid=65534", "--clear-groups", binary});
      binary = "/usr/bin/setpriv";
    }
    VornProcess process(binary, argv, dir_.path(), {"VORN_UNIT_DIR=" + dir_.Path("units")});
    const int status = process.Wait();
    return {status, process.Out(), process.Err()};
  }

  std::string home_;
};

TEST_F(ServiceUnitTest, TheUnitIsHardenedAndItsOwnCommandLineMirrorsUntilSigterm) {
  ASSERT_EQ(Install().status, 0);
  const std::string unit_path = dir_.Path("units/vorn.service");
  const std::string unit = dir_.Read("units/vorn.service");

  if (::access("/usr/bin/systemd-analyze", X_OK) != 0) {
    std::puts("systemd-analyze is missing: the exposure of the unit is not measured");
  } else {
    const std::string report =
        CommandOutput("systemd-analyze security --offline=true '" + unit_path + "' 2>&1");
    std::smatch level;
    ASSERT_TRUE(std::regex_search(report, level,
                                  std::regex("Overall exposure level for vorn.service: ([0-9.]+)")))
        << report;
    EXPECT_LE(std::stod(level[1]), 5.0) << report;
  }

  const std::vector<std::string> words = SystemdWords(UnitValue(unit, "ExecStart"));
  ASSERT_GE(words.size(), 2u) << unit;
  EXPECT_EQ(words.back(), home_);
  dir_.Write("src/f", "x");
  VornProcess service(words[0], std::vector<std::string>(words.begin() + 1, words.end()),
                      dir_.path(), {"VORN_UNIT_DIR=" + dir_.Path("units")});
  ASSERT_TRUE(WaitFor([&] { return dir_.Exists("dst/f"); })) << service.Err();

  // A second start meets the first one's lock; a restart would meet it
  // again, so systemd must not restart on that status.
  VornProcess second(words[0], std::vector<std::string>(words.begin() + 1, words.end()),
                     dir_.path(), {"VORN_UNIT_DIR=" + dir_.Path("units")});
  const int refused = second.Wait();
  EXPECT_NE(refused, 0);
  EXPECT_TRUE(Has(" " + UnitValue(unit, "RestartPreventExitStatus") + " ",
                  " " + std::to_string(refused) + " "))
      << unit;

  service.Signal(SIGTERM);
  EXPECT_EQ(service.Wait(), 0) << service.Err();  // a clean stop: no restart
}

TEST_F(ServiceUnitTest, AnotherAccountMustExistAndBeAbleToWriteTheApplicationFolder) {
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
      {"nobody", "", 1, "nobody may not write in " + home_},
      {"nobody", "give the folder", 0, "User=nobody\nGroup=" + group + "\n"},
      {"nobody", "as nobody", 1, "--user needs root"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.user) + " " + c.step);
    if (std::string(c.step) == "give the folder") {
      ASSERT_EQ(::chmod(dir_.path().c_str(), 0755), 0);  // mkdtemp made it 0700
      ASSERT_EQ(::chown(home_.c_str(), 65534, 65534), 0);
    } else if (std::string(c.step) == "as nobody") {
      ASSERT_EQ(std::remove(dir_.Path("units/vorn.service").c_str()), 0);
      if (!GiveToNobody()) GTEST_SKIP() << "setpriv is missing";
    }
    const Outcome run = Install({"--user", c.user});
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
