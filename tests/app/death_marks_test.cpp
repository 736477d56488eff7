// Deaths that teach, through the real frame on a small level: the first death at a hidden
// killer leaves a marker and the killer's tell, both kept over the retry and drawn from then
// on without touching the map, the collisions or the random sequence; the restart forgets them.
#include "app/death_marks.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/game.h"
#include "app/sim.h"
#include "engine/sprite_batch.h"
#include "player/player.h"
#include "tests/support/fake_music.h"
#include "tests/support/scratch_data.h"
#include "world/level_file.h"
#include "world/map.h"
#include "world/score.h"

namespace {

constexpr int kGroundRow = 10;
constexpr int kLowRow = 12;  // past column 9 the ground drops two rows, onto hidden deadly ground
constexpr int kFirstDeadly = 10, kLastDeadly = 13;

std::string MakeLevelDir() {
  LevelData level = EmptyLevel();
  for (int c = 0; c < 60; ++c) {
    const int row = c < kFirstDeadly ? kGroundRow : kLowRow;
    level.layers[kFileGround][size_t(CellIndex(c, row))] = 1;
    const bool deadly = c >= kFirstDeadly && c <= kLastDeadly;
    level.layers[kFileDeco][size_t(CellIndex(c, row))] = deadly ? kDecoDeadlyA : 0;
    level.layers[kFileReveal][size_t(CellIndex(c, row))] = deadly ? 0 : 1;
  }
  level.triggers = {LevelTrigger{kTriggerStart, 0, 0, 0, 0, 0, 0}};
  level.layers[kFileTrigger][size_t(CellIndex(3, kGroundRow - 1))] = 0;
  return ScratchDataDir("death_marks", level);
}

// The quads a draw call puts into the sprite batch.
int QuadsDrawn(const std::function<void()>& draw) {
  cSpriteBatch& batch = cSpriteBatch::Instance();
  batch.Begin(false);
  draw();
  int vertices = 0;
  for (int i = 0; i < kBatchBuckets; ++i) vertices += batch.Bucket(i).count;
  batch.Begin(false);
  return vertices / kVerticesPerQuad;
}

class DeathMarksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    std::string error;
    ASSERT_TRUE(sim.Start(MakeLevelDir(), error)) << error;
  }
  void TearDown() override {
    ForgetDeaths();
    cSimulation::ReleaseGame();
    ASSERT_EQ(chdir(cwd), 0);
  }
  void Run(const std::string& script, int frames) {
    std::vector<SimEvent> events;
    std::string error;
    ASSERT_TRUE(ParseSimScript(script, events, error)) << error;
    for (SimEvent& event : events) event.frame += sim.FramesRun();
    for (int i = 0; i < frames; ++i) sim.RunFrame(events);
  }
  // Walks right onto the deadly ground; the frame the player began to die, or -1.
  int WalkToDeath() {
    std::vector<SimEvent> events;
    std::string error;
    EXPECT_TRUE(
        ParseSimScript(std::to_string(sim.FramesRun()) + " key right down\n", events, error));
    for (int i = 0; i < 300; ++i) {
      sim.RunFrame(events);
      if (gPlayer->dying) return sim.FramesRun() - 1;
    }
    return -1;
  }

  char cwd[PATH_MAX];
  cFakeMusic music;
  cSimulation sim;
};

TEST_F(DeathMarksTest, AHiddenKillerIsMarkedAtTheDeathAndDrawnFaintlyAfterTheRetryOnly) {
  EXPECT_TRUE(gDeathMarks.empty());
  ASSERT_GE(WalkToDeath(), 0);
  Run("0 key right up\n", 1);
  ASSERT_EQ(gDeathMarks.size(), 1u);
  EXPECT_GE(gDeathMarks[0].x, kFirstDeadly * 32);
  EXPECT_LT(gDeathMarks[0].x, (kLastDeadly + 1) * 32);
  EXPECT_NEAR(gDeathMarks[0].y, kLowRow * 32 - 16, 16);
  // Only the deadly cells the player came upon, not the ground round them.
  ASSERT_FALSE(gKillerTells.empty());
  for (const KillerTell& tell : gKillerTells) {
    EXPECT_EQ(tell.kind, UnseenKiller::kDeadlyGround);
    EXPECT_EQ(tell.row, kLowRow);
    EXPECT_GE(tell.column, kFirstDeadly);
    EXPECT_LE(tell.column, kLastDeadly);
  }
  const int tells = int(gKillerTells.size());
  // Revealed by the death, the map draws the cells itself: only the marker is added.
  EXPECT_EQ(QuadsDrawn(DrawDeathMarks), 1);

  Run("0 key retry down\n2 key retry up\n", 4);
  ASSERT_FALSE(gPlayer->dying);
  EXPECT_EQ(gLives, 4);
  const int cell = CellIndex(gKillerTells[0].column, kLowRow);
  EXPECT_EQ(gMap->revealLayer[cell], 0) << "the retry hid the deadly ground again";
  EXPECT_EQ(gDeathMarks.size(), 1u);
  EXPECT_EQ(int(gKillerTells.size()), tells);
  EXPECT_EQ(QuadsDrawn(DrawDeathMarks), 1 + tells) << "the marker and the faint tells";

  // Drawing changes nothing the game plays by: the cells, the collisions and the random
  // sequence are as they were.
  const int32_t solid = gMap->SolidAt(gKillerTells[0].column * 32 + 4, kLowRow * 32 + 4);
  const std::vector<int32_t> reveal(std::begin(gMap->revealLayer), std::end(gMap->revealLayer));
  std::srand(77);
  const int expected = std::rand();
  std::srand(77);
  QuadsDrawn(DrawDeathMarks);
  WatchDeaths();
  EXPECT_EQ(std::rand(), expected);
  EXPECT_EQ(gMap->SolidAt(gKillerTells[0].column * 32 + 4, kLowRow * 32 + 4), solid);
  EXPECT_TRUE(std::equal(reveal.begin(), reveal.end(), std::begin(gMap->revealLayer)));

  // A second death there adds its marker, not second tells; the restart forgets both.
  ASSERT_GE(WalkToDeath(), 0);
  EXPECT_EQ(gDeathMarks.size(), 2u);
  EXPECT_EQ(int(gKillerTells.size()), tells) << "the same cells are not told twice";
  RestartLevel();
  EXPECT_TRUE(gDeathMarks.empty());
  EXPECT_TRUE(gKillerTells.empty());
}

}  // namespace
