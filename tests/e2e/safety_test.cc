// The built vorn on trees where a careless mirror would destroy what it
// should keep: unreadable and unmounted sources, nested pairs, links swapped
// in mid-pass. That only marked temporaries are debris, whatever a user's
// file is named, is the copy tests' concern.

#include <acl/libacl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/acl.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "e2e/e2e_fixture.h"

namespace vorn {
namespace {

using SafetyTest = E2eTest;

// The configuration of one removing pair, with unknown folders reported.
const std::string kRemoving = "[Configuration]\nErreurDossier=1\n[Mirror_1]\nEffacer=1\n";

TEST_F(SafetyTest, AnUnreadableSourceKeepsEverythingItHides) {
  dir_.Make({"src/closed/", "src/listless/", "dst/closed/", "dst/listless/", "src/open.txt",
             "dst/open.txt", "dst/closed/a", "dst/listless/b", "dst/gone.txt"});
  if (!GiveToNobody()) GTEST_SKIP() << "needs root and setpriv to run as an unprivileged user";
  ::chmod(dir_.Path("src/closed").c_str(), 0);
  ::chmod(dir_.Path("src/listless").c_str(), 0300);  // may be searched, not listed
  Pair(kRemoving);
  Outcome run = Once();
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Has(run.out, "1 removed"));  // gone.txt, nothing else
  EXPECT_TRUE(dir_.Exists("dst/closed/a") && dir_.Exists("dst/listless/b"));

