// The map: loading level files into the layers, the start point, triggers and their link
// bits, the tile queries at the edges of the grid, and the per-frame pass (reveal, coins,
// coin frames, the ground shuffle, the drawing window).
#include "world/map.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "app/game.h"
#include "engine/sprite_batch.h"
#include "engine/texture.h"
#include "player/player.h"
#include "tests/support/png.h"
#include "tests/support/scratch_data.h"
#include "world/camera.h"
#include "world/messages.h"
#include "world/score.h"
#include "world/sounds.h"

namespace {

class MapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gPlayer = new cPlayer(3, 1, 2, 4, 5, 0, 8);
    gMap = map.get();
    gScore = gCoins = 0;
    gLives = 5;
    gFrameTime = 0;
    gLastShuffle = 0;
    gMessageIndex = kNoMessage;
    for (unsigned& plays : gSoundPlays) plays = 0;
    for (float& value : gCamera) value = 0;
    cSpriteBatch::Instance().Begin(false);
  }
  void TearDown() override {
    delete gPlayer;
    gPlayer = nullptr;
    gMap = nullptr;
    gScore = gCoins = gLives = 0;
    HideMessage();
    cSpriteBatch::Instance().Begin(false);
  }

  // Writes a level file and loads it; returns what LoadLevel said.
  bool Load(const LevelData& level, int32_t startIndex = 0) {
    const std::string path = TestScratchDir() + "/map_test_level";
    WriteLevelFile(path, level);
    return map->LoadLevel(path.c_str(), startIndex);
  }
  static int32_t& Cell(LevelData& level, LevelLayer layer, int column, int row) {
    return level.layers[layer][size_t(CellIndex(column, row))];
  }
  int32_t& Link(int column, int row) { return map->triggerLayer[CellIndex(column, row)]; }
  static LevelTrigger Trigger(int32_t kind, int32_t c0, int32_t r0, int32_t c1, int32_t r1) {
    return LevelTrigger{kind, 0, 0, c0, c1, r0, r1};
  }

  std::unique_ptr<cMap> map = std::make_unique<cMap>();
};

TEST_F(MapTest, AFullLevelFillsEveryLayerAndPlacesThePlayerAtItsStart) {
  LevelData level = EmptyLevel();
  Cell(level, kFileGround, 4095, 62) = 2;
  Cell(level, kFileGround, 7, 63) = 1;  // the bottom row's ground is cleared by the load
  Cell(level, kFileCoin, 10, 5) = 1;
  Cell(level, kFileBlock, 11, 5) = kBlockCoinBox;
  Cell(level, kFileDeco, 12, 5) = 3;
  Cell(level, kFileReveal, 13, 5) = 1;
  Cell(level, kFileLabel, 14, 5) = 1;
  level.texts = {{0, "FIRST"}, {7, "SECOND"}};
  level.triggers = {Trigger(kTriggerNothing, 0, 0, 0, 0), Trigger(kTriggerStart, 0, 0, 0, 0),
                    Trigger(kTriggerStart, 0, 0, 0, 0)};
  // Start markers: trigger 1 at (3, 10) and (5, 9); trigger 2 at (4, 11) and (2, 12).
  Cell(level, kFileTrigger, 3, 10) = 1;
  Cell(level, kFileTrigger, 5, 9) = 1;
  Cell(level, kFileTrigger, 2, 12) = 2;
  Cell(level, kFileTrigger, 4, 11) = 2;

  ASSERT_TRUE(Load(level));
  EXPECT_EQ(map->groundLayer[CellIndex(4095, 62)], 2);
  EXPECT_EQ(map->groundLayer[CellIndex(7, 63)], 0);
  EXPECT_EQ(map->coinLayer[CellIndex(10, 5)], 1);
  EXPECT_EQ(map->blockLayer[CellIndex(11, 5)], kBlockCoinBox);
  EXPECT_EQ(map->decoLayer[CellIndex(12, 5)], 3);
  EXPECT_EQ(map->revealLayer[CellIndex(13, 5)], 1);
  EXPECT_EQ(map->labelLayer[CellIndex(14, 5)], 1);
  EXPECT_EQ(map->labelLayer[CellIndex(15, 5)], -1);
  EXPECT_STREQ(map->labels[1], "SECOND");
  EXPECT_TRUE(map->triggers[2].active);
  EXPECT_EQ(map->triggers[2].kind, kTriggerStart);
  // The last marked cell, in column order, of the highest start trigger.
  EXPECT_EQ(map->startPoints[0].x, 4 * 32);
  EXPECT_EQ(map->startPoints[0].y, 11 * 32);
  EXPECT_FLOAT_EQ(gPlayer->x, 128.0f);
  EXPECT_FLOAT_EQ(gPlayer->y, 352.0f);
  EXPECT_FLOAT_EQ(gPlayer->speedY, -2.33f);
  EXPECT_EQ(map->levelName, "level");
  EXPECT_NE(map->tileTextures[5], nullptr);
  EXPECT_EQ(map->tileTextureCount, 6);

  // Levels mark only start point 0; a warp naming another, in range or not, lands there too.
  for (int32_t startIndex : {1, 31, 99, -1}) {
    ASSERT_TRUE(Load(level, startIndex));
    EXPECT_FLOAT_EQ(gPlayer->x, 128.0f) << startIndex;
    EXPECT_FLOAT_EQ(gPlayer->y, 352.0f) << startIndex;
  }
}

