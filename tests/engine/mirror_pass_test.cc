// Whole passes over the pairs: what the window, the log and the summary show.

#include <sys/stat.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "engine/summary.h"
#include "base/text.h"
#include "engine/pair_test.h"
#include "support/lock_holder.h"

namespace vorn {
namespace {

using testing::LockHolder;

using MirrorPassTest = testing::PairTest;

TEST_F(MirrorPassTest, WithoutPairsThePassShowsEmptyCountsAndLogsNoSummary) {
  settings_.Logs = true;
  EXPECT_EQ(Pass(), PassEnd::kFinished);
  ASSERT_EQ(host_.summaries.size(), 1u);
  EXPECT_EQ(host_.summaries[0].substr(0, 44), "Wednesday, May 01, 2024 - 10:15:02; 0 file i");
  EXPECT_TRUE(LogBody().empty());  // the header only
}

TEST_F(MirrorPassTest, ThePassReproducesTheLogExampleExactly) {
  settings_.Logs = true;
  settings_.FichiersLogs = true;
  clock_.times = {{2024, 5, 1, 10, 14, 59, 3}, {2024, 5, 1, 10, 15, 2, 3}};
  for (int i = 0; i < 11; ++i) Both("file" + std::to_string(i), "same", "same");
  dir_.Write(Src("report.doc"), "new");
  dir_.MakeFolder(Src("2024"));
  AddDefaultPair();
  Pass();
  const auto text = real_fs_->ReadFile(log_.current_file());
  ASSERT_TRUE(text.ok());
  EXPECT_EQ(log_.current_file(), dir_.Path("Log Vorn 2024-05-01.htm"));
  EXPECT_EQ(*text,
            "<html>\r\n<head><meta charset=\"utf-8\">\r\n"
            "<title>Logs Vorn</title>\r\n</head>\r\n<body>\r\n"
            "<b><center><h1>Mirroring Logs</h1></center></b>\r\n"
            "<center><h3>Wednesday, May 01, 2024</h3></center>\r\n"
            "<small>Creation - " +
                T("report.doc") +
                "</small><br>\r\n"
                "<small><i>Creation folder</i> - " +
                T("2024") +
                "</small><br>\r\n"
                "<b>Vorn 2.2i</b>&nbsp;Wednesday, May 01, 2024 - 10:15:02; 12 files in 1 source "
                "folder (0 invalid source folder; 0 invalid target folder)<br>Files: 1 created, 0 "
                "modified, 0 removed, 0 locked; Folders: 1 created, 0 removed; elapsed time 3 s<br>"
                "<hr>\r\n");
}

TEST_F(MirrorPassTest, ThePassDrivesProgressTrayAndTimer) {
  AddDefaultPair();
  AddPair("", dir_.Path("dst"));
  host_.timer_enabled = true;
  Pass();
  EXPECT_EQ(host_.copy_maximum, 2);
  EXPECT_EQ(host_.copy_progress, (std::vector<int>{1, 2, 0}));
  EXPECT_EQ(host_.positions, (std::vector<std::string>{"", "1/2", "2/2", ""}));
  EXPECT_EQ(host_.tray_states,
            (std::vector<TrayState>{TrayState::kMirroring, TrayState::kWaiting}));
  EXPECT_EQ(host_.tray_tip, "Vorn 2.2i - Wait");
  EXPECT_TRUE(host_.timer_enabled);
  EXPECT_EQ(host_.wait_progress, 0);
}

TEST_F(MirrorPassTest, InvalidFoldersAreCountedAndReported) {
  settings_.ErreurDossier = true;
  settings_.ErreurDossierSon = true;
  AddPair(dir_.Path("src"), "");                            // empty target: not reported
  AddPair(dir_.Path("src"), dir_.Path("missing-target"));   // reported
  AddPair(dir_.Path("missing-1"), dir_.Path("missing-2"));  // two reports
  AddPair(dir_.Path("missing-3"), dir_.Path("dst")).Enable = "0";  // still reported
  Pass();
  EXPECT_EQ(counters().SourceFolders, 3);
  EXPECT_EQ(counters().InvalidSourceFolders, 2);
  EXPECT_EQ(counters().InvalidTargetFolders, 3);
  EXPECT_EQ(host_.beeps, 4);
  EXPECT_EQ(host_.messages,
            (std::vector<std::string>{
                "10:15:02 - Unknown target folder", "10:15:02 - Unknown source folder",
                "10:15:02 - Unknown target folder", "10:15:02 - Unknown source folder"}));
}

TEST_F(MirrorPassTest, PairsTakePartEveryNthTimedPassAndAtEveryStartCommand) {
  FolderPair& pair = AddDefaultPair();
  pair.NbTemporisations = "3";
  pair.PassCountdown = 3;
  Pass(PassKind::kStartCommand);
  dir_.Write(Src("f"), "x");
  Pass(PassKind::kTimed);
  Pass(PassKind::kTimed);
  EXPECT_FALSE(dir_.Exists(Dst("f")));
  EXPECT_EQ(pairs_[0].PassCountdown, 1);
  Pass(PassKind::kTimed);
  EXPECT_TRUE(dir_.Exists(Dst("f")));
  EXPECT_EQ(pairs_[0].PassCountdown, 3);
  dir_.Write(Src("g"), "x");
  Pass(PassKind::kStartCommand);
  EXPECT_TRUE(dir_.Exists(Dst("g")));
  // Large counts do not overflow.
  pairs_[0].NbTemporisations = "64000";
  pairs_[0].PassCountdown = 64000;
  Pass(PassKind::kTimed);
  EXPECT_EQ(pairs_[0].PassCountdown, 63999);
}

TEST_F(MirrorPassTest, AStopDuringASecondPairEndsThePassButKeepsTheSummary) {
  settings_.Logs = true;
  for (int i = 0; i < 5; ++i) {
    const std::string s = "s" + std::to_string(i), t = "t" + std::to_string(i);
    dir_.MakeFolder(s);
    dir_.MakeFolder(t);
    dir_.Write(s + "/f", "x");
    AddPair(dir_.Path(s), dir_.Path(t));
  }
  host_.on_yield = [this](int) {
    if (engine_.current_pair() == 2) host_.idle = true;
  };
  Pass();
  EXPECT_TRUE(dir_.Exists("t0/f"));
  EXPECT_FALSE(dir_.Exists("t2/f"));
  EXPECT_EQ(host_.summaries.size(), 1u);
  EXPECT_FALSE(host_.timer_enabled);
  EXPECT_NE(LogBody().back().find("<b>Vorn 2.2i</b>"), std::string::npos);  // it changed something
}

TEST_F(MirrorPassTest, LockedFilesAreLoggedOnlyWhenNewlyLocked) {
  LogFileNames();
  dir_.Write(Src("busy"), "x");
  dir_.Write(Src("A<nother>"), "y");
  AddDefaultPair();
  LockHolder first(dir_.Path(Src("busy")), LockHolder::Kind::kExclusiveFlock);
  LockHolder second(dir_.Path(Src("A<nother>")), LockHolder::Kind::kWriteRecordLock);
  Pass();
  Pass();
  const std::vector<std::string> expected{dir_.Path(Src("A<nother>")), dir_.Path(Src("busy"))};
  EXPECT_EQ(host_.shown_locked, expected);
  EXPECT_EQ(counters().FilesLocked, 2);
  // Once each, with the name escaped for the browser.
  std::vector<std::string> lines = LogBody();
  std::sort(lines.begin(), lines.end());
  const std::string locked = "<small><b>Locked (not copied)</b> - ";
  EXPECT_EQ(lines, (std::vector<std::string>{
                       locked + dir_.Path(Src("A&lt;nother&gt;")) + "</small><br>",
                       locked + dir_.Path(Src("busy")) + "</small><br>"}));
}

TEST_F(MirrorPassTest, MoveAndRemoveTogetherNeverRemove) {
  FolderPair& pair = AddDefaultPair();
  pair.Effacer = pair.Deplacer = "1";
  dir_.Write(Dst("only-in-target"), "t");
  Pass();
  EXPECT_TRUE(dir_.Exists(Dst("only-in-target")));
}

TEST_F(MirrorPassTest, ModificationsAttributesAndSecurityAreLoggedInFrench) {
  LogFileNames();
  settings_.Langue = kFrench;
  settings_.CopierAttributs = true;
  Both("changed", "new!", "old", 1714550000, 1714549998);
  Both("mode", "m", "m");
  ASSERT_EQ(::chmod(dir_.Path(Src("mode")).c_str(), 0600), 0);
  dir_.MakeFolder(Src("folder"), 0700);
  dir_.MakeFolder(Dst("folder"), 0755);
  MirrorSrcToDst({.NoMilliseconds = true});
  EXPECT_EQ(LogBody(),
            (std::vector<std::string>{
                "<small>Modification - " + T("changed") + "</small><br>",
                "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<small>Time delta between source and target "
                "files=20000000 [in 100-nanosecond intervals; MaxTimeInterval=10000000]"
                "</small><br>",
                "<small>Modification attributs - " + T("mode") + "</small><br>",
                "<small><i>Modification attributs dossier</i> - " + T("folder") + "</small><br>",
            }));
  settings_.CopierAttributs = false;
  settings_.CopierSecurite = settings_.CopierSecuriteTout = true;
  ASSERT_EQ(::chmod(T("mode").c_str(), 0640), 0);
  ASSERT_EQ(::chmod(T("folder").c_str(), 0750), 0);
  MirrorSrcToDst({});
  const std::vector<std::string> more = LogBody();
  ASSERT_GE(more.size(), 2u);
  EXPECT_EQ(more[more.size() - 2], "<small>Sécurité modifiée - " + T("mode") + "</small><br>");
  EXPECT_EQ(more.back(),
            "<small><i>Sécurité modifiée dossier</i> - " + T("folder") + "</small><br>");
}

// Names that look like markup are written escaped, so a browser shows them.
TEST_F(MirrorPassTest, MovesAndRemovalsAreLoggedInPortuguese) {
  LogFileNames();
  settings_.Langue = kPortuguese;
  dir_.MakeFolder(Src("<sub>"));
  dir_.Write(Src("<sub>/a&b \"f\""), "f");
  MirrorSrcToDst({.Deplacer = true});
  EXPECT_EQ(LogBody(),
            (std::vector<std::string>{
                "<small><i>Criação pasta</i> - " + T("&lt;sub&gt;") + "</small><br>",
                "<small>Criação - " + T("&lt;sub&gt;/a&amp;b &quot;f&quot;") + "</small><br>",
                "<small><i>Supressão pasta vazia</i> - " + dir_.Path(Src("&lt;sub&gt;")) +
                    "/</small><br>",
            }));
  ASSERT_TRUE(real_fs_->DeleteFile(log_.current_file()).ok());
  log_.OpenDailyLog();
  dir_.MakeFolder(Dst("old"));
  dir_.Write(Dst("old/x"), "x");
  MirrorSrcToDst({.Effacer = true});
  // What the move left in the target is obsolete now too.
  std::vector<std::string> body = LogBody();
  std::sort(body.begin(), body.end());
  EXPECT_EQ(body,
            (std::vector<std::string>{
                "<small><i>Supressão pasta</i> - " + T("&lt;sub&gt;") + "</small><br>",
                "<small><i>Supressão pasta</i> - " + T("old") + "</small><br>",
                "<small>Supressão - " + T("&lt;sub&gt;/a&amp;b &quot;f&quot;") + "</small><br>",
                "<small>Supressão - " + T("old/x") + "</small><br>",
            }));
  settings_.FichiersLogs = false;  // and nothing at all without file names
  dir_.Write(Src("f"), "f");
  MirrorSrcToDst({});
  EXPECT_EQ(LogBody().size(), 4u);
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
      {{.SourceFolders = 1}, kPortuguese, false, false, false,
       "d às 10:15:02; 0 ficheiro na 1 pasta de entrada (0 pasta de entrada desconhecida; 0 "
       "pasta de saída desconhecida)",
       "Ficheiros: 0 criado, 0 modificado, 0 suprimido, 0 locked; duração 4 s"},
  };
  for (const auto& c : cases) {
    const SummaryContext context{c.language, "d", FormatTimeOfDay(10, 15, 2), 4,
                                 c.sub_folders, c.security_shown, c.attributes};
    const SummaryLines lines = BuildSummaryLines(c.counters, context);
    EXPECT_EQ(lines.first, c.first);
    EXPECT_EQ(lines.second, c.second);
  }
  EXPECT_EQ(FormatTimeOfDay(9, 5, 0), "09:05:00");
}

}  // namespace
}  // namespace vorn
