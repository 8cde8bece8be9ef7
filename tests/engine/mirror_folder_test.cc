// One pair's walks: what MirrorFolder copies and RemoveObsoleteEntries
// deletes, also when the file system gets in the way; and what becomes of
// Macintosh names and streams.

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <map>

#include "engine/macintosh.h"
#include "engine/update_rule.h"
#include "support/engine_fixture.h"

namespace vorn {
namespace {

using platform::FsOperation;
using testing::Entries;

// Times closer than the target keeps them apart, than the interval under the
// tolerance, or (when asked) an hour apart as FAT's local times across daylight
// saving are, are no change. Without the tolerance the engine below sees it too.
TEST(UpdateRuleTest, TimesTooCloseToTellApartAreEqual) {
  constexpr int64_t kS = 10000000, kHour = 3600 * kS;  // in 100-ns units
  constexpr uint64_t kBase = 133590000000000000ull;    // a 2024 time, the target's
  constexpr int64_t kFar = static_cast<int64_t>(kBase);
  const struct {
    int64_t shift, granularity;  // source minus target, and the target's step
    bool bigger, newer_only, tolerance, hour, due;
    std::optional<int64_t> delta;
  } cases[] = {
      {kS / 2, 1, false, true, true, false, false, kS / 2},
      {kS, 1, false, true, true, false, true, kS},
      {-5 * kS, 1, true, true, true, false, false, -5 * kS},  // newer target stays
      {-kS / 2, 1, false, false, true, false, false, kS / 2},
      {-2 * kS, 1, false, false, true, false, true, 2 * kS},
      {0, 1, true, false, true, false, true, 0},
      {kFar, 1, false, false, true, false, true, kFar},  // a 64-bit distance
      {1, 1, false, false, false, false, true, {}},  // exact, as ever
      {kS + 5, 2 * kS, false, false, false, false, false, {}},
      {2 * kS, 2 * kS, false, false, false, false, true, {}},
      {kS, 2 * kS, false, true, false, false, false, {}},
      {kS, 2 * kS, false, false, true, false, false, kS},  // the granularity beats the interval
      {kHour, 1, false, false, false, true, false, {}},
      {-kHour - kS, 2 * kS, false, false, false, true, false, {}},
      {kHour, 1, false, false, false, false, true, {}},
      {kHour + 3 * kS, 2 * kS, false, true, false, true, true, {}},
  };
  for (const auto& c : cases) {
    const UpdateDecision d = DecideUpdate(
        {kBase + c.shift, c.bigger ? 2u : 1u}, {kBase, 1},
        {.newer_only = c.newer_only, .tolerance = c.tolerance, .max_interval = kS,
         .granularity = c.granularity, .ignore_hour_shift = c.hour});
    EXPECT_EQ(std::pair(d.due, d.time_delta), std::pair(c.due, c.delta)) << "case " << &c - cases;
  }
}

class TreeTest;

// A tree as Make takes it, the set-up beyond it (faults, settings, earlier
// walks), then one walk: what it changed anywhere in the test's folder ("+"
// came, "-" went, in path order) and its tally.
struct TreeCase {
  const char* what;
  PairContext context;
  Entries before;
  std::function<void(TreeTest&)> arrange;
  Entries changes;
  const char* tally;
};
void PrintTo(const TreeCase& c, std::ostream* os) { *os << c.what; }

class TreeTest : public testing::EngineTest, public ::testing::WithParamInterface<TreeCase> {
 public:
  void Secure() {
    system_ = testing::Windows95System();
    settings_.CopieSecurisee = true;
  }
};

TEST_P(TreeTest, TheWalkChangesWhatItMustAndNothingElse) {
  const TreeCase& c = GetParam();
  Make(c.before);
  if (c.arrange) c.arrange(*this);
  if (IsSkipped()) return;
  const Entries before = Tree();
  MirrorSrcToDst(c.context);
  std::map<std::string, char> changed;
  for (const std::string& entry : before) changed[entry] = '-';
  for (const std::string& entry : Tree()) {
    if (changed.erase(entry) == 0) changed[entry] = '+';
  }
  Entries changes;
  for (const auto& [entry, sign] : changed) changes.push_back(sign + entry);
  EXPECT_EQ(changes, c.changes);
  EXPECT_EQ(Tally(), c.tally);
}

// What copies killed mid-way leave: marked temporaries where a copy goes
// next, where none does, and in a source.
const Entries kDebris = {"src/busy/", "src/busy/new", "src/quiet/", "dst/busy/", "dst/quiet/",
                         "dst/busy/.vorn-tmp-17-000000000000abcd",
                         "dst/quiet/.vorn-tmp-17-111111111111abcd",
                         "src/.vorn-tmp-17-222222222222abcd"};
void MarkDebris(TreeTest& test) {
  if (!test.dir_.SupportsUserAttributes()) GTEST_SKIP() << "no user extended attributes here";
  for (size_t i = 5; i < kDebris.size(); ++i) {
    test.dir_.SetAttribute(kDebris[i], platform::kTemporaryMarkAttribute, "");
  }
}
const Entries kObsoleteTree = {"dst/A/", "dst/A/B/", "dst/A/B/C/", "dst/A/B/C/file"};

INSTANTIATE_TEST_SUITE_P(MirrorTrees, TreeTest, ::testing::ValuesIn(std::vector<TreeCase>{
    {"new entries, hidden and empty ones too", {},
     {"src/.hidden", "src/sub/", "src/sub/b", "src/sub/empty/"}, nullptr,
     {"+dst/.hidden", "+dst/sub/", "+dst/sub/b", "+dst/sub/empty/"}, "seen=2 created=2 folders+=2"},
    {"without sub-folders, hidden files and folders stay on both sides", {.Effacer = true},
     {"src/shown", "src/.hidden", "src/sub/", "src/sub/inner", "dst/.old", "dst/old/", "dst/plain"},
     [](TreeTest& test) { test.settings_.MiroirSousDossiers = false; },
     {"-dst/plain", "+dst/shown"}, "seen=1 created=1 removed=1"},
    {"links are copied and removed as links, never followed", {.Effacer = true},
     {"outside/", "outside/keep", "src/escape->../outside", "dst/obsolete->../outside"}, nullptr,
     {"+dst/escape->../outside", "-dst/obsolete->../outside"}, "seen=1 created=1 removed=1"},
    // The file named as a source folder is in the source as far as removal knows.
    {"obsolete entries go, read-only ones too", {.Effacer = true},
     {"src/keep", "dst/keep", "dst/old/", "dst/old/1", "dst/old/2", "src/name/", "dst/name"},
     [](TreeTest& test) { test.dir_.Write("dst/gone", "g", 0444); },
     {"-dst/gone=g", "-dst/old/", "-dst/old/1", "-dst/old/2"}, "seen=1 removed=3 folders-=1"},
    {"an obsolete tree empties from the bottom", {.Effacer = true}, kObsoleteTree, nullptr,
     {"-dst/A/B/C/", "-dst/A/B/C/file"}, "removed=1 folders-=1"},
    {"one level a walk", {.Effacer = true}, kObsoleteTree, [](TreeTest& test) {
       test.MirrorSrcToDst({.Effacer = true});
       test.MirrorSrcToDst({.Effacer = true});
     }, {"-dst/A/"}, "folders-=1"},
    // The locked file keeps its folder, which is emptied otherwise.
    {"a move empties the source but for a locked file", {.Deplacer = true},
     {"src/same", "dst/same", "src/new", "src/sub/", "src/sub/inner", "src/sub/busy", "src/sub2/"},
     [](TreeTest& test) { test.fs_.MarkLocked("busy"); },
     {"+dst/new", "+dst/sub/", "+dst/sub/inner", "+dst/sub2/", "-src/new", "-src/same",
      "-src/sub/inner", "-src/sub2/"}, "seen=4 created=2 removed=3 locked=1 folders+=2 folders-=1"},
    // A newer target that is no copy of its source, the source is not moved onto.
    {"a move keeps sources a newer link or folder stands for", {.Deplacer = true, .Nouveau = true},
     {"src/link", "src/folder", "src/free", "dst/link->nowhere", "dst/folder/"}, nullptr,
     {"+dst/free", "-src/free"}, "seen=3 created=1 removed=1"},
    {"a moved source that cannot be deleted stays", {.Deplacer = true}, {"src/f"},
     [](TreeTest& test) { test.fs_.FailNth(FsOperation::kDeleteFileAt, 1, EACCES); },
     {"+dst/f"}, "seen=1 created=1"},
    // A target folder that cannot be opened, one that cannot be created (and
    // what lies below it, where a folder of that name waits in the target
    // root), an entry gone since the listing.
    {"unreachable entries fail their own copies only", {},
     {"src/away/", "src/away/x", "dst/away/", "src/sub/", "src/sub/inner", "src/sub/deeper/",
      "src/sub/deeper/y", "dst/deeper/", "src/ghost", "src/fine/", "src/fine/z", "src/top"},
     [](TreeTest& test) {
       test.fs_.FailFor(FsOperation::kOpenFolderAt, test.dir_.Path("dst/away"), EACCES);
       test.fs_.FailFor(FsOperation::kCreateFolderAt, "sub", EACCES);
       test.fs_.MakeVanish("ghost");
     }, {"+dst/fine/", "+dst/fine/z", "+dst/top"}, "seen=6 created=2 folders+=1"},
    // A full disk during one copy; the security of a copy that failed, or
    // that could not be written, is not copied.
    {"failed copies, deletions and security writes are not counted as done", {.Effacer = true},
     {"src/a", "src/b", "src/c", "dst/obsolete"}, [](TreeTest& test) {
       test.settings_.CopierSecurite = true;
       test.fs_.FailFor(FsOperation::kCopyFileAt, "b", ENOSPC);
       test.fs_.FailFor(FsOperation::kWriteSecurityAt, "c", EIO);
       test.fs_.FailFor(FsOperation::kDeleteFileAt, "obsolete", EIO);
     }, {"+dst/a", "+dst/c"}, "seen=3 created=2 security+=1 security-=2"},
    // Removed once the root is listed, before the walk enters its folders.
    {"a source folder removed mid-walk is passed over", {},
     {"src/a/", "src/a/1", "src/b/", "src/b/2"}, [](TreeTest& test) {
       test.host_.on_yield = [&test](int yields) {
         if (yields == 4) testing::RemoveTree(test.dir_.Path("src/a"));
       };
     }, {"+dst/a/", "+dst/b/", "+dst/b/2", "-src/a/", "-src/a/1"}, "seen=1 created=1 folders+=2"},
    // The 95 family's secure copy: a complete "!" copy, then the rename.
    {"the secure copy goes through a bang name", {}, {"src/doc=newer", "dst/doc=old"},
     [](TreeTest& test) { test.Secure(); }, {"+dst/doc=newer", "-dst/doc=old"},
     "seen=1 modified=1"},
    {"a failed rename leaves the bang copy", {}, {"src/doc=newer", "dst/doc=old"},
     [](TreeTest& test) {
       test.Secure();
       test.fs_.FailFor(FsOperation::kRenameAt, "!doc", EIO);
     }, {"+dst/!doc=newer", "-dst/doc=old"}, "seen=1 modified=1"},
    // The mirror clears debris where it copies, the removal the rest; neither
    // counts it, and debris in a source is never mirrored.
    {"debris where a copy goes", {}, kDebris, MarkDebris,
     {"-dst/busy/.vorn-tmp-17-000000000000abcd", "+dst/busy/new"}, "seen=1 created=1"},
    {"debris anywhere with the removal", {.Effacer = true}, kDebris, MarkDebris,
     {"-dst/busy/.vorn-tmp-17-000000000000abcd", "+dst/busy/new",
      "-dst/quiet/.vorn-tmp-17-111111111111abcd"}, "seen=1 created=1"},
    // Which names Macintosh files take is the Macintosh tests' business.
    {"a renaming move", {.Deplacer = true, .Renommer = true}, {"src/Budget\xE2\x80\xA2" "2024"},
     nullptr, {"+dst/Budget-2024=src/Budget\xE2\x80\xA2" "2024", "-src/Budget\xE2\x80\xA2" "2024"},
     "seen=1 created=1 removed=1"},
}));

using MirrorFolderTest = testing::EngineTest;

TEST_F(MirrorFolderTest, ThePairsFlagsAndTheToleranceReachTheUpdateRule) {
  Make({"src/same=12345", "dst/same=54321", "src/bigger=123456", "dst/bigger=12345",
        "src/older=old", "dst/older=new", "src/half=source", "dst/half=target"});
  dir_.SetTime(Dst("older"), kJan2024 + 60, 0);
  dir_.SetTime(Src("half"), kJan2024, 500000000);
  MirrorSrcToDst({.Nouveau = true, .NoMilliseconds = true});
  EXPECT_EQ(Tally(), "seen=4");
  MirrorSrcToDst({.Nouveau = true});
  EXPECT_EQ(Tally(), "seen=4 modified=1");
  MirrorSrcToDst({});  // date or size differ
  EXPECT_EQ(Tally(), "seen=4 modified=2");
  // Equal time and size keep "same".
  EXPECT_EQ(Tree("dst"),
            (Entries{"dst/bigger=123456", "dst/half=source", "dst/older=old", "dst/same=54321"}));
}

// With the lines they log, in French here.
TEST_F(MirrorFolderTest, ModesFollowTheSourceWithTheAttributesOrTheWholeSecurityOnNtOnly) {
  settings_.Langue = kFrench;
  dir_.Write(Src("f"), "x", 0640);
  dir_.MakeFolder(Src("sub"), 0711);
  Make({"src/same"});
  const auto mode = [this](const std::string& name) { return fs_.Lookup(T(name))->permissions; };
  settings_.CopierSecurite = true;  // new entries get the source's
  MirrorSrcToDst({});
  EXPECT_EQ(Tally(), "seen=2 created=2 folders+=1 security+=3");
  EXPECT_EQ(mode("sub"), 0711u);
  LogFileNames();
  const struct {
    bool attributes, whole_security, nt;
    const char* tally;  // an identical "same" counts nothing
    Entries lines;
  } steps[] = {{false, false, true, "seen=2", {}},
               {true, false, true, "seen=2 attributes=2",
                {FileLine("Modification attributs", "f"),
                 FolderLine("Modification attributs dossier", T("sub"))}},
               {false, true, true, "seen=2 security+=2",
                {FileLine("Sécurité modifiée", "f"),
                 FolderLine("Sécurité modifiée dossier", T("sub"))}},
               {false, true, false, "seen=2", {}}};
  size_t logged = 0;
  for (const auto& step : steps) {
    SCOPED_TRACE(step.tally);
    ::chmod(T("f").c_str(), 0600);
    ::chmod(T("sub").c_str(), 0700);
    settings_.CopierAttributs = step.attributes;
    settings_.CopierSecuriteTout = step.whole_security;
    system_ = step.nt ? testing::NtSystem() : testing::Windows95System();
    MirrorSrcToDst({});
    EXPECT_EQ(Tally(), step.tally);
    const Entries body = LogBody();
    EXPECT_EQ(Entries(body.begin() + logged, body.end()), step.lines);
    logged = body.size();
    EXPECT_EQ(std::pair(mode("f"), mode("sub")),
              step.lines.empty() ? std::pair(0600u, 0700u) : std::pair(0640u, 0711u));
  }
}

TEST_F(MirrorFolderTest, AStopEndsEitherWalkAtTheNextEntry) {
  for (int i = 0; i < 10; ++i) dir_.Write(Src("f" + std::to_string(i)), "x");
  for (int i = 0; i < 5; ++i) dir_.Write(Dst("old" + std::to_string(i)), "x");
  host_.on_yield = [this](int) { host_.idle = true; };
  MirrorSrcToDst({.Effacer = true});
  EXPECT_EQ(host_.yields, 2);  // one entry of each
  EXPECT_LE(engine_.counters().FilesSeen + engine_.counters().FilesRemoved, 2);
}

// The file system's own tests break a copy at each of its steps; here the
// walk neither counts nor logs a broken copy, copies the rest, and the next
// walk finishes it. A copy takes what its source held when it was opened:
// one that grows meanwhile is copied again, one a move deletes arrives whole.
TEST_F(MirrorFolderTest, ACopyBrokenOrOverrunMidWayKeepsWhatItWasToReplace) {
  LogFileNames();
  const std::string content(200 * 1024, 'n'), big = dir_.Path(Src("big"));
  Make({"src/big=" + content, "dst/big=previous", "src/small"});
  std::function<int()> midway = [] { return ENOSPC; };
  copy_fault_ = [&](platform::CopyStep step, uint64_t offset) {
    return step == platform::CopyStep::kContent && offset == 128 * 1024 ? midway() : 0;
  };
  MirrorSrcToDst({});
  EXPECT_EQ(Tree("dst"), (Entries{"dst/big=previous", "dst/small"}));
  EXPECT_EQ(Tally(), "seen=2 created=1");
  EXPECT_EQ(LogBody(), Entries{FileLine("Creation", "small")});
  midway = [&] { return (std::ofstream(big, std::ios::app) << "more") ? 0 : EIO; };
  MirrorSrcToDst({});
  EXPECT_EQ(Tally(), "seen=2 modified=1");
  EXPECT_EQ(dir_.Read(Dst("big")), content);
  midway = [&] { return ::unlink(big.c_str()) == 0 ? 0 : EIO; };
  MirrorSrcToDst({.Deplacer = true});
  EXPECT_EQ(Tally(), "seen=2 modified=1 removed=1");  // "small" only
  EXPECT_EQ(dir_.Read(Dst("big")), content + "more");
  EXPECT_TRUE(dir_.Names("src").empty());
}

// Only "no such entry" lets a source entry count as gone: any other failure
// to open or list a source folder keeps its whole target subtree.
TEST_F(MirrorFolderTest, OnlyAnAbsentSourceMakesTargetEntriesObsolete) {
  const std::pair<FsOperation, int> cases[] = {
      {FsOperation::kOpenFolderAt, ENOENT},       {FsOperation::kOpenFolderAt, EACCES},
      {FsOperation::kOpenFolderAt, EIO},          {FsOperation::kOpenFolderAt, ELOOP},
      {FsOperation::kOpenFolderAt, ENAMETOOLONG}, {FsOperation::kOpenFolderAt, ESTALE},
      {FsOperation::kReadFolder, EACCES},         {FsOperation::kReadFolder, EIO}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    const std::string sub = "sub" + std::to_string(i);
    Make({Src(sub + "/"), Dst(sub + "/"), Dst(sub + "/deeper/"), Dst(sub + "/old"),
          Dst(sub + "/deeper/old")});
    fs_.FailFor(cases[i].first, dir_.Path(Src(sub)), cases[i].second);
  }
  MirrorSrcToDst({.Effacer = true});
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(Tree(Dst("sub" + std::to_string(i))).size(), cases[i].second == ENOENT ? 0u : 3u)
        << "case " << i;
  }
}

// The window of open folders is also exercised end to end under a low
// open-file limit.
TEST_F(MirrorFolderTest, ATreeFarDeeperThanTheWindowMirrorsAndMovesCompletely) {
  std::string relative;
  for (int i = 0; i < 150; ++i) {
    relative += "/n";
    dir_.MakeFolder("src" + relative);
    dir_.Write("src" + relative + "/f", std::to_string(i));
  }
  MirrorSrcToDst({});
  EXPECT_EQ(Tally(), "seen=150 created=150 folders+=150");
  EXPECT_EQ(dir_.Read("dst" + relative + "/f"), "149");
  MirrorSrcToDst({.Deplacer = true});
  EXPECT_EQ(Tally(), "seen=150 removed=150 folders-=150");
  EXPECT_TRUE(dir_.Names("src").empty());
}

const std::string kInfo = "user.DosStream.AFP_AfpInfo:$DATA";
const std::string kFork = "user.DosStream.AFP_Resource:$DATA";

class MacintoshTest : public testing::EngineTest {
 protected:
  void SetUp() override {
    if (!dir_.SupportsUserAttributes()) GTEST_SKIP() << "no user extended attributes here";
  }
};

// U+2022 bullet, U+F022 (the server's stand-in for "/"), U+0101 and U+FB01
// fall in the ranges that become dashes; other characters, 4-byte ones and
// bytes that are not UTF-8 included, stay.
TEST_F(MacintoshTest, TheNameLosesUntypableCharactersAndGainsItsRegisteredExtension) {
  const struct {
    const char *name, *signature, *expected;  // no signature: no Finder information
  } cases[] = {
      {"Budget", "XDOCXPR3", "Budget.qxd"}, {"Budget.qxd", "XDOCXPR3", "Budget.qxd"},
      {"Budget.QXD", "XDOCXPR3", "Budget.QXD"}, {"plain", nullptr, "plain"},
      {"page.html", "TEXTHTML", "page.html.html"},  // only three characters are compared
      {"a\xE2\x80\xA2" "b\xEF\x80\xA2" "c\xC4\x81" "d\xEF\xAC\x81", nullptr, "a-b-c-d-"},
      {"é\xF0\x9F\x98\x80\xE2\x84\xA2\xFF", nullptr, "é\xF0\x9F\x98\x80\xE2\x84\xA2\xFF"},
  };
  const auto extension = [](std::string_view signature) -> std::string {
    return signature == "XDOCXPR3" ? "QXD" : signature == "TEXTHTML" ? "html" : "";
  };
  auto folder = fs_.OpenFolder(dir_.Path("src"));
  for (const auto& c : cases) {
    dir_.Write(Src(c.name), "x");
    // A Finder-information record: its type and creator at byte 16.
    const std::string info = std::string(16, '\0') + (c.signature ? c.signature : "");
    if (c.signature != nullptr) dir_.SetAttribute(Src(c.name), kInfo, info + std::string(36, '\0'));
    EXPECT_EQ(MacTargetName(fs_, **folder, c.name, extension), c.expected);
  }
}

TEST_F(MacintoshTest, VolumesAreRecognisedByTheTrashFolderAbove) {
  Make({"Vol/", "Vol/Network Trash Folder/", "Vol/A/", "Vol/A/B/"});
  EXPECT_TRUE(IsMacintoshVolume(fs_, dir_.Path("Vol/A/B")));
  EXPECT_TRUE(IsMacintoshVolume(fs_, dir_.Path("Vol/")));
  EXPECT_FALSE(IsMacintoshVolume(fs_, dir_.Path("src")));
  EXPECT_FALSE(IsMacintoshVolume(fs_, "/"));
}

// Where the file copy cannot carry them (NT 4 before service pack 4), the
// engine copies the streams itself, and a move deletes them from the source.
TEST_F(MacintoshTest, StreamsTravelWithFilesAndCreatedFolders) {
  Make({"src/doc", "src/folder/"});
  dir_.SetAttribute(Src("folder"), kInfo, "folder info");
  MirrorSrcToDst({});
  EXPECT_EQ(fs_.Calls(FsOperation::kCopyStreamAt), 1);  // the folder's: the copy carries the file's
  EXPECT_EQ(dir_.GetAttribute(Dst("folder"), kInfo), "folder info");
  system_.nt_major_version = 4;
  system_.service_pack = 3;
  Make({"src/old"});
  dir_.SetAttribute(Src("old"), kInfo, "info");
  dir_.SetAttribute(Src("old"), kFork, "fork");
  fs_.FailFor(FsOperation::kDeleteFileAt, "old", EACCES);  // kept, to see what became of them
  MirrorSrcToDst({.Deplacer = true});
  EXPECT_EQ(fs_.Calls(FsOperation::kCopyStreamAt), 3);
  EXPECT_EQ(dir_.GetAttribute(Dst("old"), kFork), "fork");
  EXPECT_EQ(dir_.GetAttribute(Src("old"), kInfo), "<none>");
  EXPECT_EQ(dir_.GetAttribute(Src("old"), kFork), "<none>");
}

}  // namespace
}  // namespace vorn