TEST_F(MapTest, ASmallLevelFillsOnlyItsFirstCells) {
  LevelData level;
  level.sizeA = 128;
  level.sizeB = 1;
  for (auto& layer : level.layers) layer.assign(128, 0);
  level.layers[kFileGround].assign(128, 1);
  level.layers[kFileTrigger].assign(128, -1);
  ASSERT_TRUE(Load(level));
  EXPECT_EQ(map->groundLayer[CellIndex(1, 62)], 1);  // 128 cells are columns 0 and 1
  EXPECT_EQ(map->groundLayer[CellIndex(1, 63)], 0);  // bottom row cleared
  EXPECT_EQ(map->groundLayer[CellIndex(2, 0)], 0);
  EXPECT_EQ(map->labelLayer[CellIndex(2, 0)], 0);  // reset value: label 0 past the file's cells
  EXPECT_EQ(map->triggerLayer[CellIndex(2, 0)], kNoTrigger);
  // With no start trigger the player stands where the last start point was.
  EXPECT_FLOAT_EQ(gPlayer->x, 0.0f);
}

TEST_F(MapTest, ARefusedFileLeavesTheMapResetAndSaysWhy) {
  LevelData level = EmptyLevel();
  Cell(level, kFileGround, 1, 1) = 1;
  ASSERT_TRUE(Load(level));
  map->coinFrame = 32.5f;

  const std::string path = WriteLevelFile(TestScratchDir() + "/cut_level", level);
  std::filesystem::resize_file(path, 1000);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(map->LoadLevel(path.c_str(), 0));
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(said, path + ": truncated: expected 8388616 bytes of layers, found 1000\n");
  EXPECT_EQ(map->groundLayer[CellIndex(1, 1)], 0);
  EXPECT_FLOAT_EQ(map->coinFrame, 30.0f);
  EXPECT_FLOAT_EQ(gPlayer->x, 320.0f);  // where the reset puts the player
  EXPECT_FLOAT_EQ(gPlayer->y, 240.0f);

  testing::internal::CaptureStderr();
  EXPECT_FALSE(map->LoadLevel((TestScratchDir() + "/no_such_level").c_str(), 0));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot open"), std::string::npos);
}

// Restarts and retries reload the first level by name, even after its own load was refused.
TEST_F(MapTest, RetryAfterARefusedFirstLevelNamesTheFile) {
  const auto cwd = std::filesystem::current_path();
  const std::string dir = TestScratchDir() + "/no_level_here";
  std::filesystem::create_directories(dir);
  std::filesystem::current_path(dir);
  auto fresh = std::make_unique<cMap>();
  gMap = fresh.get();
  testing::internal::CaptureStderr();
  EXPECT_FALSE(fresh->LoadLevel(kFirstLevel, 0));
  RestartAfterDeath();
  RestartLevel();
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(said,
            "level: cannot open the file\nlevel: cannot open the file\nlevel: cannot open the "
            "file\n");
  EXPECT_EQ(fresh->levelName, "level");
  gMap = map.get();
  std::filesystem::current_path(cwd);
}

