// The player in whole frames: a pipe into a level that cannot be loaded. (Fire thrown from
// the ground deep in a level is played by the unit and far-column tests.)
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/sim.h"
#include "player/player.h"
#include "tests/support/scratch_data.h"
#include "world/level_file.h"
#include "world/map.h"
#include "world/score.h"

namespace {

constexpr int kGroundRow = 40;

std::vector<SimEvent> Script(const std::string& text) {
  std::vector<SimEvent> events;
  std::string error;
  EXPECT_TRUE(ParseSimScript(text, events, error)) << error;
  return events;
}

class PlayerSimTest : public GameFolderTest {
 protected:
  cSimulation sim;
};

TEST_F(PlayerSimTest, APipeIntoAMissingLevelFailsOnceAndLeavesTheRetry) {
  // The pipe at the very place a failed load drops the player, so an old entry left in the
  // emptied map would take it again and again.
  LevelData level = GroundLevel(kGroundRow, 0, 40, 3);
  level.hasWarpSection = true;
  level.warps = {LevelWarp{320, 288, 2, 0, "missing"}};
  level.layers[kFileGround][size_t(CellIndex(10, 10))] = 1;  // under the pipe
  std::string error;
  ASSERT_TRUE(sim.Start(ScratchDataDir("warp_missing", level), error)) << error;
  // Dropped onto the pipe: the player starts above it.
  gPlayer->x = 320;
  gPlayer->y = 250;
  const std::vector<SimEvent> events = Script("");
  testing::internal::CaptureStderr();
  int frame = 0;
  for (; frame < 600 && !gPlayer->dying; ++frame) sim.RunFrame(events);
  const std::string errors = testing::internal::GetCapturedStderr();
  // One failed load, one line.
  EXPECT_EQ(errors.rfind("missing: ", 0), 0u) << errors;
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
  ASSERT_TRUE(gPlayer->dying) << "the player never fell out of the emptied map";
  for (const WarpRecord& warp : gMap->warps) EXPECT_TRUE(warp.fileName.empty());

  // Retry brings back the level play started in.
  const int lives = gLives;
  const std::vector<SimEvent> retry = Script(std::to_string(frame + 40) + " key retry down\n" +
                                             std::to_string(frame + 41) + " key retry up\n");
  for (int i = 0; i < 60; ++i) sim.RunFrame(retry);
  EXPECT_FALSE(gPlayer->dying);
  EXPECT_EQ(gLives, lives - 1);
  EXPECT_EQ(gMap->warps[0].fileName, "missing");
  EXPECT_NEAR(gPlayer->x, 3 * kCellSize, 40.0f);
}

}  // namespace
