#include "platform/system.h"

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

}  // namespace
}  // namespace vorn::platform
