// Crawlers and spikies: walls, pits, the stomp band, squashing, knock-offs from below, by the
// invincible player and off the bottom of the screen.
#include "units/enemy.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/units/unit_fixture.h"
#include "units/killer_blume.h"
#include "units/unit_table.h"
#include "world/score.h"

namespace {

constexpr float kOnGround = kTestGroundY - 32;  // y of a 32-high walker standing on the ground

using EnemyTest = UnitTest;

TEST_F(EnemyTest, WalkersTurnAtWallsAndPitsUnlessTheyWalkOffEdges) {
  // A wall cell at column 3 (x 96..127) just above the ground.
  map->groundLayer[CellIndex(3, kTestGroundRow - 1)] = 1;
  cCrawler* walker = Add<cCrawler>(160.0f, kOnGround);
  float leftmost = walker->x;
  for (int i = 0; i < 30; ++i) {
    Steps(1);
    leftmost = std::min(leftmost, walker->x);
  }
  EXPECT_FLOAT_EQ(leftmost, 128.0f);  // turned when the probe one pixel to its left hit x 127
  EXPECT_EQ(walker->speedX, 2);
  EXPECT_FLOAT_EQ(walker->y, kOnGround);

  // A pit at columns 20..22 with nothing solid down to the bottom row.
  for (int c = 20; c <= 22; ++c) map->groundLayer[CellIndex(c, kTestGroundRow)] = 0;
  cSpiky* careful = Add<cSpiky>(600.0f, kOnGround);
  careful->speedX = 2;
  float rightmost = careful->x;
  for (int i = 0; i < 40; ++i) {
    Steps(1);
    rightmost = std::max(rightmost, careful->x);
  }
  EXPECT_FLOAT_EQ(rightmost, 638.0f);  // the point one step ahead reached the pit's column
  EXPECT_LT(careful->speedX, 0);
  EXPECT_FLOAT_EQ(careful->y, kOnGround);

  cCrawler* reckless = Add<cCrawler>(600.0f, kOnGround);
  reckless->speedX = 2;
  reckless->walksOffEdges = true;
  Steps(40);
  EXPECT_GT(reckless->y, kTestGroundY);  // fell into the pit
  EXPECT_EQ(reckless->speedX, 2);
}

TEST_F(EnemyTest, FeetAtHalfHeightLandAndOnePixelLowerTouchesTheSide) {
  // The crawler's top is at 288: its landing band ends at 304.
  cCrawler* crawler = Add<cCrawler>(160.0f, kOnGround);
  PlacePlayer(140.0f, 304.0f - 32);  // right edge in the crawler's left half
  Steps(1);
  EXPECT_EQ(crawler->squashTimer, 1);
  EXPECT_FALSE(player->dying);  // a landing never also counts as a side contact
  EXPECT_FLOAT_EQ(player->speedY, kStompBounce);

  cCrawler* second = Add<cCrawler>(160.0f, kOnGround);
  PlacePlayer(140.0f, 305.0f - 32);
  crawler->dead = true;
  Steps(1);
  EXPECT_EQ(second->squashTimer, 0);
  EXPECT_TRUE(player->dying);
}

TEST_F(EnemyTest, AStompedCrawlerPaysAHundredBouncesAndIsGoneAfterItsSquashTime) {
  cCrawler* crawler = Add<cCrawler>(160.0f, kOnGround);
  PlacePlayer(160.0f, kOnGround - 30);  // falling onto it: feet 2 px into its top
  player->speedY = 6.0f;
  Steps(1);
  EXPECT_EQ(gScore, 100);
  EXPECT_FLOAT_EQ(player->speedY, -10.0f);
  EXPECT_EQ(Plays(kSoundStomp), 1u);
  const float squashedAt = crawler->x;

  PlacePlayer(kFarAway, kOnGround);
  Steps(198);
  EXPECT_FALSE(crawler->dead);
  EXPECT_FLOAT_EQ(crawler->x, squashedAt);  // lies still
  Steps(1);
  EXPECT_TRUE(crawler->dead);
  EXPECT_EQ(gUnits[0], crawler);  // keeps its slot until the level reset
  EXPECT_EQ(gScore, 100);
}

TEST_F(EnemyTest, SidesHarmBySizeAndSpikesHarmFromAbove) {
  cCrawler* crawler = Add<cCrawler>(160.0f, kOnGround);
  player->power = kPowerFire;
  PlacePlayer(185.0f, kOnGround);  // in the right half
  Steps(1);
  EXPECT_EQ(player->power, kPowerSmall);  // a big player only shrinks
  EXPECT_FALSE(player->dying);
  crawler->dead = true;

  cSpiky* spiky = Add<cSpiky>(400.0f, kOnGround);
  player->starTimer = 50;
  PlacePlayer(400.0f, kOnGround - 30);
  Steps(1);
  EXPECT_FALSE(player->dying);  // invincible
  player->starTimer = 0;
  Steps(1);
  EXPECT_TRUE(player->dying);  // landing on a spiky kills a small player
  EXPECT_EQ(spiky->squashTimer, 0);
  EXPECT_EQ(gScore, 0);
}

TEST_F(EnemyTest, KnockedOffEnemiesPayOnceFallThroughAndDieBelowTheView) {
  cCrawler* crawler = Add<cCrawler>(160.0f, kOnGround);
  cSpiky* spiky = Add<cSpiky>(300.0f, kOnGround);
  crawler->Bump();
  spiky->Bump();
  EXPECT_FLOAT_EQ(crawler->y, kOnGround - 32);
  EXPECT_EQ(gScore, 100 + 250);
  EXPECT_EQ(Plays(kSoundKick), 2u);

  int32_t lastY = crawler->rect.y;
  int steps = 0;
  while (!crawler->dead && steps < 500) {
    lastY = crawler->rect.y;
    Steps(1);
    ++steps;
  }
  ASSERT_TRUE(crawler->dead);
  // Dead in the step after its box's top went below the view's bottom (the fixture's camera:
  // 413), falling at most 8 px a step.
  EXPECT_GE(lastY, 413);
  EXPECT_LT(lastY, 413 + 8);
  EXPECT_EQ(crawler->speedX, -2);  // kept walking sideways while it fell
  EXPECT_EQ(gScore, 350);
}

TEST_F(EnemyTest, TheInvinciblePlayerKnocksEverythingItRunsThrough) {
  PlacePlayer(400.0f, kOnGround);
  cCrawler* row[3];
  for (int i = 0; i < 3; ++i) row[i] = Add<cCrawler>(405.0f + 10 * i, kOnGround + 4);
  cCrawler* squashed = Add<cCrawler>(410.0f, kOnGround + 4);
  squashed->squashTimer = 5;
  cCrawler* beside = Add<cCrawler>(432.0f, kOnGround + 4);  // only touches the player's edge
  cKillerBlume* plant = Add<cKillerBlume>(400.0f, kOnGround);
  player->starTimer = 100;
  plant->Update();  // its box, out of the pipe

  player->InvincibilityStep();
  for (cCrawler* c : row) EXPECT_TRUE(c->knockedOff);
  EXPECT_FALSE(squashed->knockedOff);
  EXPECT_FALSE(beside->knockedOff);
  EXPECT_TRUE(plant->dead);
  EXPECT_EQ(gScore, 300 + 250);
  EXPECT_EQ(player->starTimer, 99);
  EXPECT_EQ(player->blinkTimer, 99);

  // Without a star the same contact does nothing to the units.
  cCrawler* later = Add<cCrawler>(405.0f, kOnGround + 4);
  player->starTimer = 0;
  player->InvincibilityStep();
  EXPECT_FALSE(later->knockedOff);
}

TEST_F(EnemyTest, ABumpedBlockKnocksOffTheWalkersStandingOnIt) {
  // A coin box at (5, 8) with a crawler on it, a spiky on the next column's box, and a
  // squashed crawler on the struck box too.
  map->blockLayer[CellIndex(5, 8)] = kBlockCoinBox;
  map->blockLayer[CellIndex(7, 8)] = kBlockCoinBox;
  const float onBox = 8 * 32.0f - 32;
  cCrawler* onTop = Add<cCrawler>(165.0f, onBox);
  cCrawler* hanging = Add<cCrawler>(140.0f, onBox);  // its right edge is over column 5
  cSpiky* elsewhere = Add<cSpiky>(224.0f, onBox);
  cCrawler* squashed = Add<cCrawler>(170.0f, onBox);
  squashed->squashTimer = 3;
  map->HitBlock(5, 8, 0);
  EXPECT_TRUE(onTop->knockedOff);
  EXPECT_TRUE(hanging->knockedOff);
  EXPECT_FALSE(elsewhere->knockedOff);
  EXPECT_FALSE(squashed->knockedOff);  // nothing left to knock: no second payment
  EXPECT_EQ(gScore, 200);
  EXPECT_EQ(gCoins, 1);
}

}  // namespace
