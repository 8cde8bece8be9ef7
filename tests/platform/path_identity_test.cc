#include "platform/path_identity.h"

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <tuple>

#include <gtest/gtest.h>

#include "support/test_folder.h"

namespace vorn::platform {
namespace {

using testing::TestFolder;

using Cases = std::vector<std::tuple<std::string, std::string, FolderRelation>>;

// Paths are relative to the test folder, unless absolute.
void ExpectRelations(const TestFolder& dir, const Cases& cases) {
  const auto full = [&dir](const std::string& p) { return p.starts_with("/") ? p : dir.Path(p); };
  for (const auto& [first, second, relation] : cases) {
    EXPECT_EQ(RelateFolders(full(first), full(second)), relation) << first << " vs " << second;
  }
}

TEST(RelateFoldersTest, PathsLinksAndFoldersNotMadeYet) {
  TestFolder dir;
  for (const char* folder : {"a", "a/b", "ab"}) dir.MakeFolder(folder);
  dir.MakeLink("link", "a");
  ExpectRelations(dir,
                  {
                      {"a", "a/", FolderRelation::kSame},
                      {"a/b", "a", FolderRelation::kFirstInside},
                      {"a", "a/b", FolderRelation::kSecondInside},
                      {"ab", "a", FolderRelation::kUnrelated},  // a shared prefix is no nesting
                      {"link", "a", FolderRelation::kSame},
                      {"a", "link/b/new", FolderRelation::kSecondInside},
                      {"a/new/deeper", "a/new", FolderRelation::kFirstInside},
                      {"a/new", "a/other", FolderRelation::kUnrelated},
                      {"a/gone/..", "a", FolderRelation::kSame},
                      {"a", "/", FolderRelation::kFirstInside},
                      {"/", "/", FolderRelation::kSame},
                  });
}

// Mounts live in a namespace of this process's own, so nothing outside sees
// them and the test runner's other processes are left alone.
TEST(RelateFoldersTest, BindMountsCannotHideNesting) {
  if (::geteuid() != 0 || ::unshare(CLONE_NEWNS) != 0 ||
      ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
    GTEST_SKIP() << "bind mounts need root and a mount namespace of their own";
  }
  TestFolder dir;
  for (const char* folder : {"a", "a/backup", "view", "elsewhere"}) dir.MakeFolder(folder);
  const auto bind = [&](const char* from, const char* to) {
    return ::mount(dir.Path(from).c_str(), dir.Path(to).c_str(), nullptr, MS_BIND, nullptr);
  };
  ASSERT_EQ(bind("a", "view"), 0);
  ASSERT_EQ(bind("a/backup", "elsewhere"), 0);
  ExpectRelations(dir, {
                           {"view", "a", FolderRelation::kSame},
                           {"a/backup", "view", FolderRelation::kFirstInside},
                           {"view", "a/backup/new", FolderRelation::kSecondInside},
                           // Seen from above, only the mount table tells.
                           {"elsewhere", "a", FolderRelation::kFirstInside},
                           {"view", "elsewhere/new", FolderRelation::kSecondInside},
                           {"elsewhere", "a/backup", FolderRelation::kSame},
                       });
  ::umount2(dir.Path("elsewhere").c_str(), MNT_DETACH);
  ::umount2(dir.Path("view").c_str(), MNT_DETACH);
}

}  // namespace
}  // namespace vorn::platform
