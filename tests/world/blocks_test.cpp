// Block strikes by code, head bumps, the bump animation and the bonus items they release.
#include "world/blocks.h"

#include <gtest/gtest.h>

#include <memory>

#include "player/player.h"
#include "world/bonus.h"
#include "world/effects.h"
#include "world/map.h"
#include "world/score.h"
#include "world/sounds.h"

namespace {

constexpr int kRow = 8;  // the struck blocks sit here, ground below on row 12

class BlocksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gMap = map.get();
    for (int c = 0; c < 100; ++c) map->groundLayer[CellIndex(c, 12)] = 1;
    gPlayer = new cPlayer(3, 1, 2, 4, 5, 0, 8);
    gPlayer->x = gPlayer->y = 1000;
    gPlayer->RefreshRect();
    for (cBonus*& bonus : gBonuses) bonus = new cBonus;
    gDebris = new cDebris;
    gPopups = new cPopups;
    gBump = BumpAnimation{};
    gBlockHitCooldown = 0;
    gScore = gCoins = 0;
    gLives = 5;
    for (unsigned& plays : gSoundPlays) plays = 0;
  }
  void TearDown() override {
    for (cBonus*& bonus : gBonuses) {
      delete bonus;
      bonus = nullptr;
    }
    delete gDebris;
    gDebris = nullptr;
    delete gPopups;
    gPopups = nullptr;
    delete gPlayer;
    gPlayer = nullptr;
    gMap = nullptr;
    gScore = gCoins = gLives = 0;
  }
  int32_t& Block(int column) { return map->blockLayer[CellIndex(column, kRow)]; }
  int ActiveBonuses(int kind) {
    int count = 0;
    for (cBonus* bonus : gBonuses) count += bonus->active && bonus->kind == kind;
    return count;
  }
  void FinishBump() {
    for (int i = 0; i < 20; ++i) DrawBump();
  }

  std::unique_ptr<cMap> map = std::make_unique<cMap>();
};

TEST_F(BlocksTest, BricksBounceUnderASmallPlayerAndBreakUnderABigOne) {
  Block(3) = kBlockBrick;
  map->HitBlock(3, kRow, 0);
  EXPECT_EQ(Block(3), kBlockBumping);  // bouncing, back after the animation
  EXPECT_EQ(gScore, 0);
  FinishBump();
  EXPECT_EQ(Block(3), kBlockBrick);

  gPlayer->power = kPowerBig;
  map->HitBlock(3, kRow, 0);
  EXPECT_EQ(Block(3), kBlockNone);
  EXPECT_EQ(gScore, 50);
  EXPECT_EQ(gSoundPlays[kSoundCrack], 1u);
  // A shell breaks bricks even for a small player; stones break like bricks.
  gPlayer->power = kPowerSmall;
  map->shellHit = 1;
  Block(4) = 14;
  map->HitBlock(4, kRow, 0);
  EXPECT_EQ(Block(4), kBlockNone);
  EXPECT_EQ(gScore, 100);
  map->shellHit = 0;
}

// A pipe is scenery the player stands on: solid from every side, and no head, shell or
// trigger strike moves, breaks or empties it.
TEST_F(BlocksTest, PipesAreSolidAndNothingStrikesThemAway) {
  const std::pair<int32_t, int32_t> pipes[] = {
      {PipeTop(kPipeGreen), PipeBody(kPipeGreen)},
      {PipeTop(kPipeOrange), PipeBody(kPipeOrange)},
      {PipeTop(kPipeBlue), PipeBody(kPipeBlue)},
      {kBlockPipeSideMouth, kBlockPipeSideBody},
  };
  for (const auto& [top, body] : pipes) {
    Block(10) = top;
    map->blockLayer[CellIndex(10, kRow + 1)] = body;
    EXPECT_NE(map->SolidAt(10 * 32 + 5, kRow * 32), 0);
    EXPECT_NE(map->SolidAt(10 * 32 + 5, (kRow + 1) * 32), 0);
    EXPECT_FALSE(map->OpenBelow(10 * 32, kRow * 32));
    for (int power : {kPowerSmall, kPowerBig}) {
      gPlayer->power = power;
      for (int shell : {0, 1}) {
        map->shellHit = shell;
        map->HeadBump(10 * 32 + 5, (kRow + 1) * 32 + 2, 10 * 32 + 27, (kRow + 1) * 32 + 2);
        map->HitBlock(10, kRow, 0);
        map->HitBlock(10, kRow, top);
        EXPECT_EQ(Block(10), top) << top;
        EXPECT_EQ(map->blockLayer[CellIndex(10, kRow + 1)], body) << top;
      }
    }
    map->shellHit = 0;
    EXPECT_EQ(gBump.frame, BumpAnimation{}.frame) << "a pipe bounced";
  }
  EXPECT_EQ(gBlockHitCooldown, 0);
  EXPECT_EQ(gScore, 0);
  EXPECT_EQ(gCoins, 0);
  EXPECT_EQ(gSoundPlays[kSoundCrack] + gSoundPlays[kSoundTock] + gSoundPlays[kSoundCoin], 0u);
  EXPECT_EQ(ActiveBonuses(0) + ActiveBonuses(1), 0);
}

