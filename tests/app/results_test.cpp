// The end of a level through the real frame on a small level: the goal, the walk on, the
// results and their figures, the music around them, the way back to the start screen, and a
// level without a goal that plays on as before.
#include "app/results.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>

#include "app/game.h"
#include "app/hud.h"
#include "app/sim.h"
#include "app/start_screen.h"
#include "engine/gl_record.h"
#include "player/player.h"
#include "tests/support/fake_music.h"
#include "tests/support/png.h"
#include "tests/support/scratch_data.h"
#include "world/level_file.h"
#include "world/map.h"
#include "world/score.h"

namespace {

constexpr int kGroundRow = 10;
constexpr int kGoalColumn = 14;

// Ground on row 10, the start at (3, 9), and (if asked) a goal two columns wide at 14; with
// treasure, four coins (two on the way) and two secret rooms' messages (one on the way); a
// goal given replaces the one at 14.
std::string MakeLevelDir(bool withGoal, bool withTreasure = false,
                         std::optional<LevelArea> goal = std::nullopt) {
  const std::string dir = TestScratchDir() + (withTreasure ? "/treasure_level"
                                              : withGoal   ? "/goal_level"
                                                           : "/no_goal_level");
  std::filesystem::create_directories(dir);
  LevelData level = GroundLevel(kGroundRow, 0, 99, 3);
  if (withTreasure) {
    for (auto [c, r] : {std::pair{6, 9}, {9, 9}, {8, 4}})
      level.layers[kFileCoin][size_t(CellIndex(c, r))] = 1;
    level.layers[kFileBlock][size_t(CellIndex(30, 6))] = kBlockCoinBox;
    level.triggers.resize(63, LevelTrigger{kTriggerNothing, 0, 0, 0, 0, 0, 0});
    level.triggers[60].kind = level.triggers[62].kind = kTriggerMessage;
    level.layers[kFileTrigger][size_t(CellIndex(11, 9))] = 60;  // FOUND A SECRET ROOM
    level.layers[kFileTrigger][size_t(CellIndex(40, 9))] = 62;  // FOUND A WARPZONE ROOM
  }
  level.hasGoal = withGoal;
  const int goalColumn = withTreasure ? 2 * kGoalColumn : kGoalColumn;  // past the treasure
  level.goal = goal.value_or(LevelArea{goalColumn, 0, goalColumn + 1, kGroundRow - 1});
  WriteLevelFile(dir + "/level", level);
  return dir;
}

class ResultsTest : public GameFolderTest {
 protected:
  void TearDown() override {
    cSimulation::ReleaseGame();
    GameFolderTest::TearDown();
  }

  void Start(bool withGoal, bool withTreasure = false,
             std::optional<LevelArea> goal = std::nullopt) {
    std::string error;
    ASSERT_TRUE(sim.Start(MakeLevelDir(withGoal, withTreasure, goal), error)) << error;
  }
  // Runs a script whose frame numbers count from the next frame.
  void Run(const std::string& script, int frames) {
    std::vector<SimEvent> events;
    std::string error;
    ASSERT_TRUE(ParseSimScript(script, events, error)) << error;
    for (SimEvent& event : events) event.frame += sim.FramesRun();  // frames from now
    for (int i = 0; i < frames; ++i) sim.RunFrame(events);
  }
  // Runs until the goal is reached (at most `frames`); the frame it was reached, or -1.
  int RunToGoal(int frames) {
    std::vector<SimEvent> events;
    std::string error;
    EXPECT_TRUE(ParseSimScript("0 key right down\n", events, error));
    for (int i = 0; i < frames; ++i) {
      sim.RunFrame(events);
      if (gGoalReached) return sim.FramesRun() - 1;
    }
    return -1;
  }

