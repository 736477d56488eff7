// The player's step on a small test map: jump heights, falling, landing, coasting, walls,
// conveyors, ceilings, the clamps, trap tiles, power and death.
#include "player/player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>

#include "player/actions.h"
#include "world/blocks.h"
#include "world/camera.h"
#include "world/map.h"
#include "world/sounds.h"

namespace {

constexpr int kGroundRow = 10;  // ground top at y 320

class PlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gMap = map.get();
    for (int c = 0; c < 400; ++c) Ground(c, kGroundRow);
    const int32_t* k = kGamePlayerLayout;
    gPlayer = new cPlayer(k[0], k[1], k[2], k[3], k[4], k[5], k[6]);
    player = gPlayer;
    player->blinkTimer = 0;
    for (unsigned& plays : gSoundPlays) plays = 0;
    gBlockHitCooldown = 0;
    ClearActions(kActionCount);
  }
  void TearDown() override {
    delete gPlayer;
    gPlayer = nullptr;
    gMap = nullptr;
    ClearActions(kActionCount);
  }

  void Ground(int column, int row, int32_t value = 1) {
    map->groundLayer[CellIndex(column, row)] = value;
  }
  // A 32-high player standing on the ground at column `column`.
  void Stand(float x, int32_t height = 32) {
    player->height = player->width = height;
    player->x = x;
    player->y = float(kGroundRow * 32 - height);
    player->speedX = player->speedY = 0;
    Steps(1);
  }
  void Steps(int count) {
    for (int i = 0; i < count; ++i) player->Update();
  }
  // Holds the actions for `count` steps and returns the highest point (smallest y) reached.
  float Hold(std::initializer_list<int> actions, int count) {
    float top = player->y;
    for (int i = 0; i < count; ++i) {
      ClearActions(kActionCount);
      for (int a : actions) gActions[a] = true;
      player->Update();
      top = std::min(top, player->y);
    }
    ClearActions(kActionCount);
    return top;
  }

  std::unique_ptr<cMap> map = std::make_unique<cMap>();
  cPlayer* player = nullptr;
};

TEST_F(PlayerTest, JumpHeightsGrowWithTheRunningSpeed) {
  Stand(100);
  const float ground = player->y;
  EXPECT_FLOAT_EQ(ground - Hold({kActionJump}, 60), 156.0f);
  EXPECT_EQ(player->jumpLength, 12);
  EXPECT_EQ(gSoundPlays[kSoundJump], 1u);
  EXPECT_FLOAT_EQ(player->y, ground);  // landed again
  EXPECT_EQ(player->jumpTimer, kJumpReady);

  // Walking at top speed 4: 17 push steps.
  Hold({kActionRight}, 40);
  ASSERT_FLOAT_EQ(player->speedX, 4.0f);
  EXPECT_FLOAT_EQ(ground - Hold({kActionRight, kActionJump}, 70), 196.0f);
  EXPECT_EQ(player->jumpLength, 17);

  // Running with the fire action at 8: 23 push steps.
  Hold({kActionRight, kActionFire}, 30);
  ASSERT_FLOAT_EQ(player->speedX, 8.0f);
  EXPECT_FLOAT_EQ(ground - Hold({kActionRight, kActionFire, kActionJump}, 80), 244.0f);
  EXPECT_EQ(player->jumpLength, 23);
}

TEST_F(PlayerTest, ReleasingJumpCutsThePushAndCeilingsStopIt) {
  Stand(100);
  const float ground = player->y;
  const float pushTop = Hold({kActionJump}, 4);
  const float top = std::min(pushTop, Hold({}, 40));
  // Start, three moves of 8, then the rise runs out: 24 + 8 + 7.5 + ... + 0.5.
  EXPECT_FLOAT_EQ(ground - top, 24.0f + 68.0f);

  // A ceiling two cells above the head cuts the push.
  map->groundLayer[CellIndex(3, kGroundRow - 3)] = 1;
  map->groundLayer[CellIndex(4, kGroundRow - 3)] = 1;
  Stand(100);
  const float cut = Hold({kActionJump}, 60);
  // There is no swept collision: the head pokes one move into the ceiling, then stops.
  EXPECT_FLOAT_EQ(cut, float((kGroundRow - 2) * 32 - 8));
  EXPECT_FLOAT_EQ(player->y, ground);
  // Held on after landing: no new jump until the action is released.
  EXPECT_FLOAT_EQ(Hold({kActionJump}, 10), ground);
}

TEST_F(PlayerTest, FallingSpeedIsCappedAndLandingSnapsToTheCell) {
  player->height = player->width = 32;
  player->x = 100;
  player->y = 40;
  player->speedY = 0;
  float fastest = 0;
  for (int i = 0; i < 80 && !player->onGround; ++i) {
    player->Update();
    fastest = std::max(fastest, player->speedY);
  }
  EXPECT_FLOAT_EQ(fastest, 8.0f);
  Steps(1);
  EXPECT_FLOAT_EQ(player->y, float(kGroundRow * 32 - 32));
  EXPECT_FLOAT_EQ(player->speedY, 0.0f);

  // A 30-high player, before its first power change, stands 2 px lower.
  player->height = player->width = 30;
  player->y = 100;
  Steps(80);
  EXPECT_FLOAT_EQ(player->y, float(kGroundRow * 32 - 30));
}

