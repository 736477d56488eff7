// Checkpoints through the real frame on a small level: reaching one, the retry that starts
// there with the score kept, the restart that forgets them, and checkpoints off the grid.
#include "app/checkpoints.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/sim.h"
#include "player/player.h"
#include "tests/support/png.h"
#include "tests/support/scratch_data.h"
#include "world/camera.h"
#include "world/level_file.h"
#include "world/map.h"
#include "world/score.h"

namespace {

constexpr int kGroundRow = 10;
constexpr int kFirstFlag = 10;  // checkpoints at columns 10 and 30, in the row above the ground
constexpr int kSecondFlag = 30;
constexpr int kPitColumn = 20;  // columns 20..22 have no ground
constexpr int kCoinColumn = 12;
constexpr int kMaxWaitFrames = 600;  // 20 s of play: far more than any walk here takes

// Ground on row 10 with a pit, the start at (3, 9), a coin past the first checkpoint.
std::string MakeLevelDir(const std::vector<LevelCell>& offGrid = {}) {
  const std::string dir = TestScratchDir() + "/flag_level" + (offGrid.empty() ? "" : "_off_grid");
  std::filesystem::create_directories(dir);
  LevelData level = GroundLevel(kGroundRow, 0, 99, 3);
  for (int c = kPitColumn; c <= kPitColumn + 2; ++c)
    level.layers[kFileGround][size_t(CellIndex(c, kGroundRow))] = 0;
  level.layers[kFileCoin][size_t(CellIndex(kCoinColumn, kGroundRow - 1))] = 1;
  level.checkpoints = {{kFirstFlag, kGroundRow - 1}, {kSecondFlag, kGroundRow - 1}};
  level.checkpoints.insert(level.checkpoints.begin(), offGrid.begin(), offGrid.end());
  WriteLevelFile(dir + "/level", level);
  return dir;
}

class CheckpointTest : public GameFolderTest {
 protected:
  void TearDown() override {
    cSimulation::ReleaseGame();
    GameFolderTest::TearDown();
  }

  void Start() {
    std::string error;
    ASSERT_TRUE(sim.Start(MakeLevelDir(), error)) << error;
  }
  // Runs a script whose frame numbers count from the next frame; true if the sound `sound`
  // was asked for in any of those frames.
  bool Run(const std::string& script, int frames, const char* sound = "flag.wav") {
    std::vector<SimEvent> events;
    std::string error;
    EXPECT_TRUE(ParseSimScript(script, events, error)) << error;
    for (SimEvent& event : events) event.frame += sim.FramesRun();
    bool heard = false;
    for (int i = 0; i < frames; ++i) {
      sim.RunFrame(events);
      heard = heard || sim.TraceLine(false).find(sound) != std::string::npos;
    }
    return heard;
  }
  // Walks right into the pit and lets the fall end in death.
  void DieInThePit() {
    Run("0 key right down\n", 1);
    ASSERT_TRUE(RunUntil([] { return gPlayer->dying; }));
    Run("0 key right up\n", 60);
  }
  void Retry() { Run("0 key retry down\n1 key retry up\n", 2); }
  // Runs frames until `done` holds, at most kMaxWaitFrames of them: a movement fault fails
  // the test instead of hanging it.
  template <class Done>
  bool RunUntil(Done done) {
    for (int frame = 0; frame < kMaxWaitFrames && !done(); ++frame) Run("", 1);
    return done();
  }
  static int MiddleColumn() { return PixelToCell(int(gPlayer->x) + gPlayer->width / 2); }
  std::string Trace() const { return sim.TraceLine(false); }