TEST_F(MapTest, TriggerLinksFireOnceKeepDisarmAndRearm) {
  LevelData level = EmptyLevel();
  level.triggers.assign(60, Trigger(kTriggerNothing, 0, 0, 0, 0));
  level.triggers[1] = Trigger(kTriggerTeleport, 20, 3, 0, 0);
  level.triggers[59] = Trigger(kTriggerMessage, 0, 0, 0, 0);
  level.triggers[55] = Trigger(kTriggerMessage, 0, 0, 0, 0);
  level.triggers[40] = Trigger(kTriggerMessage, 0, 0, 0, 0);
  level.triggers[2] = Trigger(kTriggerStrike, 30, 4, 31, 5);
  ASSERT_TRUE(Load(level));

  Link(1, 1) = 1;  // plain: fires once, then the cell forgets it
  map->FireTrigger(1, 1);
  EXPECT_FLOAT_EQ(gPlayer->x, 640.0f);
  EXPECT_FLOAT_EQ(gPlayer->y, 96.0f);
  EXPECT_EQ(Link(1, 1), kNoTrigger);
  EXPECT_TRUE(map->triggers[1].active);

  Link(2, 2) = 59 | 0x01000000;  // keep bit: fires every time
  gFrameTime = 1234;
  map->FireTrigger(2, 2);
  EXPECT_EQ(gMessageIndex, 2);
  EXPECT_STREQ(kMessages[gMessageIndex], "DEATH BY JUMP PAD");
  EXPECT_EQ(gMessageStart, 1234u);
  EXPECT_EQ(Link(2, 2), 59 | 0x01000000);
  HideMessage();
  map->FireTrigger(2, 2);
  EXPECT_EQ(gMessageIndex, 2);

  // One cell disarms trigger 55 after firing, another re-arms it before.
  Link(3, 3) = 55 | 0x00010000 | 0x01000000;
  Link(4, 4) = 55 | 0x00100000 | 0x01000000;
  HideMessage();
  map->FireTrigger(3, 3);
  EXPECT_EQ(gMessageIndex, 2);
  EXPECT_FALSE(map->triggers[55].active);
  HideMessage();
  map->FireTrigger(3, 3);
  EXPECT_EQ(gMessageIndex, kNoMessage);  // disarmed
  map->FireTrigger(4, 4);
  EXPECT_EQ(gMessageIndex, 2);  // re-armed first, so it acts

  // A message trigger outside 53..67 shows nothing.
  HideMessage();
  Link(5, 5) = 40;
  map->FireTrigger(5, 5);
  EXPECT_EQ(gMessageIndex, kNoMessage);

  // A strike trigger reveals its rectangle.
  Link(6, 6) = 2;
  map->FireTrigger(6, 6);
  EXPECT_EQ(map->revealLayer[CellIndex(31, 5)], 1);
  EXPECT_EQ(map->revealLayer[CellIndex(32, 5)], 0);
}

TEST_F(MapTest, OutOfRangeLinksAndRectanglesAreHarmless) {
  LevelData level = EmptyLevel();
  level.triggers = {Trigger(kTriggerStrike, 4090, 60, 99999, 70),
                    Trigger(kTriggerStrike, -5, -5, 0, 0),
                    Trigger(kTriggerTeleport, 9000, -3, 0, 0)};
  ASSERT_TRUE(Load(level));
  Link(1, 1) = 5000;  // past the 1024 triggers: as if there were no link
  map->FireTrigger(1, 1);
  EXPECT_EQ(Link(1, 1), 5000);
  map->FireTrigger(-1, 0);
  map->FireTrigger(0, 64);

  Link(2, 2) = 0;
  map->FireTrigger(2, 2);  // clipped to the grid's corner
  EXPECT_EQ(map->revealLayer[CellIndex(4095, 63)], 1);
  EXPECT_EQ(map->revealLayer[CellIndex(4089, 63)], 0);
  Link(2, 3) = 1;
  map->FireTrigger(2, 3);
  EXPECT_EQ(map->revealLayer[CellIndex(0, 0)], 1);
  Link(2, 4) = 2;
  map->FireTrigger(2, 4);  // a teleport off the map lands on its edge
  EXPECT_FLOAT_EQ(gPlayer->x, 4095.0f * 32);
  EXPECT_FLOAT_EQ(gPlayer->y, 0.0f);
}

