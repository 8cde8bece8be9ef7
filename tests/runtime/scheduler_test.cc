#include "runtime/scheduler.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "support/engine_fixture.h"

namespace vorn {
namespace {

using testing::RecordingSchedulerHost;

class SchedulerTest : public testing::EngineTest {
 protected:
  SchedulerTest() {
    settings_.Temporisation = 3;
    AddDefaultPair();
  }
  int Passes() const { return static_cast<int>(shost_.summaries.size()); }
  // Ticks while the timer runs, as the window's Timer1 would.
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) {
      ASSERT_TRUE(shost_.timer_enabled) << "tick " << i;
      scheduler_.Tick();
    }
  }

  RecordingSchedulerHost shost_;
  Scheduler scheduler_{shost_, settings_, system_, pairs_, false};
  MirrorEngine pass_engine_{MirrorEnvironment{
      fs_, clock_, system_, settings_, pairs_, log_, scheduler_.engine_host(), warnings_, {}, {}}};
  void SetUp() override { scheduler_.AttachEngine(pass_engine_); }
};

TEST_F(SchedulerTest, TimedPassesFollowTheInterval) {
  scheduler_.StartStop();
  EXPECT_EQ(Passes(), 1);
  EXPECT_FALSE(scheduler_.Idle());
  Ticks(3);
  EXPECT_EQ(Passes(), 1);
  EXPECT_EQ(shost_.label, "1 s");
  Ticks(1);  // Temporisation + 1 ticks after the start pass
  EXPECT_EQ(Passes(), 2);
  EXPECT_EQ(shost_.label, "3 s");  // the tick that ran the pass shows the full interval
  Ticks(2);
  EXPECT_EQ(Passes(), 2);
  Ticks(1);  // then Temporisation ticks apart
  EXPECT_EQ(Passes(), 3);
  EXPECT_EQ(shost_.wait_progress, 0);
}

TEST_F(SchedulerTest, APairWithThreeIntervalsTakesPartEveryThirdTimedPass) {
  pairs_[0].NbTemporisations = "3";
  pairs_[0].PassCountdown = 3;
  settings_.Temporisation = 1;
  scheduler_.StartStop();
  std::vector<int> mirrored_on;
  for (int pass = 1; pass <= 6; ++pass) {
    dir_.Write(Src("p" + std::to_string(pass)), "x");
    Ticks(pass == 1 ? 2 : 1);
    if (dir_.Exists(Dst("p" + std::to_string(pass)))) mirrored_on.push_back(pass);
  }
  EXPECT_EQ(Passes(), 7);
  EXPECT_EQ(mirrored_on, (std::vector<int>{3, 6}));
}

TEST_F(SchedulerTest, AOneSecondIntervalCountsOneSecond) {
  settings_.Temporisation = 1;
  EXPECT_EQ(WaitProgressMaximum(1), 1);
  scheduler_.StartStop();
  Ticks(1);
  EXPECT_EQ(shost_.label, "1 s");
  Ticks(1);
  EXPECT_EQ(Passes(), 2);
  EXPECT_EQ(shost_.label, "1 s");
}

TEST_F(SchedulerTest, StartAndStopSwitchTheCommands) {
  // The English captions, the timer and the exit command are checked through the window.
  scheduler_.StartStop();
  EXPECT_EQ(shost_.status_clears, 1);
  settings_.Langue = kFrench;
  scheduler_.StartStop();
  EXPECT_TRUE(scheduler_.Idle());
  EXPECT_EQ(shost_.label, "");
  EXPECT_EQ(shost_.command_states.back().menu_caption, "&Démarrer le miroir");
  EXPECT_EQ(shost_.tray_state, TrayState::kStopped);
  EXPECT_EQ(shost_.restores, 1);
}

TEST_F(SchedulerTest, TheServiceKeepsItsExitCommandOffAndThe95FamilyItsNtMenus) {
  Scheduler service(shost_, settings_, system_, pairs_, true);
  EXPECT_FALSE(service.StatesFor(false).exit_command);
  EXPECT_TRUE(service.StatesFor(false).service_menu);
  system_ = testing::Windows95System();
  const CommandStates old = service.StatesFor(false);
  EXPECT_TRUE(old.exit_command);
  EXPECT_FALSE(old.security_menu);
  EXPECT_FALSE(old.service_menu);
}

TEST_F(SchedulerTest, YieldTurnsTheEventLoopPerformanceTimes) {
  settings_.Performance = 5;
  scheduler_.Yield();
  EXPECT_EQ(shost_.turns, 5);
  settings_.Performance = 0;
  scheduler_.Yield();
  EXPECT_EQ(shost_.turns, 5);
}

TEST_F(SchedulerTest, StopAfterTheFirstPassEndsTheProgram) {
  settings_.ArretAutomatique = true;
  scheduler_.StartStop();
  EXPECT_EQ(shost_.ended_with, std::vector<int>{0});
  EXPECT_TRUE(scheduler_.ended());
  EXPECT_FALSE(shost_.timer_enabled);
  scheduler_.Tick();
  EXPECT_EQ(Passes(), 1);
}

TEST_F(SchedulerTest, AKeyInTheNoticeKeepsTheProgramRunning) {
  settings_.ArretAutomatique = true;
  dir_.Write(Src("f"), "x");
  shost_.on_turn = [this](int) { scheduler_.KeepRunningAfterFirstPass(); };
  scheduler_.StartStop();
  EXPECT_TRUE(shost_.ended_with.empty());
  EXPECT_FALSE(settings_.ArretAutomatique);
  EXPECT_EQ(shost_.message_window_closes, 1);
  EXPECT_TRUE(shost_.timer_enabled);
  Ticks(4);
  EXPECT_EQ(Passes(), 2);
}

TEST_F(SchedulerTest, TheFatalStopEndsWithItsOwnStatus) {
  pairs_[0].Effacer = "1";
  dir_.Write(Src("present"), "p");
  dir_.Write(Dst("obsolete"), "keep");
  fs_.FailNth(platform::FsOperation::kOpenFolder, 7, ENOENT);  // the removal's root check
  scheduler_.StartStop();
  EXPECT_EQ(shost_.ended_with, std::vector<int>{3});
  EXPECT_TRUE(dir_.Exists(Dst("obsolete")));
}

}  // namespace
}  // namespace vorn