  cSimulation sim;
};

TEST_F(CheckpointTest, PassingOneRaisesItsFlagTheRetryStartsThereAndARestartForgetsIt) {
  Start();
  EXPECT_EQ(gCheckpointReached, kNoCheckpoint);
  EXPECT_NE(Trace().find("\"completed\":false,\"checkpoint\":-1}"), std::string::npos) << Trace();
  // Walk to just short of the first flag: nothing yet.
  EXPECT_FALSE(Run("0 key right down\n", 1));
  ASSERT_TRUE(RunUntil([] { return MiddleColumn() >= kFirstFlag - 1; }));
  EXPECT_EQ(gCheckpointReached, kNoCheckpoint);
  EXPECT_TRUE(Run("", 15));
  EXPECT_EQ(gCheckpointReached, 0);
  EXPECT_NE(Trace().find("\"checkpoint\":0}"), std::string::npos) << Trace();

  DieInThePit();
  EXPECT_EQ(gCoins, 1);
  const int32_t score = gScore;
  Retry();
  EXPECT_FALSE(gPlayer->dying);
  EXPECT_EQ(gLives, 4);
  EXPECT_FLOAT_EQ(gPlayer->x, float(kFirstFlag * 32));
  EXPECT_FLOAT_EQ(gCamera[0], float(kFirstFlag * 32));  // the view is there at once
  EXPECT_EQ(gCheckpointReached, 0);
  EXPECT_EQ(gCoins, 1);  // what was taken stays taken in the count, as with every retry
  EXPECT_EQ(gScore, score);
  // The player stands on the ground beside the flag, and the flag does not sound again.
  EXPECT_FALSE(Run("", 20));
  EXPECT_TRUE(gPlayer->onGround);
  EXPECT_FALSE(gPlayer->dying);

  // The restart key goes back to the start, at no cost in lives, and forgets the flags: passing
  // the first raises it with its sound once more.
  Run("0 key restart down\n1 key restart up\n", 3);
  EXPECT_FLOAT_EQ(gPlayer->x, 96.0f);
  EXPECT_EQ(gCheckpointReached, kNoCheckpoint);
  EXPECT_EQ(gLives, 4);
  EXPECT_TRUE(Run("0 key right down\n", 60));
  EXPECT_EQ(gCheckpointReached, 0);
}

TEST_F(CheckpointTest, JumpingOverTheFlagReachesItAndLaterOnesAreNotHandedBack) {
  Start();
  Run("0 key right down\n", 20);
  // Jump as the flag comes: the player's middle passes above its cell.
  ASSERT_TRUE(RunUntil([] { return MiddleColumn() >= kFirstFlag - 2; }));
  Run("0 key jump down\n12 key jump up\n", 14);
  EXPECT_EQ(gCheckpointReached, 0);
  // Over the pit with a running jump, on to the second flag, and back past the first.
  ASSERT_TRUE(RunUntil([] { return MiddleColumn() >= kPitColumn - 2; }));
  Run("0 key jump down\n14 key jump up\n", 30);
  ASSERT_FALSE(gPlayer->dying);
  RunUntil([] { return gCheckpointReached >= 1 || PixelToCell(int(gPlayer->x)) >= 60; });
  EXPECT_EQ(gCheckpointReached, 1);
  Run("0 key right up\n0 key left down\n", 60);
  EXPECT_LT(gPlayer->x, float((kSecondFlag - 3) * 32));
  EXPECT_EQ(gCheckpointReached, 1);
}

// `check` calls such cells off the grid; play leaves them out, and their pixels would not fit
// the game's numbers.
TEST_F(CheckpointTest, CheckpointsOffTheGridAreLeftOut) {
  std::string error;
  ASSERT_TRUE(sim.Start(MakeLevelDir({{100000000, 5}, {INT_MAX, INT_MIN}, {-1, 3}}), error))
      << error;
  ASSERT_EQ(gMap->checkpoints.size(), 2u);
  EXPECT_EQ(gMap->checkpoints[0].column, kFirstFlag);
  Run("0 key right down\n", 1);
  while (gCheckpointReached < 0 && gPlayer->x < 60 * 32) Run("", 1);
  EXPECT_EQ(gCheckpointReached, 0);
}

}  // namespace