TEST_F(MapTest, QueriesAtTheEdgesOfTheGrid) {
  map->groundLayer[CellIndex(0, 1)] = 1;
  EXPECT_EQ(map->SolidAt(-1, 40), 1);   // -1 truncates into column 0
  EXPECT_EQ(map->SolidAt(-32, 40), 0);  // column -1 is off the grid
  EXPECT_EQ(map->SolidAt(5, 2048), 0);  // below the map nothing is solid
  EXPECT_EQ(map->SolidAt(4096 * 32, 40), 0);

  map->groundLayer[CellIndex(3, 3)] = 2;
  map->blockLayer[CellIndex(3, 3)] = kBlockHiddenBonusBox;
  map->blockLayer[CellIndex(4, 3)] = kBlockHiddenBonusBox;
  map->blockLayer[CellIndex(5, 3)] = kBlockUsedBox;
  map->blockLayer[CellIndex(6, 3)] = kBlockHiddenCoinBox;
  EXPECT_EQ(map->SolidAt(3 * 32, 3 * 32), 2);
  EXPECT_EQ(map->SolidAt(4 * 32, 3 * 32), 0);
  EXPECT_EQ(map->SolidAt(5 * 32 + 31, 3 * 32 + 31), 11);
  EXPECT_EQ(map->SolidAt(6 * 32, 3 * 32), 0);
  EXPECT_EQ(map->BlockCodeAt(6 * 32, 3 * 32), kBlockHiddenCoinBox);
  EXPECT_EQ(map->BlockCodeAt(-40, 0), 0);
  map->decoLayer[CellIndex(7, 3)] = 5;
  EXPECT_EQ(map->DecoCodeAt(7 * 32 + 5, 3 * 32 + 5), 5);
  EXPECT_EQ(map->DecoCodeAt(7 * 32, 64 * 32), 0);

  // Huge values from a level add without overflow.
  map->groundLayer[CellIndex(8, 3)] = 0x7fffffff;
  map->blockLayer[CellIndex(8, 3)] = 1;
  EXPECT_NE(map->SolidAt(8 * 32, 3 * 32), 0);

  EXPECT_FALSE(map->OpenBelow(3 * 32, 2 * 32));    // ground below
  EXPECT_FALSE(map->OpenBelow(3 * 32, 3 * 32));    // the cell itself counts
  EXPECT_TRUE(map->OpenBelow(4 * 32, 3 * 32));     // only a hidden box below
  EXPECT_TRUE(map->OpenBelow(100 * 32, 63 * 32));  // the last row, empty
  EXPECT_FALSE(map->OpenBelow(-40, 0));            // no pits off the map

  Rect r = {0, 0, 10, 20};
  EXPECT_TRUE(PointInRect(r, 10, 20));
  EXPECT_FALSE(PointInRect(r, 11, 20));
  EXPECT_TRUE(RectsOverlap(r, Rect{9, 19, 5, 5}));
  EXPECT_FALSE(RectsOverlap(r, Rect{10, 0, 5, 5}));  // touching is not overlapping
}

class MapPassTest : public MapTest {
 protected:
  void SetUp() override {
    MapTest::SetUp();
    for (int code = 1; code <= 5; ++code) map->tileTextures[code] = &ground;
    map->decoTextures[3] = &spikes;
    map->blockTextures[kBlockCoinBox] = &box;
    for (Texture*& frame : map->coinTextures) frame = &coin;
  }
  // Quads queued for a texture in the current pass.
  int Quads(const Texture& texture) const {
    const cSpriteBatch& batch = cSpriteBatch::Instance();
    for (int i = 0; i < kBatchBuckets; ++i)
      if (batch.BucketTexture(i) == int32_t(texture.glName))
        return batch.Bucket(i).count / kVerticesPerQuad;
    return 0;
  }
  void PlacePlayer(float x, float y) {
    gPlayer->x = x;
    gPlayer->y = y;
    gPlayer->RefreshRect();
    // The camera on the player, straight from the float position (the player's own camera
    // follows its 16-bit box).
    gCamera[0] = gCamera[3] = x;
    gCamera[1] = gCamera[4] = y;
  }

