// Units in whole frames: a level with a crawler, run through the simulator, seen in the trace
// and in the drawing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/sim.h"
#include "engine/gl_record.h"
#include "engine/texture.h"
#include "player/player.h"
#include "tests/support/png.h"
#include "tests/support/scratch_data.h"
#include "units/base_unit.h"
#include "units/enemy.h"
#include "units/unit_textures.h"
#include "world/level_file.h"
#include "world/map.h"
#include "world/score.h"

namespace {

constexpr int kGroundRow = 10;

// Ground on row 10, the start at `start` and a crawler (unit code 0) in `crawler`.
std::string LevelWithACrawler(const std::string& name, int startColumn, int startRow,
                              int crawlerColumn, bool penned) {
  const std::string dir = TestScratchDir() + "/" + name;
  std::filesystem::create_directories(dir);
  LevelData level = EmptyLevel();
  for (int c = 0; c < 100; ++c) level.layers[kFileGround][size_t(CellIndex(c, kGroundRow))] = 1;
  if (penned)  // walls either side keep the crawler on its cell
    for (int c : {crawlerColumn - 1, crawlerColumn + 1})
      level.layers[kFileGround][size_t(CellIndex(c, kGroundRow - 1))] = 1;
  level.layers[kFileUnit][size_t(CellIndex(crawlerColumn, kGroundRow - 1))] = 0 + 1;
  level.triggers = {LevelTrigger{kTriggerStart, 0, 0, 0, 0, 0, 0}};
  level.layers[kFileTrigger][size_t(CellIndex(startColumn, startRow))] = 0;
  WriteLevelFile(dir + "/level", level);
  return dir;
}

class UnitSimTest : public GameFolderTest {
 protected:
  cSimulation sim;
};

TEST_F(UnitSimTest, ACrawlerWalksIntoThePlayerAndALandingPlayerSquashesOne) {
  std::string error;
  ASSERT_TRUE(sim.Start(LevelWithACrawler("crawler_walks", 3, kGroundRow - 1, 10, false), error))
      << error;
  sim.RunFrame({});
  EXPECT_NE(sim.TraceLine(true).find("\"units\":[{\"slot\":0,\"type\":0,\"x\":316,\"y\":288}]"),
            std::string::npos)
      << sim.TraceLine(true);
  int frame = 1;
  for (; frame < 120 && !gPlayer->dying; ++frame) sim.RunFrame({});
  EXPECT_TRUE(gPlayer->dying);
  EXPECT_LT(frame, 60);  // (320 - 96 - 32) px at 2 px a step
  EXPECT_EQ(gScore, 0);
  EXPECT_NE(sim.TraceLine(false).find("\"die.wav\""), std::string::npos);

  // Dropped from high above onto a crawler penned in its cell.
  ASSERT_TRUE(sim.Start(LevelWithACrawler("crawler_stomped", 8, 2, 8, true), error)) << error;
  bool stomped = false;
  for (frame = 0; frame < 60 && !stomped; ++frame) {
    sim.RunFrame({});
    stomped = sim.TraceLine(true).find("\"score\":100,") != std::string::npos;
  }
  EXPECT_TRUE(stomped);
  EXPECT_NE(sim.TraceLine(false).find("\"stomp.wav\""), std::string::npos);
  EXPECT_FALSE(gPlayer->dying);
  EXPECT_NE(gUnits[0], nullptr);  // squashed, but in its slot until the level reset
}

// Deep in a level (the ground on row 40, far below the first screen's 480 px), a crawler knocked
// off by a fireball is seen falling out of the view before it goes.
TEST_F(UnitSimTest, AKnockedOffCrawlerOnRow39FallsInSightThenGoes) {
  constexpr int kDeepGround = 40;
  LevelData level = GroundLevel(kDeepGround, 0, 59, 8);
  level.layers[kFileUnit][size_t(CellIndex(16, kDeepGround - 1))] = 0 + 1;
  cGlRecorder gl;
  std::string error;
  ASSERT_TRUE(sim.Start(ScratchDataDir("crawler_falls", level), error)) << error;
  std::vector<SimEvent> events;
  ASSERT_TRUE(ParseSimScript("1 key right down\n2 key right up\n8 key fire down\n9 key fire up\n",
                             events, error));
  for (int frame = 0; frame < 8; ++frame) sim.RunFrame(events);
  gPlayer->SetPower(kPowerFire);
  const auto* crawler = static_cast<const cEnemy*>(gUnits[0]);
  ASSERT_NE(crawler, nullptr);
  int frame = 8;
  for (; frame < 60 && !crawler->knockedOff; ++frame) sim.RunFrame(events);
  ASSERT_TRUE(crawler->knockedOff);

  // Where the crawler's picture is drawn each frame from now on, if at all.
  auto drawnTop = [&]() {
    float top = -1;
    for (const GlRecordedDraw& draw : gl.draws)
      for (const Texture* picture : gCrawlerTextures)
        if (picture && draw.texture == picture->glName && !draw.vertices.empty())
          top = draw.vertices[0].y;
    return top;
  };
  int fallingFrames = 0;
  float lastTop = -1;
  for (; frame < 150 && !crawler->dead; ++frame) {
    gl.draws.clear();
    sim.RunFrame(events);
    const float top = drawnTop();
    if (top > lastTop && lastTop >= 0) ++fallingFrames;
    if (top >= 0) lastTop = top;
  }
  EXPECT_GE(fallingFrames, 8);
  EXPECT_GT(lastTop, float(kDeepGround * kCellSize - 32));  // seen falling past the ground
  EXPECT_TRUE(crawler->dead);
  gl.draws.clear();
  sim.RunFrame(events);
  EXPECT_EQ(drawnTop(), -1.0f);  // gone from the picture
}

}  // namespace