  // The root itself: no entry of the target goes, and the user is told why.
  ::chmod(dir_.Path("src").c_str(), 0);
  run = Once();
  ::chmod(dir_.Path("src").c_str(), 0755);
  EXPECT_TRUE(Has(run.out, "1 invalid source folder"));
  EXPECT_TRUE(Has(run.err, "Source folder cannot be read"));
  EXPECT_EQ(dir_.Names("dst"), (std::vector<std::string>{"closed", "listless", "open.txt"}));
}

TEST_F(SafetyTest, ASourceThatIsNoLongerThereNeverEmptiesTheTarget) {
  if (!PrivateMounts()) GTEST_SKIP() << "needs root to mount a file system of its own";
  ASSERT_EQ(::mount("vorn-test", dir_.Path("src").c_str(), "tmpfs", 0, nullptr), 0);
  dir_.Write("src/photo.jpg", "pixels");
  Pair(kRemoving);
  ASSERT_EQ(Once().status, 0);
  ASSERT_EQ(dir_.Names("dst"), std::vector<std::string>{"photo.jpg"});

  // The disk goes: its mount point stays, empty, or holding something else.
  ASSERT_EQ(::umount(dir_.Path("src").c_str()), 0);
  for (const bool stray_file : {false, true}) {
    if (stray_file) dir_.Write("src/stray.txt", "s");
    const Outcome run = Once();
    EXPECT_TRUE(Has(run.out, "1 invalid source folder"));
    EXPECT_TRUE(Has(run.err, "no longer on the volume"));
    EXPECT_EQ(dir_.Names("dst"), std::vector<std::string>{"photo.jpg"});
  }

  // A link that leads nowhere, or a file, where the root was.
  ASSERT_EQ(::rename(dir_.Path("src").c_str(), dir_.Path("old-src").c_str()), 0);
  for (const std::string& in_place :
       {"src->" + dir_.Path("unplugged/Photos"), std::string("src")}) {
    ::unlink(dir_.Path("src").c_str());
    dir_.Make({in_place});
    const Outcome run = Once();
    EXPECT_TRUE(Has(run.err, "Unknown source folder"));
    EXPECT_EQ(dir_.Names("dst"), std::vector<std::string>{"photo.jpg"});
  }
}

TEST_F(SafetyTest, AnEmptySourceEmptiesTheTargetOnlyWhenAllowed) {
  dir_.Write("dst/kept.txt", "k");
  Pair(kRemoving);
  const Outcome refused = Once();
  EXPECT_TRUE(Has(refused.err, "Source folder is empty while its target is not"));
  EXPECT_TRUE(dir_.Exists("dst/kept.txt"));

  Pair(kRemoving + "SourceVideAutorise=1\n");
  EXPECT_EQ(Once().err, "");
  EXPECT_TRUE(dir_.Names("dst").empty());
}

// Someone who may write in the target swaps a target folder for a link to a
// folder outside while passes copy ACLs: the ACL must never land outside.
TEST_F(SafetyTest, AclsAreNeverWrittenThroughASwappedLink) {
  dir_.MakeFolder("outside");
  if (::acl_extended_file(dir_.Path("outside").c_str()) < 0) {
    GTEST_SKIP() << "the temporary folder's file system keeps no ACLs";
  }
  constexpr int kFolders = 40;
  acl_t acl = acl_from_text("u::rwx,u:nobody:rwx,g::r-x,m::rwx,o::r-x");
  acl_t plain = acl_from_mode(0755);
  ASSERT_TRUE(acl != nullptr && plain != nullptr);
  for (int i = 0; i < kFolders; ++i) {
    const std::string n = std::to_string(i);
    dir_.Make({"src/d" + n + "/", "dst/d" + n + "/", "dst/l" + n + "->" + dir_.Path("outside")});
    ASSERT_EQ(acl_set_file(dir_.Path("src/d" + n).c_str(), ACL_TYPE_ACCESS, acl), 0);
  }
  Pair("[Configuration]\nCopierSecurite=1\nCopierSecuriteDossiers=1\n");
  const pid_t swapper = ::fork();
  ASSERT_GE(swapper, 0);
  if (swapper == 0) {  // the child swaps until it is killed
    for (int i = 0;; i = (i + 1) % kFolders) {
      const std::string n = std::to_string(i);
      ::renameat2(AT_FDCWD, dir_.Path("dst/d" + n).c_str(), AT_FDCWD,
                  dir_.Path("dst/l" + n).c_str(), RENAME_EXCHANGE);
    }
  }
  for (int run = 0; run < 10; ++run) {
    Once();
    // The folders that did get the list lose it again, to keep the race open.
    for (int i = 0; i < kFolders; ++i) {
      const std::string folder = dir_.Path("dst/d" + std::to_string(i));
      if (::acl_extended_file_nofollow(folder.c_str()) == 1) {
        ::acl_set_file(folder.c_str(), ACL_TYPE_ACCESS, plain);
      }
    }
  }
  ::kill(swapper, SIGKILL);
  ::waitpid(swapper, nullptr, 0);
  acl_free(acl);
  acl_free(plain);
  EXPECT_EQ(::acl_extended_file(dir_.Path("outside").c_str()), 0);
}

// The probed step is the least difference the update rule sees, so the
// times the target cut do not make every file look changed on each pass.
// The target is served by slowfs from "backing", keeping times to two seconds
// as FAT does.
TEST_F(SafetyTest, FilesWhoseTimesTheTargetCutAreNotCopiedAgain) {
#ifndef VORN_SLOWFS
  GTEST_SKIP() << "slowfs was not built (no libfuse3)";
#else
  if (::geteuid() != 0 || ::access("/dev/fuse", R_OK | W_OK) != 0) {
    GTEST_SKIP() << "needs root and /dev/fuse to mount slowfs";
  }
  dir_.MakeFolder("backing");
  const std::string mount = std::string(VORN_SLOWFS) + " '" + dir_.Path("backing") + "' '" +
                            dir_.Path("dst") + "' --time-step-ns 2000000000";
  ASSERT_EQ(std::system(mount.c_str()), 0) << mount;
  const Unmount unmount{dir_.Path("dst")};
  dir_.Make({"src/late=l", "src/early=e"});
  dir_.SetTime("src/late", 1600000001, 999999999);
  dir_.SetTime("src/early", 1600000003, 1);
  Pair();
  for (const std::string created : {"2", "0"}) {  // the second pass copies nothing again
    const Outcome run = Vorn({"--once", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "\"files_created\":" + created + ",\"files_modified\":0,"));
  }
  EXPECT_EQ(dir_.Names("dst"), (std::vector<std::string>{"early", "late"}));
  struct stat kept {};
  ASSERT_EQ(::stat(dir_.Path("backing/late").c_str(), &kept), 0);
  EXPECT_EQ(kept.st_mtim.tv_sec, 1600000000);  // the step did cut it
  EXPECT_EQ(dir_.Read("backing/early"), "e");
#endif
}

TEST_F(SafetyTest, NestedPairsAndTargetsOverOwnFilesOrTheRootLeaveEveryFileInPlace) {
  struct Case {
    std::string source, target, settings, why, absent;  // absent: what a pass would have made
    std::vector<std::string> files;  // written before, each holding its name; must stay
  };
  std::vector<Case> cases = {
      {"all/incoming", "all", "Effacer=1", "the source folder lies inside the target folder",
       "all/new", {"all/kept", "all/incoming/new"}},
      {"src", "src", "Deplacer=1", "the source and the target are the same folder", "",
       {"src/file"}},
      {"src", "home", "Effacer=1", "the target folder holds the program's settings or logs",
       "home/file", {"src/file"}},
  };
  // The root is never written to: the target is the root seen read-only
  // through a bind mount in a mount namespace of this process's own, which
  // the child inherits; removal stays off so that even a pass that got this
  // far would only try to copy one file there. Without root, no such case.
  Unmount unmount;
  if (PrivateMounts()) {
    unmount.path = dir_.Path("root");
    dir_.MakeFolder("root");
    ASSERT_EQ(::mount("/", unmount.path.c_str(), nullptr, MS_BIND, nullptr), 0);
    ASSERT_EQ(::mount(nullptr, unmount.path.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY,
                      nullptr), 0);
    cases.push_back({"src", "root", "Effacer=0", "the target folder is the root of the system",
                     "root/vorn-root-probe", {"src/vorn-root-probe"}});
  }
  for (const char* folder : {"all", "all/incoming"}) dir_.MakeFolder(folder);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source + " -> " + c.target);
    for (const std::string& file : c.files) dir_.Write(file, file);
    Pairs({{c.source, c.target}}, "[Mirror_1]\n" + c.settings + "\n");
    const Outcome run = Once();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.err, "Vorn: Folder pair refused: " + c.why + "; " + dir_.Path(c.source) +
                                 " -> " + dir_.Path(c.target)));
    for (const std::string& file : c.files) EXPECT_EQ(dir_.Read(file), file);
    EXPECT_TRUE(c.absent.empty() || !dir_.Exists(c.absent)) << c.absent;
    EXPECT_EQ(dir_.Read("home/Vorn.w"), PairLines({{c.source, c.target}}));
    EXPECT_EQ(dir_.Read("home/Vorn.ini"), "[Mirror_1]\n" + c.settings + "\n");
  }
}

}  // namespace
}  // namespace vorn
