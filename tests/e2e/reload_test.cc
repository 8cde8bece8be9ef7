// A running `vorn --headless` reads Vorn.ini and Vorn.w again: on SIGHUP,
// and before a timed pass when either file changed.

#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <regex>

#include "e2e/e2e_fixture.h"

namespace vorn {
namespace {

class ReloadTest : public E2eTest {
 protected:
  ReloadTest() {
    for (const char* folder : {"src2", "dst2", "src3", "dst3"}) dir_.MakeFolder(folder);
  }

  std::string PairLines(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
      text += "\"" + EncodeHexPath(dir_.Path("src" + name)) + "\",\"" +
              EncodeHexPath(dir_.Path("dst" + name)) + "\"\r\n";
    }
    return text;
  }

  // Replaces a file of the application folder at once, as the pair and
  // config commands do: the running instance never reads half of it.
  void Replace(const std::string& name, const std::string& text) {
    dir_.Write("home/new", text);
    ASSERT_EQ(std::rename(dir_.Path("home/new").c_str(), dir_.Path("home/" + name).c_str()), 0);
  }
};

TEST_F(ReloadTest, SighupAndChangedFilesBringNewPairsInWhileADamagedListIsKeptOut) {
  dir_.Write("src/a", "1");
  dir_.Write("src2/b", "2");
  dir_.Write("src3/c", "3");
  // Pair 1 removes obsolete entries, so its first pass writes its source
  // volume into Vorn.ini: a change of the file that changes nothing in use.
  dir_.Write("home/Vorn.w", PairLines({""}));
  dir_.Write("home/Vorn.ini", "[Configuration]\nTemporisation=3600\n[Mirror_1]\nEffacer=1\n");
  VornProcess vorn(VORN_BINARY, Args({"--headless"}), dir_.path());
  ASSERT_TRUE(WaitFor([&] { return dir_.Exists("dst/a"); })) << vorn.Err();
  ASSERT_TRUE(WaitFor([&] { return Has(dir_.Read("home/Vorn.ini"), "SourceVolume="); }));

  // The next timed pass is an hour away: only the signal can bring pair 2
  // and the shorter interval in.
  Replace("Vorn.ini", std::regex_replace(dir_.Read("home/Vorn.ini"),
                                         std::regex("Temporisation=3600"), "Temporisation=1"));
  Replace("Vorn.w", PairLines({"", "2"}));
  vorn.Signal(SIGHUP);
  ASSERT_TRUE(WaitFor([&] { return dir_.Exists("dst2/b"); })) << vorn.Err();

  // Without a signal: pair 3, which removes too and writes its volume on
  // its first pass; a later pass shows the process went past that write.
  Replace("Vorn.ini", dir_.Read("home/Vorn.ini") + "[Mirror_3]\nEffacer=1\n");
  Replace("Vorn.w", PairLines({"", "2", "3"}));
  ASSERT_TRUE(WaitFor([&] { return dir_.Exists("dst3/c"); })) << vorn.Err();
  dir_.Write("src3/d", "4");
  ASSERT_TRUE(WaitFor([&] { return dir_.Exists("dst3/d"); })) << vorn.Err();

  // A damaged list is not taken, and the pairs in use go on being mirrored.
  Replace("Vorn.w", PairLines({"", "2"}) + "\"not hex\",\"\"\r\n");
  ASSERT_TRUE(WaitFor([&] { return Has(vorn.Err(), "kept"); })) << vorn.Err();
  dir_.Write("src3/e", "5");
  ASSERT_TRUE(WaitFor([&] { return dir_.Exists("dst3/e"); })) << vorn.Err();

  vorn.Signal(SIGTERM);
  EXPECT_EQ(vorn.Wait(), 0) << vorn.Err();
  const std::string err = vorn.Err();
  const std::string heading = "Vorn: Vorn.ini and Vorn.w read again";
  EXPECT_TRUE(Has(err, heading + " (SIGHUP): 2 folder pair(s)\n" + heading +
                           " (changed on disk): 3 folder pair(s)\n" + heading +
                           " (changed on disk): "))
      << err;
  EXPECT_TRUE(Has(err, "; the settings and pairs in use are kept\n")) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 3) << err;  // one line a reload
}

}  // namespace
}  // namespace vorn