  Texture ground{901, 32, 32, 32, 32}, spikes{902, 32, 32, 32, 32}, box{903, 32, 32, 32, 32},
      coin{904, 32, 32, 32, 32};
};

TEST_F(MapPassTest, ThePlayerRevealsCellsWithinFiftyPixelsOfItsCorner) {
  PlacePlayer(100, 100);
  map->UpdateAndDraw();
  for (int c = 0; c < 8; ++c)
    for (int r = 0; r < 8; ++r)
      EXPECT_EQ(map->revealLayer[CellIndex(c, r)], c >= 2 && c <= 4 && r >= 2 && r <= 4 ? 1 : 0)
          << c << "," << r;
}

TEST_F(MapPassTest, HiddenTrapsShowOnlyOnceRevealedAndBlocksNeedRevealOne) {
  PlacePlayer(1000, 1000);
  map->decoLayer[CellIndex(35, 30)] = 3;
  map->blockLayer[CellIndex(35, 30)] = kBlockCoinBox;
  map->revealLayer[CellIndex(35, 30)] = 0;
  map->blockLayer[CellIndex(36, 30)] = kBlockCoinBox;
  map->revealLayer[CellIndex(36, 30)] = 2;  // revealed for coins and ground, not for blocks
  map->groundLayer[CellIndex(36, 30)] = 1;
  map->UpdateAndDraw();
  EXPECT_EQ(Quads(spikes), 0);
  EXPECT_EQ(Quads(box), 0);
  EXPECT_EQ(Quads(ground), 1);

  cSpriteBatch::Instance().Begin(false);
  map->revealLayer[CellIndex(35, 30)] = 1;
  map->UpdateAndDraw();
  EXPECT_EQ(Quads(spikes), 1);
  EXPECT_EQ(Quads(box), 1);
}

TEST_F(MapPassTest, TheHundredthCoinGivesALife) {
  PlacePlayer(200, 200);
  gCoins = 98;
  map->coinLayer[CellIndex(6, 6)] = 1;
  map->coinLayer[CellIndex(7, 6)] = 1;
  map->revealLayer[CellIndex(6, 6)] = map->revealLayer[CellIndex(7, 6)] = 1;
  map->UpdateAndDraw();
  EXPECT_EQ(gCoins, 0);
  EXPECT_EQ(gLives, 6);
  EXPECT_EQ(gScore, 400);
  EXPECT_EQ(gSoundPlays[kSoundCoin], 2u);
  EXPECT_EQ(gSoundPlays[kSoundOneUp], 1u);
  EXPECT_EQ(map->coinLayer[CellIndex(6, 6)], 0);
  EXPECT_EQ(Quads(coin), 2);  // drawn in the pass that collects them

  // A coin the box only touches stays.
  map->coinLayer[CellIndex(8, 6)] = 1;  // x 256..288; the player's box ends at 232
  map->revealLayer[CellIndex(8, 6)] = 1;
  map->UpdateAndDraw();
  EXPECT_EQ(map->coinLayer[CellIndex(8, 6)], 1);
}

