// The system this runs on, and one instance per application folder with who
// holds it, learnt from outside as `vorn pair` and `vorn config` learn it.

#include "platform/system.h"

#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

#include <gtest/gtest.h>

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

TEST(SystemTest, OsFactsDescribeThisLinux) {
  const OsFacts facts = ReadOsFacts();
  EXPECT_EQ(facts.os_name, "Linux");
  EXPECT_GT(facts.major, 0);
  EXPECT_FALSE(facts.computer_name.empty());
  EXPECT_FALSE(facts.user_name.empty());
}

TEST(SystemTest, ApplicationFolderPrefersTheOptionThenTheVariable) {
  TestFolder dir;
  ScopedVariable home("VORN_HOME", dir.Path("from-env"));
  const auto from_option = ResolveApplicationFolder(dir.Path("from-option/nested/"));
  ASSERT_TRUE(from_option.ok());
  EXPECT_EQ(*from_option, dir.Path("from-option/nested"));
  EXPECT_TRUE(dir.Exists("from-option/nested"));  // created on first use

  const auto from_env = ResolveApplicationFolder("");
  ASSERT_TRUE(from_env.ok());
  EXPECT_EQ(*from_env, dir.Path("from-env"));

  dir.Write("a-file", "");
  EXPECT_FALSE(ResolveApplicationFolder(dir.Path("a-file")).ok());
}

TEST(SystemTest, NumbersAreWrittenTheUserLocaleWay) {
  {
    ScopedVariable all("LC_ALL", "C");
    const NumberFormat c = UserNumberFormat();
    EXPECT_EQ(c.grouping_separator, "");
    EXPECT_EQ(c.decimal_separator, ".");
  }
  // A French locale built for the test, so it does not depend on the
  // locales this machine happens to have generated.
  TestFolder dir;
  const std::string command =
      "localedef -i fr_FR -f UTF-8 " + dir.Path("fr_FR.UTF-8") + " >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) GTEST_SKIP() << "localedef cannot build fr_FR here";
  ScopedVariable path("LOCPATH", dir.path());
  ScopedVariable all("LC_ALL", "fr_FR.UTF-8");
  const NumberFormat french = UserNumberFormat();
  EXPECT_EQ(french.grouping_separator, "\u202f");
  EXPECT_EQ(french.decimal_separator, ",");
}

// A refused attempt, once gone, must not take the holder's lock with it nor
// touch its record; the record outlives its holder and means nothing then.
TEST(InstanceRecordTest, OneHolderPerFolderWhoseKindIsReadWhileItHolds) {
  using State = InstanceLock::State;
  const auto state = [](const std::string& folder) {
    return InstanceLock::TryAcquire(folder).state();
  };
  TestFolder dir, other;
  const std::string record = dir.Path("Vorn.lock");
  EXPECT_FALSE(FindInstanceHolder(dir.path(), record));
  EXPECT_EQ(state(dir.Path("missing")), State::kUnavailable);
  for (const InstanceKind kind : {InstanceKind::kWindow, InstanceKind::kOnce,
                                  InstanceKind::kHeadless, InstanceKind::kService}) {
    SCOPED_TRACE(std::string(InstanceKindWord(kind)));
    {
      InstanceLock first = InstanceLock::TryAcquire(dir.path(), record, kind);
      ASSERT_EQ(first.state(), State::kHeld);
      EXPECT_EQ(InstanceLock::TryAcquire(dir.path(), record, InstanceKind::kOnce).state(),
                State::kAlreadyRunning);
      EXPECT_EQ(state(other.path()), State::kHeld);
      const InstanceLock moved = std::move(first);
      EXPECT_EQ(state(dir.path()), State::kAlreadyRunning);
      const auto holder = FindInstanceHolder(dir.path(), record);
      ASSERT_TRUE(holder);
      EXPECT_EQ(holder->pid, ::getpid());
      EXPECT_EQ(holder->kind, kind);
    }
    EXPECT_TRUE(dir.Exists("Vorn.lock"));
    EXPECT_FALSE(FindInstanceHolder(dir.path(), record));
    EXPECT_EQ(state(dir.path()), State::kHeld);
  }
}

TEST(InstanceRecordTest, AHolderWithoutARecordIsStillFound) {
  TestFolder dir;
  dir.MakeFolder("Vorn.lock");  // no record can be written there
  const InstanceLock held =
      InstanceLock::TryAcquire(dir.path(), dir.Path("Vorn.lock"), InstanceKind::kHeadless);
  ASSERT_EQ(held.state(), InstanceLock::State::kHeld);
  const auto holder = FindInstanceHolder(dir.path(), dir.Path("Vorn.lock"));
  ASSERT_TRUE(holder);
  EXPECT_EQ(holder->pid, ::getpid());
  EXPECT_FALSE(holder->kind);  // a window, perhaps: callers take the careful view
}

}  // namespace
}  // namespace vorn::platform