  cFakeMusic music;  // the device put back after the simulation
  cSimulation sim;
};

TEST_F(ResultsTest, ReachingTheGoalWalksOnShowsTheFiguresAndAPressLeavesThem) {
  Start(true);
  EXPECT_EQ(cFakeMusic::LastPlay(), (std::pair<int, int>{kTunePlay, -1}));
  EXPECT_NE(sim.TraceLine(false).find("\"completed\":false,"), std::string::npos);
  gScore = 1234;
  gCoins = 56;
  const int goalFrame = RunToGoal(300);
  ASSERT_GE(goalFrame, 0) << "the goal was never reached";
  EXPECT_EQ(PixelToCell(int(gPlayer->x) + gPlayer->width / 2), kGoalColumn);
  EXPECT_NE(sim.TraceLine(false).find("\"completed\":true,"), std::string::npos);
  EXPECT_EQ(cFakeMusic::LastPlay(), (std::pair<int, int>{kTuneJingle, 0}));

  // The player walks on by itself, even with every key let go, and cannot restart.
  const float atGoal = gPlayer->x;
  Run("0 key right up\n0 key restart down\n1 key restart up\n", kWalkOnFrames - 1);
  EXPECT_FALSE(gResultsShown);
  EXPECT_GT(gPlayer->x, atGoal);
  EXPECT_TRUE(PlayerWentIn()) << "and went in through the gate, where it stopped";
  Run("", 1);
  EXPECT_TRUE(gResultsShown);

  ResultLine lines[kResultLines];
  FormatResultLines(lines);
  const int seconds = (goalFrame + 1) / 30;
  char time[32];
  std::snprintf(time, sizeof time, "%d:%02d", seconds / 60, seconds % 60);
  EXPECT_STREQ(lines[0].label, "TIME");
  EXPECT_STREQ(lines[0].value, time);
  EXPECT_STREQ(lines[1].value, "1234");
  EXPECT_STREQ(lines[2].label, "COINS");
  EXPECT_STREQ(lines[4].label, "DEATHS");
  EXPECT_STREQ(lines[4].value, "0");
  // The results stand still: play does not go on behind them.
  const float x = gPlayer->x;
  Run("", 5);
  EXPECT_EQ(gPlayer->x, x);
  EXPECT_TRUE(gResultsShown);

  // A key still held from play does not skip the results at once; a press then leaves them
  // for the start screen, and a new game starts fresh.
  Run("0 key jump down\n1 key jump up\n", 2);
  EXPECT_TRUE(gResultsShown);
  Run("", 20);
  Run("0 key jump down\n1 key jump up\n", 2);
  EXPECT_FALSE(gResultsShown);
  EXPECT_FALSE(gStartDone);
  Run("", 1);
  EXPECT_EQ(cFakeMusic::LastPlay(), (std::pair<int, int>{kTuneTitle, -1}));
  Run("0 down 0 start\n1 up 0\n", 1);
  EXPECT_TRUE(gStartDone);
  EXPECT_FALSE(gGoalReached);
  EXPECT_EQ(gLives, 5);
  EXPECT_EQ(gScore, 0);
  EXPECT_FLOAT_EQ(gPlayer->x, 96.0f);
  EXPECT_EQ(cFakeMusic::LastPlay(), (std::pair<int, int>{kTunePlay, -1}));
}

TEST_F(ResultsTest, CoinsAndSecretsAreCountedAsFoundOutOfTheLevelsOnceEachOverRetries) {
  Start(true, true);
  Run("", 1);
  ResultLine lines[kResultLines];
  FormatResultLines(lines);
  EXPECT_STREQ(lines[2].value, "0/4") << "loose coins and coin boxes";
  EXPECT_STREQ(lines[3].value, "0/2");
  // Past both coins on the way and the secret's message, then a retry takes them again.
  Run("0 key right down\n", 50);
  ASSERT_GT(gPlayer->x, 12 * 32.0f);
  ASSERT_FALSE(gGoalReached);
  FormatResultLines(lines);
  EXPECT_STREQ(lines[2].value, "2/4");
  EXPECT_STREQ(lines[3].value, "1/2");
  EXPECT_EQ(gCoins, 2);
  RestartAfterDeath();
  ASSERT_GE(RunToGoal(300), 0);
  EXPECT_EQ(gCoins, 4);
  FormatResultLines(lines);
  EXPECT_STREQ(lines[2].value, "2/4") << "a coin taken again is the same coin";
  EXPECT_STREQ(lines[3].value, "1/2");
  EXPECT_STREQ(lines[4].value, "1");
}

// The same walk on a level without a goal: nothing ends, the player walks on and on. A goal
// off the grid (`check` reports it) is no goal either; its gate's pixels would not fit.
TEST_F(ResultsTest, ALevelWithoutAGoalPlaysOnAsBefore) {
  for (std::optional<LevelArea> goal :
       {std::optional<LevelArea>{}, std::optional{LevelArea{1795162124, 0, 1795162125, 9}},
        std::optional{LevelArea{kGoalColumn + 1, 0, kGoalColumn, kGroundRow - 1}}}) {
    Start(goal.has_value(), false, goal);
    EXPECT_EQ(RunToGoal(600), -1);
    EXPECT_FALSE(gResultsShown);
    EXPECT_GT(gPlayer->x, 60 * 32.0f);
    EXPECT_NE(sim.TraceLine(false).find("\"completed\":false,"), std::string::npos);
    cSimulation::ReleaseGame();
  }
}

TEST_F(ResultsTest, TheMuteKeyAndTheSpeakerToggleTheSoundAndTheDeathDucksTheMusic) {
  Start(true);
  Run("0 key right up\n", 1);
  // M on the keyboard.
  Run("0 key mute down\n", 1);
  EXPECT_TRUE(Muted());
  Run("0 key mute up\n", 1);
  EXPECT_TRUE(Muted());
  EXPECT_FALSE(cFakeMusic::Log().playing);
  // A touch on the speaker.
  const std::string touch = "0 down 1 " + std::to_string(kSpeakerX + kSpeakerSize / 2) + " " +
                            std::to_string(kSpeakerY + kSpeakerSize / 2) + "\n1 up 1\n";
  Run(touch, 2);
  EXPECT_FALSE(Muted());
  EXPECT_TRUE(cFakeMusic::Log().playing);
  EXPECT_EQ(music.LastVolume(), kMusicFullVolume);

  gPlayer->StartDeath(0);
  Run("", 1);
  EXPECT_EQ(music.LastVolume(), kMusicDuckedVolume);
  RestartAfterDeath();
  Run("", 1);
  EXPECT_EQ(music.LastVolume(), kMusicFullVolume);
}

}  // namespace