TEST_F(BlocksTest, BoxesGiveCoinsOrTheirItemsAndBecomeUsed) {
  Block(2) = kBlockCoinBox;
  map->HitBlock(2, kRow, 0);
  EXPECT_EQ(gCoins, 1);
  EXPECT_EQ(gScore, 0);  // coin boxes pay no score
  EXPECT_EQ(gBump.code, kBlockUsedBox);
  FinishBump();
  EXPECT_EQ(Block(2), kBlockUsedBox);

  // The growth box gives what the player's power calls for.
  Block(5) = 4;
  map->HitBlock(5, kRow, 0);
  EXPECT_EQ(ActiveBonuses(kBonusGrow), 1);
  EXPECT_EQ(gBlockHitCooldown, kBoxCooldown);
  FinishBump();
  gPlayer->power = kPowerBig;
  Block(6) = 4;
  map->HitBlock(6, kRow, 0);
  EXPECT_EQ(ActiveBonuses(kBonusFire), 1);
  FinishBump();
  EXPECT_EQ(gSoundPlays[kSoundTock], 2u);
  EXPECT_EQ(gSoundPlays[kSoundOutput], 2u);

  // Box 6 vanishes without a bump; its item falls through everything.
  Block(7) = 6;
  map->HitBlock(7, kRow, 0);
  EXPECT_EQ(Block(7), kBlockNone);
  ASSERT_EQ(ActiveBonuses(kBonusFalling), 1);
  cBonus* falling = nullptr;
  for (cBonus* bonus : gBonuses)
    if (bonus->active && bonus->kind == kBonusFalling) falling = bonus;
  const float start = falling->y;
  falling->Update();
  EXPECT_FLOAT_EQ(falling->y, start + 6.0f);  // moves twice a step at 3 px
  for (int i = 0; i < 400 && falling->active; ++i) falling->Update();
  EXPECT_FALSE(falling->active);  // fell through the ground and out of the map

  // A used box only tocks.
  map->HitBlock(2, kRow, 0);
  EXPECT_EQ(gSoundPlays[kSoundTock], 4u);
  EXPECT_EQ(gCoins, 1);
}

TEST_F(BlocksTest, BothHeadCornersInOneBoxGiveOneCoinAndHiddenBoxesAreFoundFromBelow) {
  Block(3) = kBlockCoinBox;
  gPlayer->jumpTimer = 5;
  map->HeadBump(3 * 32 + 5, kRow * 32 + 31, 3 * 32 + 25, kRow * 32 + 31);
  EXPECT_EQ(gCoins, 1);
  EXPECT_EQ(gPlayer->jumpTimer, kJumpReady);  // the push ends

  FinishBump();
  Block(10) = kBlockHiddenCoinBox;
  EXPECT_EQ(map->SolidAt(10 * 32, kRow * 32), 0);
  map->HeadBump(10 * 32 + 5, kRow * 32 + 31, 10 * 32 + 25, kRow * 32 + 31);
  EXPECT_EQ(gCoins, 2);
  FinishBump();
  EXPECT_EQ(Block(10), kBlockUsedBox);
  EXPECT_NE(map->SolidAt(10 * 32, kRow * 32), 0);

  // With another bump running, the box stays used and a second corner answers as used.
  Block(20) = kBlockCoinBox;
  Block(22) = kBlockCoinBox;
  map->HitBlock(22, kRow, 0);
  map->HeadBump(20 * 32 + 5, kRow * 32, 20 * 32 + 25, kRow * 32);
  EXPECT_EQ(Block(20), kBlockUsedBox);
  EXPECT_EQ(gCoins, 4);
  EXPECT_EQ(gBlockHitCooldown, kBoxCooldown);
}

