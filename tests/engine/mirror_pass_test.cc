// Whole passes over the pairs: what the window, the log and the summary show,
// the daily log files themselves and the dates the viewer lists from them, the
// warnings about unknown folders (and the service whose event log takes
// them), and what a pass keeps when a root goes away mid-way.

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <tuple>

#include <gtest/gtest.h>

#include "base/text.h"
#include "engine/folder_warnings.h"
#include "engine/summary.h"
#include "logs/daily_log.h"
#include "logs/log_viewer.h"
#include "platform/prefetching_file_system.h"
#include "platform/process.h"
#include "runtime/service_admin.h"
#include "support/engine_fixture.h"
#include "support/lock_holder.h"

namespace vorn {
namespace {

using platform::EventType;
using testing::Entries;
using testing::LockHolder;
using Events = std::vector<std::pair<EventType, std::string>>;
using MirrorPassTest = testing::EngineTest;

TEST_F(MirrorPassTest, ThePassReproducesTheLogExampleExactly) {
  settings_.Logs = settings_.FichiersLogs = true;
  clock_.times = {{2024, 5, 1, 10, 14, 59, 3}, {2024, 5, 1, 10, 15, 2, 3}};
  for (int i = 0; i < 11; ++i) Make({"src/f" + std::to_string(i), "dst/f" + std::to_string(i)});
  Make({"src/report.doc", "src/2024/"});
  AddDefaultPair();
  Pass();
  EXPECT_EQ(dir_.Read("Log Vorn 2024-05-01.htm"),
            "<html>\r\n<head><meta charset=\"utf-8\">\r\n"
            "<title>Logs Vorn</title>\r\n</head>\r\n<body>\r\n"
            "<b><center><h1>Mirroring Logs</h1></center></b>\r\n"
            "<center><h3>Wednesday, May 01, 2024</h3></center>\r\n"
            "<small>Creation - " + T("report.doc") + "</small><br>\r\n"
            "<small><i>Creation folder</i> - " + T("2024") + "</small><br>\r\n"
            "<b>Vorn 2.2i</b>&nbsp;Wednesday, May 01, 2024 - 10:15:02; 12 files in 1 source "
            "folder (0 invalid source folder; 0 invalid target folder)<br>Files: 1 created, 0 "
            "modified, 0 removed, 0 locked; Folders: 1 created, 0 removed; elapsed time 3 s<br>"
            "<hr>\r\n");
}

// A pass shows where it is; a stop ends it after the current pair, with the
// summary shown all the same, and logged when the pass changed something.
// Files are not logged by default. The timer is the window tests' to check.
TEST_F(MirrorPassTest, ThePassShowsItsProgressAndAStopStartsNoFurtherPair) {
  settings_.Logs = true;
  AddPair("", dir_.Path("dst"));
  Make({"s1/", "s2/", "s3/", "t1/", "t2/", "t3/"});
  for (const std::string n : {"1", "2", "3"}) AddPair(dir_.Path("s" + n), dir_.Path("t" + n));
  Pass();
  EXPECT_EQ(host_.copy_maximum, 4);
  EXPECT_EQ(host_.copy_progress, (std::vector<int>{1, 2, 3, 4, 0}));
  EXPECT_EQ(host_.positions, (Entries{"", "1/4", "2/4", "3/4", "4/4", ""}));
  EXPECT_EQ(host_.tray_states,
            (std::vector<TrayState>{TrayState::kMirroring, TrayState::kWaiting}));
  EXPECT_TRUE(LogBody().empty());  // nothing changed: the header only
  Make({"s1/f", "s2/f", "s3/f"});
  host_.positions.clear();
  host_.on_yield = [this](int) {
    if (engine_.current_pair() == 3) host_.idle = true;
  };
  Pass();
  EXPECT_EQ(host_.positions, (Entries{"", "1/4", "2/4", "3/4", ""}));
  EXPECT_TRUE(dir_.Exists("t1/f") && !dir_.Exists("t3/f"));
  EXPECT_EQ(host_.summaries.size(), 2u);
  ASSERT_EQ(LogBody().size(), 1u);
  EXPECT_EQ(LogBody()[0].rfind("<b>Vorn 2.2i</b>", 0), 0u);
}

TEST_F(MirrorPassTest, InvalidFoldersAreCountedAndReported) {
  settings_.ErreurDossier = settings_.ErreurDossierSon = true;
  AddPair(dir_.Path("src"), "");                                   // empty target: not reported
  AddPair(dir_.Path("src"), dir_.Path("missing-target"));          // reported
  AddPair(dir_.Path("missing-1"), dir_.Path("missing-2"));         // two reports
  AddPair(dir_.Path("missing-3"), dir_.Path("dst")).Enable = "0";  // still reported
  Pass();
  EXPECT_EQ(Tally(), "pairs=3 bad-sources=2 bad-targets=3");
  EXPECT_EQ(host_.beeps, 4);
  EXPECT_EQ(host_.messages,
            (Entries{"10:15:02 - Unknown target folder", "10:15:02 - Unknown source folder",
                     "10:15:02 - Unknown target folder", "10:15:02 - Unknown source folder"}));
}

TEST_F(MirrorPassTest, EachChannelFiresOnlyWhenSwitchedOn) {
  service_.installed = service_.running = true;
  log_.FixDay(clock_.Now());
  const auto raise = [this] { RaiseFolderWarning("message", "/<f>&/", settings_, warnings_); };
  settings_.Logs = true;  // a log line comes with the message only
  raise();
  settings_.Logs = false;
  settings_.ErreurDossier = true;
  raise();
  EXPECT_EQ(host_.messages, Entries{"message"});
  EXPECT_EQ(std::tuple(host_.beeps, service_.events.size(), commands_run_.size()),
            std::tuple(0, 0u, 0u));
  EXPECT_FALSE(dir_.Exists("Log Vorn 2024-05-01.htm"));
  settings_.Logs = settings_.ErreurDossierSon = settings_.ErreurDossierEventLog = true;
  settings_.ErreurDossierNetSend = true;  // with the default message, quoted for the shell
  raise();
  EXPECT_EQ(host_.beeps, 1);
  EXPECT_EQ(commands_run_,
            Entries{"net send Administrator \"Warning from Vorn: unknown folder\""});
  // Only the log is HTML; the event log takes the name as it is.
  EXPECT_EQ(service_.events, (Events{{EventType::kWarning, "message: /<f>&/"}}));
  EXPECT_EQ(LogBody(), Entries{"message: /&lt;f&gt;&amp;/<br>"});
  settings_.MessageNetSend.clear();
  raise();
  EXPECT_EQ(commands_run_.size(), 1u);  // an empty message sends nothing
  settings_.MessageNetSend = "bob hello";
  system_ = testing::Windows95System();
  raise();
  EXPECT_EQ(commands_run_.size(), 1u);  // the 95 family has neither
  EXPECT_EQ(service_.events.size(), 2u);
}

TEST(ServiceAdminTest, InstallAndRemoveOnceEachAndTheLifeCycleIsLogged) {
  testing::FakeServiceControl service;
  EXPECT_TRUE(InstallService(service, platform::kStartManual, true, kEnglish).done);
  EXPECT_TRUE(service.installed && service.interact);
  const ServiceAction again = InstallService(service, platform::kStartAutomatic, false, kFrench);
  EXPECT_FALSE(again.done);
  EXPECT_EQ(again.state_text, "Vorn Service déjà installé");
  EXPECT_EQ(service.start_type, 1);
  EXPECT_TRUE(RemoveService(service, kEnglish).done);
  EXPECT_FALSE(RemoveService(service, kEnglish).done);
  Language language = kFrench;
  ServiceLifecycleLog log(service, language);
  log.OnServiceStarted("ignored");
  language = kPortuguese;  // no Portuguese entries: English serves
  log.OnServiceStopped();
  log.OnUserLoggedOff();
  EXPECT_EQ(service.events, (Events{{EventType::kInformation,
                                     "Vorn Service installed\r\n(mirroring operations start "
                                     "automatically when the service starts)"},
                                    {EventType::kInformation, "Vorn Service: removed"},
                                    {EventType::kInformation, "Vorn Service: démarré"},
                                    {EventType::kInformation, "Vorn Service: stopped"},
                                    {EventType::kWarning, "Vorn Service: logoff user"}}));
}

// Timed passes are counted down by the scheduler's tests. This pair moves
// and removes, and a move never removes; the log folder is missing, and
// its lines are lost, not the pass.
TEST_F(MirrorPassTest, AStartCommandMirrorsEveryPairAndRestartsItsCountdown) {
  settings_.Logs = settings_.FichiersLogs = true;
  settings_.PathLogs = dir_.Path("no-such-folder");
  FolderPair& pair = AddDefaultPair();
  pair.NbTemporisations = "3";
  pair.PassCountdown = 3;
  pair.Effacer = pair.Deplacer = "1";
  Make({"src/f", "dst/only-in-target"});
  Pass(PassKind::kTimed);
  EXPECT_EQ(Tally(), "pairs=1");
  Pass(PassKind::kStartCommand);
  EXPECT_EQ(pairs_[0].PassCountdown, 3);
  EXPECT_EQ(Tally(), "seen=1 created=1 removed=1 pairs=1");
  EXPECT_EQ(Tree("dst"), (Entries{"dst/f", "dst/only-in-target"}));
  pairs_[0].PassCountdown = 64000;  // large counts do not overflow
  Pass(PassKind::kTimed);
  EXPECT_EQ(pairs_[0].PassCountdown, 63999);
}

TEST_F(MirrorPassTest, LockedFilesAreLoggedOnlyWhenNewlyLocked) {
  LogFileNames();
  Make({"src/busy", "src/A<nother>"});
  AddDefaultPair();
  LockHolder first(dir_.Path(Src("busy")), LockHolder::Kind::kExclusiveFlock);
  LockHolder second(dir_.Path(Src("A<nother>")), LockHolder::Kind::kWriteRecordLock);
  Pass();
  Pass();
  EXPECT_EQ(host_.shown_locked, (Entries{dir_.Path(Src("A<nother>")), dir_.Path(Src("busy"))}));
  // Once each, with the name escaped for the browser.
  std::vector<std::string> lines = LogBody();
  std::sort(lines.begin(), lines.end());
  const std::string locked = "<small><b>Locked (not copied)</b> - ";
  EXPECT_EQ(lines, (Entries{locked + dir_.Path(Src("A&lt;nother&gt;")) + "</small><br>",
                            locked + dir_.Path(Src("busy")) + "</small><br>"}));
}

// Names that look like markup are written escaped, so a browser shows them;
// one that looks escaped already is shown as it is.
TEST_F(MirrorPassTest, EveryChangeIsLoggedInTheLanguageWithItsNameEscaped) {
  EXPECT_EQ(HtmlEscape("<!-- a&b \"&amp;\"> l'été\xff"),
            "&lt;!-- a&amp;b &quot;&amp;amp;&quot;&gt; l'été\xff");
  LogFileNames();
  const auto logged = [this] {  // and a fresh log for what follows
    const std::vector<std::string> body = LogBody();
    EXPECT_TRUE(real_fs_->DeleteFile(log_.current_file()).ok());
    log_.OpenDailyLog();
    return body;
  };
  settings_.Langue = kPortuguese;
  Make({"src/<sub>/", "src/<sub>/a&b \"f\""});
  MirrorSrcToDst({.Deplacer = true});
  const std::string sub = "&lt;sub&gt;", name = sub + "/a&amp;b &quot;f&quot;";
  EXPECT_EQ(logged(), (Entries{FolderLine("Criação pasta", T(sub)), FileLine("Criação", name),
                               FolderLine("Supressão pasta vazia", dir_.Path(Src(sub)) + "/")}));
  Make({"dst/old/", "dst/old/x"});
  MirrorSrcToDst({.Effacer = true});  // what the move left is obsolete now too
  std::vector<std::string> removed = logged();
  std::sort(removed.begin(), removed.end());
  EXPECT_EQ(removed,
            (Entries{FolderLine("Supressão pasta", T(sub)), FolderLine("Supressão pasta", T("old")),
                     FileLine("Supressão", name), FileLine("Supressão", "old/x")}));

  // Attributes and security are logged in the walks' own tests.
  settings_.Langue = kFrench;
  Make({"src/changed=new!", "dst/changed=old"});
  dir_.SetTime(Src("changed"), kJan2024 + 2, 0);
  MirrorSrcToDst({.NoMilliseconds = true});
  EXPECT_EQ(LogBody(),
            (Entries{FileLine("Modification", "changed"),
                     "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<small>Time delta between source and target "
                     "files=20000000 [in 100-nanosecond intervals; MaxTimeInterval=10000000]"
                     "</small><br>"}));
}

// The copies after it fail; the pass goes on with the next pair.
TEST_F(MirrorPassTest, ATargetRootRemovedMidPassFailsTheRestOfThePair) {
  for (int i = 0; i < 6; ++i) dir_.Write(Src("f" + std::to_string(i)), "x");
  AddDefaultPair();
  AddPair(dir_.Path("src"), dir_.Path("t"));
  dir_.MakeFolder("t");
  host_.on_yield = [&](int yields) {
    if (yields == 4) testing::RemoveTree(dir_.Path("dst"));
  };
  EXPECT_EQ(Pass(), PassEnd::kFinished);
  EXPECT_LT(engine_.counters().FilesCreated, 12);
  EXPECT_EQ(dir_.Names("t").size(), 6u);
}

TEST_F(MirrorPassTest, ASourceRootRenamedBeforeRemovalEndsThePassAtOnceAndDeletesNothing) {
  settings_.ErreurDossier = settings_.Logs = true;
  settings_.Langue = kFrench;
  Make({"src/kept", "dst/obsolete"});
  AddDefaultPair().Effacer = "1";
  AddDefaultPair();
  // The mirror walk yields once per source entry: ".", "..", "kept".
  host_.on_yield = [&](int yields) {
    if (yields == 3) ::rename(dir_.Path("src").c_str(), dir_.Path("unplugged").c_str());
  };
  EXPECT_EQ(Pass(), PassEnd::kFatalStop);
  EXPECT_EQ(Tree("dst"), (Entries{"dst/kept", "dst/obsolete"}));
  EXPECT_EQ(engine_.current_pair(), 0);
  EXPECT_TRUE(host_.summaries.empty());  // nor a summary, nor the second pair
  EXPECT_EQ(host_.messages, Entries{"<b>10:15:02 - Effacement des fichiers obsolètes<br>Dossier "
                                    "source inconnu!<br>Arrêt du programme</b>"});
  EXPECT_EQ(LogBody().back(), host_.messages[0] + ": " + dir_.Path("src") + "/<br>");
}

// Helpers fetching ahead change nothing of what a pass decides, counts,
// logs, reports or leaves: the same trees mirrored with none and with four
// end alike, with every kind of entry and change the walks meet.
TEST_F(MirrorPassTest, HelpersFetchingAheadChangeNothingAPassDoes) {
  settings_.Logs = settings_.FichiersLogs = settings_.CopierAttributs = true;
  FolderPair& pair = AddDefaultPair();
  pair.Effacer = "1";
  pair.KeepVersions = "30";
  pair.Exclusions = "*.tmp|cache/";
  const auto run = [&](size_t helpers) {
    for (const char* side : {"src", "dst"}) testing::RemoveTree(dir_.Path(side));
    (void)real_fs_->DeleteFile(log_.current_file());
    Make({"src/", "dst/", "src/same", "dst/same", "src/new", "src/changed=longer", "dst/changed",
          "dst/gone", "src/a/", "src/a/b/", "src/a/b/deep", "src/a/b/c/", "dst/a/", "dst/a/b/",
          "dst/a/b/deep=old", "dst/old/", "dst/old/x", "dst/old/y/", "src/link->same",
          "dst/link->other", "src/ro", "dst/ro", "src/x.tmp", "src/cache/", "src/cache/c",
          "dst/cache/", "dst/keep.tmp", "src/.hidden", "dst/.hidden=stale"});
    for (int i = 0; i < 40; ++i) Make({"src/a/f" + std::to_string(i), "dst/a/f" + std::to_string(i)});
    EXPECT_EQ(::chmod(dir_.Path("src/ro").c_str(), 0444), 0);
    host_.events.clear();
    host_.summaries.clear();
    host_.yields = 0;
    std::unique_ptr<platform::PrefetchingFileSystem> ahead;
    if (helpers > 1) {
      ahead = std::make_unique<platform::PrefetchingFileSystem>(*real_fs_,
                                                                platform::PrefetchOptions{helpers});
    }
    MirrorEngine engine{MirrorEnvironment{ahead ? *ahead : static_cast<platform::FileSystem&>(fs_),
                                          clock_, system_, settings_, pairs_, log_, host_, host_,
                                          warnings_, {}, {}}};
    engine.RunMirrorPass(PassKind::kStartCommand);
    // A second pass removes a file from a folder the first one gave its
    // source's time: the folder must get it again.
    Make({"dst/a/b/obsolete"});
    struct stat source {};
    EXPECT_EQ(::stat(dir_.Path("src/a/b").c_str(), &source), 0);
    const struct timespec aligned[2] = {source.st_atim, source.st_mtim};
    EXPECT_EQ(::utimensat(AT_FDCWD, dir_.Path("dst/a/b").c_str(), aligned, 0), 0);
    engine.RunMirrorPass(PassKind::kStartCommand);
    Entries times;
    for (const char* folder : {"", "a", "a/b", "a/b/c"}) {
      struct stat from {}, to {};
      EXPECT_EQ(::stat(dir_.Path(Src(folder)).c_str(), &from), 0);
      EXPECT_EQ(::stat(dir_.Path(Dst(folder)).c_str(), &to), 0);
      // Times are kept to 100 ns.
      if (from.st_mtim.tv_sec != to.st_mtim.tv_sec ||
          from.st_mtim.tv_nsec / 100 != to.st_mtim.tv_nsec / 100) {
        times.push_back(folder);
      }
    }
    return std::tuple{LogBody(), host_.summaries, host_.events, host_.yields, Tree(), times};
  };
  const auto alone = run(1);
  EXPECT_EQ(std::get<1>(alone).size(), 2u);
  EXPECT_GT(std::get<2>(alone).size(), 8u);
  EXPECT_EQ(std::get<5>(alone), Entries{});
  EXPECT_EQ(run(4), alone);
}

using DailyLogTest = testing::EngineTest;

// The day is fixed when the pass starts: one over midnight stays in the file
// of its first day. Which log folders are usable is the settings' rule; the
// log asks it again at every pass, so a folder that vanishes between two
// passes sends the next home.
TEST_F(DailyLogTest, TheHeaderIsWrittenOncePerDayInTheLanguageAndTheFolderCheckedAtEveryPass) {
  dir_.MakeFolder("logs");
  settings_.PathLogs = dir_.Path("logs");
  settings_.Langue = kFrench;
  clock_.times.push_back({2024, 5, 2, 0, 0, 3, 4});
  log_.FixDay({2024, 5, 1, 23, 59, 58, 3});
  log_.OpenDailyLog();
  log_.AppendLogLine("one");
  log_.OpenDailyLog();
  log_.AppendLogLine("two");
  const std::string text = dir_.Read("logs/Log Vorn 2024-05-01.htm");  // its start as in English
  EXPECT_EQ(text.substr(text.find("<b><center>")),
            "<b><center><h1>Journal des opérations de miroir</h1></center></b>\r\n"
            "<center><h3>Wednesday, May 01, 2024</h3></center>\r\none\r\ntwo\r\n");
  // A file deleted during a pass comes back without its header.
  ASSERT_TRUE(fs_.DeleteFile(log_.current_file()).ok());
  log_.AppendLogLine("after");
  EXPECT_EQ(dir_.Names("logs"), Entries{"Log Vorn 2024-05-01.htm"});
  EXPECT_EQ(dir_.Read("logs/Log Vorn 2024-05-01.htm"), "after\r\n");
  testing::RemoveTree(dir_.Path("logs"));
  log_.FixDay(clock_.Now());
  EXPECT_EQ(log_.current_file(), dir_.Path("app/Log Vorn 2024-05-02.htm"));
}

// Only at the creation of a day's log, which takes one of the places kept.
TEST_F(DailyLogTest, ThePurgeKeepsTheNewestLogsAndLeavesOtherFilesAlone) {
  const auto open = [this](int day) {
    log_.FixDay({2024, 5, day, 0, 0, 0, day + 2});
    log_.OpenDailyLog();
  };
  settings_.PurgeLogs = true;
  settings_.DelaiLogs = 3;
  Make({"Log Vorn 2024-04-01.htm", "Log Vorn 2024-04-03.htm", "Log Vorn 2024-04-02.htm",
        "notes.htm", "Log Other 2024-01-01.htm"});
  open(1);  // at the limit: nothing goes
  EXPECT_EQ(dir_.Names().size(), 8u);
  Make({"Log Vorn 2024-04-05.htm", "Log Vorn 2024-04-04.htm"});
  open(2);
  EXPECT_EQ(dir_.Names(), (Entries{"Log Other 2024-01-01.htm", "Log Vorn 2024-04-05.htm",
                                   "Log Vorn 2024-05-01.htm", "Log Vorn 2024-05-02.htm", "dst",
                                   "notes.htm", "src"}));
  settings_.PurgeLogs = false;
  Make({"Log Vorn 2024-04-01.htm", "Log Vorn 2024-04-02.htm"});
  open(3);
  EXPECT_EQ(dir_.Names().size(), 10u);
}

// The working directory is never the log folder, whatever it holds.
TEST_F(DailyLogTest, TheViewerListsAndRemovesByTheLogNamesOnly) {
  Make({"Log Vorn 2024-05-01.htm", "Log Vorn 2024-05-02.htm", "Log Vorn 2024-04-30.htm",
        "Log Vorn 2024-05-01 copy.htm", "Log Vorn 2024-05-03.txt", "Journal 2024-05-04.htm",
        "Log Vorn 2024-05-05.htm/"});  // a folder is no log
  EXPECT_EQ(ListLogDates(fs_, dir_.path()),
            (Entries{"2024-04-30", "2024-05-01", "2024-05-01", "2024-05-02"}));
  for (const std::string& elsewhere : {dir_.Path("missing"), dir_.RelativePath(), std::string()}) {
    EXPECT_TRUE(ListLogDates(fs_, elsewhere).empty()) << elsewhere;
    DeleteLog(fs_, elsewhere, "2024-05-02");
  }
  DeleteLog(fs_, dir_.path(), "2024-05-01");
  DeleteLog(fs_, dir_.path(), "2024-05-01");  // already gone: nothing happens
  EXPECT_EQ(ListLogDates(fs_, dir_.path()), (Entries{"2024-04-30", "2024-05-01", "2024-05-02"}));
  EXPECT_EQ(RemoveLogText("2024-05-01", kFrench), "Effacer le journal '2024-05-01'");
}

// The English lines are those of the log example above.
TEST(SummaryTest, CountsTakeTheirLanguagesPluralsAndOnlyTheirShownParts) {
  const struct {
    MirrorCounters counters;
    Language language;
    bool sub_folders, security_shown, attributes;
    std::string_view first, second;
  } cases[] = {
      {{.SecuritiesCopied = 2, .AttributesChanged = 5}, kEnglish, false, true, true,
       "d - 10:15:02; 0 file in 0 source folder (0 invalid source folder; 0 invalid target "
       "folder)",
       "Files: 0 created, 0 modified, 0 removed, 0 locked; Securities: 2 copied, 0 not copied; "
       "Attributes: 5; elapsed time 4 s"},
      {{.FilesSeen = 2, .FilesCreated = 1, .FilesModified = 2, .FilesLocked = 3,
        .SecuritiesNotCopied = 1, .FoldersRemoved = 2, .SourceFolders = 1,
        .InvalidSourceFolders = 2},
       kFrench, true, true, false,
       "d à 10:15:02; 2 fichiers dans 1 dossier source (2 dossiers sources invalides; 0 dossier "
       "cible invalide)",
       "Fichiers: 1 créé, 2 modifiés, 0 supprimé, 3 verrouillés; Dossiers: 0 créé, 2 supprimés; "
       "Sécurités: 0 copiée, 1 non copiée; durée 4 s"},
      {{.FilesSeen = 1, .FilesLocked = 2, .FoldersCreated = 2, .SourceFolders = 2,
        .InvalidTargetFolders = 3},
       kPortuguese, true, false, false,
       "d às 10:15:02; 1 ficheiro nas 2 pastas de entrada (0 pasta de entrada desconhecida; 3 "
       "pastas de saída desconhecidas)",
       "Ficheiros: 0 criado, 0 modificado, 0 suprimido, 2 locked; Pastas: 2 criadas, 0 "
       "suprimida; duração 4 s"},
  };
  for (const auto& c : cases) {
    const SummaryLines lines = BuildSummaryLines(
        c.counters, {c.language, "d", FormatTimeOfDay(10, 15, 2), 4, c.sub_folders,
                     c.security_shown, c.attributes});
    EXPECT_EQ(lines.first, c.first);
    EXPECT_EQ(lines.second, c.second);
  }
  EXPECT_EQ(FormatTimeOfDay(9, 5, 0), "09:05:00");
}

}  // namespace
}  // namespace vorn
