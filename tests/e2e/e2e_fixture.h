#pragma once

// The built vorn run on real trees: an application folder (home_, "home"
// unless a test names another), a source "src" and a target "dst" in a fresh
// test folder.

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>

#include <gtest/gtest.h>

#include "config/hex_path.h"
#include "support/test_folder.h"
#include "support/vorn_process.h"

namespace vorn {

using testing::TestFolder;
using testing::VornProcess;
using testing::WaitFor;

// Detaches a mount when it goes out of scope, however the test ends.
struct Unmount {
  std::string path;
  ~Unmount() { if (!path.empty()) ::umount2(path.c_str(), MNT_DETACH); }
};

struct Outcome {
  int status = -1;
  std::string out, err;
  bool operator==(const Outcome&) const = default;
  friend void PrintTo(const Outcome& o, std::ostream* os) {
    *os << o.status << ", out \"" << o.out << "\", err \"" << o.err << "\"";
  }
};

class E2eTest : public ::testing::Test {
 protected:
  E2eTest() { dir_.Make({"home/", "src/", "dst/"}); }

  // The pairs file as the program writes it for these folders of the test folder.
  std::string PairLines(const std::vector<std::pair<std::string, std::string>>& pairs) {
    std::string text;
    for (const auto& [source, target] : pairs) {
      text += "\"" + EncodeHexPath(dir_.Path(source)) + "\",\"" + EncodeHexPath(dir_.Path(target)) +
              "\"\r\n";
    }
    return text;
  }
  // Writes the pairs file and the configuration (sections and keys as text).
  void Pairs(const std::vector<std::pair<std::string, std::string>>& pairs,
             const std::string& ini = "[Mirror_1]\nEffacer=1\n") {
    dir_.Write(home_ + "/Vorn.w", PairLines(pairs));
    dir_.Write(home_ + "/Vorn.ini", ini);
  }
  void Pair(const std::string& ini = "[Mirror_1]\nEffacer=1\n") { Pairs({{"src", "dst"}}, ini); }

  // The arguments with this test's application folder before them.
  std::vector<std::string> Args(std::vector<std::string> args) {
    args.insert(args.begin(), {"--home", dir_.Path(home_)});
    return args;
  }

  // Runs vorn to its end in the C locale; as the unprivileged user `nobody`
  // once GiveToNobody() succeeded.
  Outcome Vorn(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
               rlim_t open_files = 0) {
    std::vector<std::string> argv = Args(args);
    std::string binary = VORN_BINARY;
    if (as_nobody_) {
      argv.insert(argv.begin(), {"--reuid=65534", "--regid=65534", "--clear-groups", binary});
      binary = "/usr/bin/setpriv";
    }
    VornProcess process(binary, argv, dir_.path(), env, open_files);
    const int status = process.Wait();
    return {status, process.Out(), process.Err()};
  }
  Outcome Once() { return Vorn({"--once"}); }

  // Hands the whole test folder to `nobody` and runs vorn as that user from
  // then on; false (the test should skip) when this process cannot.
  bool GiveToNobody() {
    if (::geteuid() != 0 || ::access("/usr/bin/setpriv", X_OK) != 0) return false;
    const std::string command =
        "chown -R 65534:65534 '" + dir_.path() + "' && chmod 755 '" + dir_.path() + "'";
    return as_nobody_ = std::system(command.c_str()) == 0;
  }

  // Mounts in a mount namespace of this test's own, so nothing it mounts
  // outlives it or shows elsewhere; false (skip) without the right to.
  static bool PrivateMounts() {
    return ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
  }

  std::string LogText() {
    for (const std::string& name : dir_.Names(home_)) {
      if (name.starts_with("Log Vorn ")) return dir_.Read(home_ + "/" + name);
    }
    return "<no log>";
  }

  // Whether `text` holds `part`; a failure shows the whole text.
  static ::testing::AssertionResult Has(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no \"" << part << "\" in:\n" << text;
  }
  static size_t Count(const std::string& text, const std::string& part) {
    size_t found = 0;
    for (size_t at = 0; (at = text.find(part, at)) != std::string::npos; ++at) ++found;
    return found;
  }

  TestFolder dir_;
  std::string home_ = "home";  // relative to dir_
  bool as_nobody_ = false;
};

}  // namespace vorn
