// The scheduler and the automatic start, over a session wired as the
// program wires it.

#include "runtime/session.h"

#include <optional>

#include <gtest/gtest.h>

#include "platform/fault_injecting_file_system.h"
#include "support/engine_fixture.h"
#include "support/fakes.h"
#include "support/test_folder.h"

namespace vorn {
namespace {

class SessionTest : public ::testing::Test {
 protected:
  SessionTest() {
    dir_.Make({"src/", "dst/"});
    app_.paths.app_folder = dir_.path();
    app_.ini = std::make_unique<IniFile>(fs_, dir_.Path("Vorn.ini"));
    app_.system = testing::NtSystem();
    app_.settings.Temporisation = 3;
    app_.pairs.pairs.resize(1);
    app_.pairs.pairs[0].Number = 1;
    app_.pairs.pairs[0].Source = dir_.Path("src");
    app_.pairs.pairs[0].Target = dir_.Path("dst");
  }
  Session& session() {
    if (!session_) session_.emplace(fs_, clock_, service_, app_, host_);
    return *session_;
  }
  Scheduler& scheduler() { return session().scheduler(); }
  int Passes() const { return static_cast<int>(host_.summaries.size()); }
  // Ticks while the timer runs, as the window's Timer1 would.
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) {
      ASSERT_TRUE(host_.timer_enabled) << "tick " << i;
      scheduler().Tick();
    }
  }
  std::string Label() const { return host_.positions.empty() ? "" : host_.positions.back(); }

  testing::TestFolder dir_;
  std::unique_ptr<platform::FileSystem> real_fs_ = platform::MakePosixFileSystem();
  platform::FaultInjectingFileSystem fs_{*real_fs_};
  testing::FakeClock clock_;
  testing::FakeServiceControl service_;
  testing::RecordingHost host_;
  Application app_;
  MirrorSettings& settings_ = app_.settings;
  std::optional<Session> session_;
};

// The pair takes part in every second timed pass; a start command mirrors it
// whatever its countdown.
TEST_F(SessionTest, TimedPassesFollowTheIntervalAndAPairItsNumberOfThem) {
  EXPECT_EQ(WaitProgressMaximum(1), 1);
  app_.pairs.pairs[0].NbTemporisations = "2";
  for (const int16_t interval : {3, 1}) {
    SCOPED_TRACE(interval);
    const std::string started = "p" + std::to_string(interval), timed = started + "-timed";
    session_.reset();
    host_ = {};
    settings_.Temporisation = interval;
    app_.pairs.pairs[0].PassCountdown = 2;  // as a load sets it
    dir_.Write("src/" + started, "x");
    scheduler().StartStop();
    EXPECT_TRUE(Passes() == 1 && !scheduler().Idle() && dir_.Exists("dst/" + started));
    dir_.Write("src/" + timed, "x");
    Ticks(interval);
    EXPECT_EQ(Passes(), 1);
    EXPECT_EQ(Label(), "1 s");
    Ticks(1);  // Temporisation + 1 ticks after the start pass
    EXPECT_TRUE(Passes() == 2 && !dir_.Exists("dst/" + timed));
    // The tick that ran the pass shows the full interval.
    EXPECT_EQ(Label(), std::to_string(interval) + " s");
    Ticks(interval - 1);
    EXPECT_EQ(Passes(), 2);
    Ticks(1);  // then Temporisation ticks apart
    EXPECT_TRUE(Passes() == 3 && dir_.Exists("dst/" + timed) && host_.wait_progress == 0);
  }
}

// The session handles service events while it lives. The service keeps its
// exit command off, and the 95 family has no NT menus; the English captions,
// the timer and the exit command are checked through the window.
TEST_F(SessionTest, CommandsFollowStartStopAndTheModeAndYieldTurnsTheLoopPerformanceTimes) {
  session();
  EXPECT_NE(service_.handler, nullptr);
  EXPECT_EQ(host_.command_states, std::vector<CommandStates>{scheduler().StatesFor(false)});
  scheduler().StartStop();
  EXPECT_EQ(host_.status_clears, 1);
  settings_.Langue = kFrench;
  scheduler().StartStop();
  EXPECT_TRUE(scheduler().Idle() && Label().empty() && host_.restores == 1);
  EXPECT_EQ(host_.command_states.back().menu_caption, "&Démarrer le miroir");
  EXPECT_EQ(host_.tray_states.back(), TrayState::kStopped);
  host_.turns = 0;
  for (const int16_t performance : {5, 0}) {  // none at all: no turn
    settings_.Performance = performance;
    scheduler().Yield();
    EXPECT_EQ(host_.turns, 5);
  }
  session_.reset();
  EXPECT_EQ(service_.handler, nullptr);
  Scheduler service(host_, settings_, app_.system, app_.pairs.pairs, true);
  EXPECT_TRUE(!service.StatesFor(false).exit_command && service.StatesFor(false).service_menu);
  app_.system = testing::Windows95System();
  const CommandStates old = service.StatesFor(false);
  EXPECT_TRUE(old.exit_command && !old.security_menu && !old.service_menu);
}

TEST_F(SessionTest, TheFatalStopEndsWithItsOwnStatus) {
  app_.pairs.pairs[0].Effacer = "1";
  dir_.Make({"src/present=p", "dst/obsolete=keep"});
  fs_.FailNth(platform::FsOperation::kOpenFolder, 7, ENOENT);  // the removal's root check
  scheduler().StartStop();
  EXPECT_EQ(host_.ended_with, std::vector<int>{3});
  EXPECT_TRUE(dir_.Exists("dst/obsolete"));
}

// Automatique or the service start at once, minimised; with stop after the
// first pass the notice shows, and that pass ends the program unless a key
// is pressed in the notice.
TEST_F(SessionTest, TheAutomaticStartAndTheStopAfterTheFirstPass) {
  const struct {
    bool automatique, service_mode, stop_after_first, key, started;
  } cases[] = {{false, false, false, false, false}, {false, true, false, false, true},
               {true, false, false, false, true},   {true, false, true, false, true},
               {true, false, true, true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.automatique << c.service_mode << c.stop_after_first
                                      << c.key);
    session_.reset();
    host_ = {};
    if (c.key) host_.on_turn = [this](int) { scheduler().KeepRunningAfterFirstPass(); };
    settings_.Automatique = c.automatique;
    settings_.ArretAutomatique = c.stop_after_first;
    settings_.Langue = kPortuguese;
    app_.service_mode = c.service_mode;
    testing::RecordingStartupHost window;
    EXPECT_EQ(session().StartAutomatically(window), c.started);
    EXPECT_EQ(window.calls.size(), c.started ? 1u : 0u);  // "minimize"
    EXPECT_EQ(host_.messages.size(), c.stop_after_first ? 1u : 0u);
    const bool ends = c.stop_after_first && !c.key;
    EXPECT_EQ(host_.ended_with, ends ? std::vector<int>{0} : std::vector<int>{});
    EXPECT_EQ(settings_.ArretAutomatique, ends);
    EXPECT_EQ(host_.message_window_closes, c.key ? 1 : 0);
    EXPECT_EQ(host_.timer_enabled, c.started && !ends);
    if (!ends) {
      EXPECT_EQ(scheduler().Idle(), !c.started);
    }
    if (!c.stop_after_first) continue;
    EXPECT_EQ(host_.messages[0], "'Esc' para ver a janela principal");
    scheduler().Tick();
    if (c.key) Ticks(3);
    EXPECT_EQ(Passes(), c.key ? 2 : 1);
  }
}

}  // namespace
}  // namespace vorn
