#include <algorithm>

#include <gtest/gtest.h>

#include "support/engine_fixture.h"
#include "support/lock_holder.h"

namespace vorn {
namespace {

using testing::EngineTest;
using testing::LockHolder;

class MirrorPassTest : public EngineTest {
 protected:
  const MirrorCounters& counters() { return engine_.counters(); }
};

TEST_F(MirrorPassTest, WithoutPairsThePassShowsEmptyCountsAndLogsNoSummary) {
  settings_.MiroirSousDossiers = false;
  settings_.Logs = true;
  EXPECT_EQ(Pass(), PassEnd::kFinished);
  ASSERT_EQ(host_.summaries.size(), 1u);
  EXPECT_EQ(host_.summaries[0],
            "Wednesday, May 01, 2024 - 10:15:02; 0 file in 0 source folder (0 invalid source "
            "folder; 0 invalid target folder)\r\nFiles: 0 created, 0 modified, 0 removed, 0 "
            "locked; elapsed time 0 s");
  EXPECT_TRUE(LogBody().empty());  // the header only
}

TEST_F(MirrorPassTest, ThePassReproducesTheLogExampleExactly) {
  settings_.Logs = true;
  settings_.FichiersLogs = true;
  clock_.times = {{2024, 5, 1, 10, 14, 59, 3}, {2024, 5, 1, 10, 15, 2, 3}};
  for (int i = 0; i < 11; ++i) {
    const std::string name = "file" + std::to_string(i);
    dir_.Write(Src(name), "same");
    dir_.Write(Dst(name), "same");
    dir_.SetTime(Src(name), 1714550000, 0);
    dir_.SetTime(Dst(name), 1714550000, 0);
  }
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
                dir_.Path(Dst("report.doc")) +
                "</small><br>\r\n"
                "<small><i>Creation folder</i> - " +
                dir_.Path(Dst("2024")) +
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
  FolderPair& disabled = AddPair(dir_.Path("missing-3"), dir_.Path("dst"));
  disabled.Enable = "0";  // still reported
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

TEST_F(MirrorPassTest, PairsTakePartEveryNthTimedPass) {
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
  Pass(PassKind::kStartCommand);  // the start command mirrors at once
  EXPECT_TRUE(dir_.Exists(Dst("g")));
}

TEST_F(MirrorPassTest, LargeIntervalCountsDoNotOverflow) {
  FolderPair& pair = AddDefaultPair();
  pair.NbTemporisations = "64000";
  pair.PassCountdown = 64000;
  Pass(PassKind::kTimed);
  EXPECT_EQ(pairs_[0].PassCountdown, 63999);
}

TEST_F(MirrorPassTest, AStopDuringASecondPairEndsThePassButKeepsTheSummary) {
  settings_.Logs = true;
  for (int i = 0; i < 5; ++i) {
    dir_.MakeFolder("s" + std::to_string(i));
    dir_.MakeFolder("t" + std::to_string(i));
    dir_.Write("s" + std::to_string(i) + "/f", "x");
    AddPair(dir_.Path("s" + std::to_string(i)), dir_.Path("t" + std::to_string(i)));
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
  settings_.Logs = true;
  settings_.FichiersLogs = true;
  dir_.Write(Src("busy"), "x");
  dir_.Write(Src("A<nother>"), "y");
  AddDefaultPair();
  LockHolder first(dir_.Path(Src("busy")), LockHolder::Kind::kExclusiveFlock);
  LockHolder second(dir_.Path(Src("A<nother>")), LockHolder::Kind::kWriteRecordLock);
  Pass();
  Pass();
  const std::vector<std::string> expected{dir_.Path(Src("A<nother>")), dir_.Path(Src("busy"))};
  EXPECT_EQ(engine_.lstLocked(), expected);
  EXPECT_EQ(host_.shown_locked, expected);
  // Once each, with the name escaped for the browser.
  std::vector<std::string> locked_lines;
  for (const std::string& line : LogBody()) {
    if (line.rfind("<small><b>Locked (not copied)</b> - ", 0) == 0) locked_lines.push_back(line);
  }
  std::sort(locked_lines.begin(), locked_lines.end());
  EXPECT_EQ(locked_lines,
            (std::vector<std::string>{
                "<small><b>Locked (not copied)</b> - " + dir_.Path(Src("A&lt;nother&gt;")) +
                    "</small><br>",
                "<small><b>Locked (not copied)</b> - " + dir_.Path(Src("busy")) + "</small><br>"}));
  EXPECT_EQ(counters().FilesLocked, 2);
}

TEST_F(MirrorPassTest, StopAfterFirstPassEndsTheProgram) {
  settings_.ArretAutomatique = true;
  AddDefaultPair();
  EXPECT_EQ(Pass(), PassEnd::kEndProgram);
  EXPECT_EQ(host_.summaries.size(), 1u);
}

TEST_F(MirrorPassTest, AVanishedSourceDuringRemovalEndsThePassAtOnce) {
  FolderPair& pair = AddDefaultPair();
  pair.Effacer = "1";
  AddDefaultPair();
  dir_.Write(Src("present"), "p");
  dir_.Write(Dst("obsolete"), "keep");
  // Opens: the pair's two roots, each walk's two, then the root check of the removal.
  fs_.FailNth(platform::FsOperation::kOpenFolder, 7, ENOENT);
  EXPECT_EQ(Pass(), PassEnd::kFatalStop);
  EXPECT_TRUE(host_.summaries.empty());
  EXPECT_EQ(dir_.Read(Dst("obsolete")), "keep");
}

TEST_F(MirrorPassTest, MoveAndRemoveTogetherNeverRemove) {
  FolderPair& pair = AddDefaultPair();
  pair.Effacer = "1";
  pair.Deplacer = "1";
  dir_.Write(Dst("only-in-target"), "t");
  Pass();
  EXPECT_TRUE(dir_.Exists(Dst("only-in-target")));
}

TEST_F(MirrorPassTest, EventLogAndNetworkMessageChannels) {
  settings_.ErreurDossierEventLog = true;
  settings_.ErreurDossierNetSend = true;
  AddPair(dir_.Path("nowhere"), dir_.Path("dst"));
  Pass();
  EXPECT_TRUE(service_.events.empty());  // the service is not running
  EXPECT_EQ(commands_run_, std::vector<std::string>{
                               "net send Administrator \"Warning from Vorn: unknown folder\""});

  service_.installed = service_.running = true;
  settings_.MessageNetSend.clear();
  Pass();
  ASSERT_EQ(service_.events.size(), 1u);
  EXPECT_EQ(service_.events[0].first, platform::EventType::kWarning);
  EXPECT_EQ(service_.events[0].second,
            "10:15:02 - Unknown source folder: " + dir_.Path("nowhere") + "/");
  EXPECT_EQ(commands_run_.size(), 1u);  // an empty message sends nothing

  system_ = testing::Windows95System();
  settings_.MessageNetSend = "bob hello";
  Pass();
  EXPECT_EQ(commands_run_.size(), 1u);
  EXPECT_EQ(service_.events.size(), 1u);
}

}  // namespace
}  // namespace vorn