// The coins turn through their own pictures, so the walkways (whose codes share the numbers
// of the coin's frames) show a belt and not a coin, whatever frame the coins are at.
TEST_F(MapPassTest, WalkwaysDrawTheirBeltMovingWithTheClockAndCoinsKeepTheirFrames) {
  Texture coinFrames[kCoinFrames] = {
      {910, 32, 32, 32, 32}, {911, 32, 32, 32, 32}, {912, 32, 32, 32, 32}, {913, 32, 32, 32, 32}};
  for (int i = 0; i < kCoinFrames; ++i) map->coinTextures[i] = &coinFrames[i];
  Texture belts[2][kWalkwayFrames];
  for (int d = 0; d < 2; ++d)
    for (int i = 0; i < kWalkwayFrames; ++i) {
      belts[d][i] = Texture{uint32_t(920 + d * 10 + i), 32, 32, 32, 32};
      map->walkwayTextures[d][i] = &belts[d][i];
    }
  PlacePlayer(1000, 1000);
  const int cells[][2] = {{30, 33}, {31, 33}, {32, 33}};
  for (const auto& [c, r] : cells) map->revealLayer[CellIndex(c, r)] = 1;
  map->blockLayer[CellIndex(30, 33)] = kBlockWalkwayLeft;
  map->blockLayer[CellIndex(31, 33)] = kBlockWalkwayRight;
  map->coinLayer[CellIndex(32, 33)] = 1;

  const auto drawn = [&](int32_t coinFrame, uint32_t clock) {
    cSpriteBatch::Instance().Begin(false);
    map->coinFrame = float(coinFrame);
    gFrameTime = clock;
    map->UpdateAndDraw();
  };
  for (int frame = 0; frame < kWalkwayFrames; ++frame) {
    // Coin frames 32 and 33 are the walkways' codes: neither may draw on a walkway.
    drawn(30 + frame % 3, uint32_t(frame) * kWalkwayFrameMilliseconds);
    EXPECT_EQ(Quads(belts[0][frame]), 1) << frame;
    EXPECT_EQ(Quads(belts[1][frame]), 1) << frame;
    int coinQuads = 0;
    for (const Texture& t : coinFrames) coinQuads += Quads(t);
    EXPECT_EQ(coinQuads, 1) << frame;                     // the coin, and only the coin
    EXPECT_EQ(Quads(coinFrames[frame % 3]), 1) << frame;  // the pass turns it by 0.13 first
  }
  // The belt's cycle repeats, and holds still within a frame's time.
  drawn(30, kWalkwayFrames * kWalkwayFrameMilliseconds + kWalkwayFrameMilliseconds - 1);
  EXPECT_EQ(Quads(belts[1][0]), 1);
  // A map without belt frames falls back on the block table.
  map->walkwayTextures[1][0] = nullptr;
  map->blockTextures[kBlockWalkwayRight] = &box;
  drawn(30, 0);
  EXPECT_EQ(Quads(box), 1);
  gFrameTime = 0;
}

TEST_F(MapPassTest, CoinFramesTurnAndTheGroundShufflesOnceASecond) {
  PlacePlayer(2000, 300);
  ASSERT_FLOAT_EQ(map->coinFrame, 30.0f);
  map->UpdateAndDraw();
  EXPECT_NEAR(map->coinFrame, 30.13f, 1e-5);
  int frames = 1;
  while (map->coinFrame != 30.0f && frames < 100) {
    EXPECT_LT(map->coinFrame, 33.0f);
    map->UpdateAndDraw();
    ++frames;
  }
  EXPECT_GE(frames, 23);  // a whole turn of the coin
  EXPECT_LE(frames, 24);

  for (int c = 55; c < 70; ++c) {
    map->groundLayer[CellIndex(c, 12)] = 1;
    map->revealLayer[CellIndex(c, 12)] = 1;
  }
  gLastShuffle = 0;
  gFrameTime = 1000;  // not more than a second yet
  map->UpdateAndDraw();
  for (int c = 55; c < 70; ++c) EXPECT_EQ(map->groundLayer[CellIndex(c, 12)], 1);
  gFrameTime = 1001;
  map->UpdateAndDraw();
  EXPECT_EQ(gLastShuffle, 1001u);
  bool changed = false;
  for (int c = 55; c < 70; ++c) {
    const int32_t g = map->groundLayer[CellIndex(c, 12)];
    EXPECT_GE(g, 1);
    EXPECT_LE(g, 5);
    changed = changed || g != 1;
  }
  EXPECT_TRUE(changed);
}

TEST_F(MapPassTest, TheWindowStopsAtTheEdgesOfTheGrid) {
  for (int c : {0, 1, 4094, 4095})
    for (int r : {0, 62, 63}) {
      map->groundLayer[CellIndex(c, r)] = 1;
      map->revealLayer[CellIndex(c, r)] = 1;
    }
  PlacePlayer(0, 0);
  map->UpdateAndDraw();
  EXPECT_EQ(Quads(ground), 2);  // (0, 0) and (1, 0)

  cSpriteBatch::Instance().Begin(false);
  PlacePlayer(4095 * 32, 63 * 32);
  map->UpdateAndDraw();
  EXPECT_EQ(Quads(ground), 1);  // only (4094, 62): the last column and row are never drawn

  cSpriteBatch::Instance().Begin(false);
  gCamera[0] = 1e30f;  // a camera far away draws nothing and breaks nothing
  map->UpdateAndDraw();
  EXPECT_EQ(Quads(ground), 0);
}

}  // namespace