TEST_F(PlayerTest, CoastingTakesEightyStepsAndLeftWinsOverRight) {
  Stand(100);
  Hold({kActionRight}, 40);
  ASSERT_FLOAT_EQ(player->speedX, 4.0f);
  Hold({}, 79);
  EXPECT_GT(player->speedX, 0.04f);
  Hold({}, 1);
  EXPECT_LE(player->speedX, 0.04f);

  Stand(300);
  Hold({kActionLeft, kActionRight}, 1);
  EXPECT_FLOAT_EQ(player->speedX, -0.2f);
  EXPECT_FALSE(player->facingRight);
}

TEST_F(PlayerTest, WallsStopOnlyTheSideTheSpeedPointsTo) {
  Ground(10, kGroundRow - 1);  // a wall cell at x 320..352
  Stand(250);
  Hold({kActionRight}, 60);
  EXPECT_FLOAT_EQ(player->speedX, 0.0f);
  EXPECT_LE(player->x + 32, 320.0f);
  EXPECT_GT(player->x + 32, 310.0f);
  const float stopped = player->x;
  Hold({kActionLeft}, 5);  // the wall on the right does not hold back a move to the left
  EXPECT_LT(player->x, stopped);
}

// Level values reach the probes' sums: a block code out of the table is no wall, and ground
// values at the top of the int range still stop the player, their sum never wrapping to 0.
TEST_F(PlayerTest, HugeLevelValuesCollideWithoutWrapping) {
  for (int row = kGroundRow - 3; row < kGroundRow; ++row)
    map->blockLayer[CellIndex(10, row)] = INT_MAX;
  Stand(250);
  Hold({kActionRight}, 60);
  EXPECT_GT(player->x, 352.0f);  // through the unknown blocks
  for (int row = kGroundRow - 3; row < kGroundRow; ++row) Ground(20, row, INT_MAX);
  Stand(550);
  Hold({kActionRight}, 60);
  EXPECT_LE(player->x + 32, 640.0f);
  EXPECT_GT(player->x + 32, 630.0f);
  Ground(30, kGroundRow, INT_MAX);
  Ground(31, kGroundRow, INT_MAX);
  Stand(30 * 32 + 10);
  Steps(20);
  EXPECT_TRUE(player->onGround);
}

TEST_F(PlayerTest, ConveyorsCarryThePlayer) {
  for (const auto& [ground, carried] : {std::pair{33, 30.0f}, std::pair{32, -30.0f}}) {
    for (int c = 2; c < 8; ++c) Ground(c, kGroundRow, ground);
    Stand(100);
    const float x = player->x;
    Steps(10);
    EXPECT_NEAR(player->x, x + carried, 1e-3) << ground;
  }
}

TEST_F(PlayerTest, ClampsKeepThePlayerInsideTheTopLeftCorner) {
  player->x = 10;
  player->y = 5;
  Steps(1);
  EXPECT_GE(player->x, 32.0f);
  EXPECT_GE(player->y, 32.0f);
  player->x = 200000;
  Steps(1);
  EXPECT_LE(player->x, 131040.0f + 8);
}

TEST_F(PlayerTest, FallingOutOfTheLevelStartsOneDeath) {
  player->x = 100;
  player->y = 2017;
  Steps(1);
  EXPECT_TRUE(player->dying);
  EXPECT_EQ(player->deathTimer, 63);  // the first dying step runs in the same step
  Steps(200);
  EXPECT_FLOAT_EQ(player->y, 2112.0f);  // sinks, then stays
  EXPECT_EQ(gSoundPlays[kSoundDie], 1u);
  const float cameraX = gCamera[0];
  player->x += 500;
  Steps(1);
  EXPECT_FLOAT_EQ(gCamera[0], cameraX);  // the camera stays while dying
}

TEST_F(PlayerTest, TrapTilesActOnlyWhenComingDown) {
  map->decoLayer[CellIndex(4, kGroundRow)] = kDecoDeadlyA;
  Stand(128);  // standing still on it does nothing
  Steps(5);
  EXPECT_FALSE(player->dying);
  player->y -= 40;  // dropped onto it
  Steps(20);
  EXPECT_TRUE(player->dying);

  // A jump pad throws a falling player 915 px up (low in the map, clear of the ceiling).
  player->dying = false;
  constexpr int kPadRow = 50;
  Ground(4, kPadRow);
  map->decoLayer[CellIndex(4, kPadRow)] = kDecoJumpPad;
  player->x = 128;
  player->y = float(kPadRow * 32 - 32 - 1);
  player->speedY = 0.5f;
  const float start = player->y;
  float top = start;
  for (int i = 0; i < 80; ++i) {
    player->Update();
    top = std::min(top, player->y);
  }
  EXPECT_NEAR(start - top, 915.0f, 1.0f);
}

TEST_F(PlayerTest, PowerChangesAreIgnoredWhileInvincible) {
  player->SetPower(kPowerBig);
  EXPECT_EQ(player->power, kPowerBig);
  EXPECT_EQ(player->width, 32);
  EXPECT_EQ(player->blinkTimer, 200);
  EXPECT_EQ(gSoundPlays[kSoundGrow], 1u);
  player->SetPower(kPowerSmall);
  EXPECT_EQ(player->blinkTimer, 400);
  EXPECT_EQ(gSoundPlays[kSoundShrink], 1u);
  player->starTimer = 10;
  player->SetPower(kPowerFire);
  EXPECT_EQ(player->power, kPowerSmall);
  EXPECT_EQ(gSoundPlays[kSoundGrow], 1u);
  player->StartDeath(0);
  player->StartDeath(1);
  EXPECT_EQ(gSoundPlays[kSoundDie], 1u);
}

}  // namespace