TEST_F(BlocksTest, TheBumpRisesAndFallsSixteenFramesAndKicksItemsOnTheBlock) {
  Block(3) = kBlockCoinBox;
  cBonus* item = gBonuses[0];
  item->active = true;
  item->riseCounter = kRiseSteps;
  item->x = 3 * 32;
  item->y = (kRow - 1) * 32;
  item->speedX = 1.5f;
  map->HitBlock(3, kRow, 0);
  EXPECT_FLOAT_EQ(item->speedY, -3.0f);
  EXPECT_FLOAT_EQ(item->speedX, -1.5f);
  int lowest = gBump.y;
  for (int i = 0; i < 16; ++i) {
    DrawBump();
    lowest = std::min(lowest, gBump.y);
  }
  EXPECT_EQ(lowest, kRow * 32 - 14);
  EXPECT_EQ(gBump.y, kRow * 32 + 4);  // seven frames up, nine down
  EXPECT_EQ(Block(3), kBlockUsedBox);
}

TEST_F(BlocksTest, ItemsRiseForThirtyTwoStepsThenActOnThePlayer) {
  gBonuses[0]->Spawn(5, kRow, kBonusGrow);
  gPlayer->x = 5 * 32;
  gPlayer->y = kRow * 32 - 20;
  gPlayer->RefreshRect();
  for (int i = 0; i < kRiseSteps; ++i) gBonuses[0]->Update();
  EXPECT_TRUE(gBonuses[0]->active);  // ignores the player while it emerges
  EXPECT_FLOAT_EQ(gBonuses[0]->y, float(kRow * 32 - 5 - kRiseSteps));
  gBonuses[0]->Update();
  EXPECT_FALSE(gBonuses[0]->active);
  EXPECT_EQ(gPlayer->power, kPowerBig);
  EXPECT_STREQ(gPopups->popups[0].text, "FATTER");

  auto touch = [&](int kind) {
    cBonus* bonus = gBonuses[1];
    bonus->Spawn(5, kRow, kind);
    bonus->riseCounter = kRiseSteps;
    bonus->x = gPlayer->x;
    bonus->y = gPlayer->y;
    bonus->Update();
    return bonus->active;
  };
  EXPECT_FALSE(touch(kBonusFire));
  EXPECT_EQ(gPlayer->power, kPowerFire);
  EXPECT_FALSE(touch(kBonusFire));  // already on fire: 1000 points
  EXPECT_EQ(gScore, 1000);
  EXPECT_FALSE(touch(kBonusStar));
  EXPECT_EQ(gPlayer->starTimer, 500);
  EXPECT_FALSE(touch(kBonusLife));
  EXPECT_EQ(gLives, 6);
  EXPECT_STREQ(gPopups->popups[2].text, "1UP");
  EXPECT_TRUE(touch(kBonusPoison));  // kills, and stays in play
  EXPECT_TRUE(gPlayer->dying);
}

TEST_F(BlocksTest, ACrackedPlatformEmptiesEveryCrackedCellAroundThePlayer) {
  for (int c = 0; c < 40; ++c) map->blockLayer[CellIndex(c, 12)] = kBlockCracked;
  map->blockLayer[CellIndex(12, 12)] = kBlockBrick;
  gPlayer->x = 10 * 32;
  gPlayer->y = 11 * 32;  // standing on row 12, centre cell (10, 11)
  gPlayer->height = gPlayer->width = 32;
  gPlayer->Update();
  for (int c = 0; c < 40; ++c) {
    const int32_t block = map->blockLayer[CellIndex(c, 12)];
    if (c == 12)
      EXPECT_EQ(block, kBlockBrick);
    else if (c <= 19)
      EXPECT_EQ(block, kBlockNone) << c;  // columns 0..19 around column 10
    else
      EXPECT_EQ(block, kBlockCracked) << c;
  }
  EXPECT_EQ(map->groundLayer[CellIndex(5, 12)], 0);
}

}  // namespace
