// The two fireballs: throws, the flight's hop, walls, the range measured against the screen
// width, and the sweeps that knock off what they touch.
#include <gtest/gtest.h>

#include <algorithm>

#include "player/actions.h"
#include "player/fireballs.h"
#include "tests/units/unit_fixture.h"
#include "units/enemy.h"
#include "units/killer_blume.h"
#include "units/turtle.h"
#include "world/score.h"

namespace {

using FireballTest = UnitTest;

TEST_F(FireballTest, AThrowTakesTheFirstIdleFireballAndAThirdDoesNothing) {
  ThrowFireball(100, 200, 3);
  EXPECT_TRUE(gFireballs[0]->active);
  EXPECT_FLOAT_EQ(gFireballs[0]->speedX, 9.0f);
  EXPECT_FLOAT_EQ(gFireballs[0]->speedY, 3.0f);
  EXPECT_FLOAT_EQ(gFireballs[0]->x, 100.0f);
  ThrowFireball(100, 200, -3);
  EXPECT_TRUE(gFireballs[1]->active);
  EXPECT_FLOAT_EQ(gFireballs[1]->speedX, -9.0f);
  EXPECT_EQ(Plays(kSoundFireball), 2u);
  ThrowFireball(50, 50, 3);
  EXPECT_FLOAT_EQ(gFireballs[0]->x, 100.0f);
  EXPECT_EQ(Plays(kSoundFireball), 2u);
  EXPECT_FALSE(gFireballs[0]->Launch(1, 1, 3));

  // The fire-powered player throws from 35 px below its top, the way it faces.
  gFireballs[0]->active = gFireballs[1]->active = false;
  player->power = kPowerFire;
  player->facingRight = true;
  PlacePlayer(120.0f, kTestGroundY - 96);
  gActions[player->keyFire] = true;
  player->Update();
  EXPECT_TRUE(gFireballs[0]->active);
  EXPECT_FLOAT_EQ(gFireballs[0]->y, kTestGroundY - 96 + 35);
  EXPECT_FLOAT_EQ(gFireballs[0]->speedX, 9.0f);
}

TEST_F(FireballTest, AFireballHopsAlongTheGroundAndGoesOutAtWallsAndRangeEnds) {
  cFireball& ball = *gFireballs[0];
  ASSERT_TRUE(ball.Launch(40, int(kTestGroundY) - 60, 3));
  float lowest = 0;
  bool hopped = false;
  for (int i = 0; i < 30 && ball.active; ++i) {
    const bool floorBelow = map->SolidAt(int(ball.x) + 10, int(ball.y) + 20) != 0;
    ball.Update();
    lowest = std::max(lowest, ball.y);
    if (floorBelow) {
      EXPECT_FLOAT_EQ(ball.speedY, -4.5f);
      hopped = true;
    }
  }
  EXPECT_TRUE(hopped);
  EXPECT_LT(lowest, kTestGroundY);  // never sinks through the ground
  EXPECT_TRUE(ball.active);
  EXPECT_EQ(ball.rect.w, 16);

  // Out past the screen width plus 50 in world x, and below -30.
  ball.active = false;
  ASSERT_TRUE(ball.Launch(362, 100, 3));  // its first step reaches 371
  ball.Update();
  EXPECT_FALSE(ball.active);
  ASSERT_TRUE(ball.Launch(361, 100, 3));
  ball.Update();
  EXPECT_TRUE(ball.active);  // at 370 exactly it flies on
  ball.active = false;
  ASSERT_TRUE(ball.Launch(-22, 100, -3));
  ball.Update();
  EXPECT_FALSE(ball.active);

  // A wall cell at its height puts it out; so does starting inside the ground, which is what
  // a throw from a 32-high player standing on the ground does.
  map->groundLayer[CellIndex(6, 5)] = 1;
  ASSERT_TRUE(ball.Launch(180, 165, 3));
  ball.Update();
  EXPECT_FALSE(ball.active);
  ASSERT_TRUE(ball.Launch(100, int(kTestGroundY) - 32 + 35, 3));
  ball.Update();
  EXPECT_FALSE(ball.active);
}

TEST_F(FireballTest, AFireballKnocksEverythingItTouchesInItsLastStep) {
  const float rowY = 100.0f;
  cCrawler* first = Add<cCrawler>(110.0f, rowY + 4);
  cCrawler* second = Add<cCrawler>(115.0f, rowY + 6);
  cCrawler* squashed = Add<cCrawler>(112.0f, rowY + 6);
  squashed->squashTimer = 3;
  cTurtle* turtle = Add<cTurtle>(118.0f, rowY + 8);
  cKillerBlume* plant = Add<cKillerBlume>(100.0f, rowY);
  plant->rect = {112, int16_t(rowY), 32, 32};
  cFireball& ball = *gFireballs[0];
  ASSERT_TRUE(ball.Launch(100, int(rowY), 3));
  ball.Update();
  EXPECT_TRUE(first->knockedOff);
  EXPECT_TRUE(second->knockedOff);
  EXPECT_FALSE(squashed->knockedOff);  // goes through a stomped crawler
  EXPECT_TRUE(turtle->knockedOff);
  EXPECT_TRUE(plant->dead);
  EXPECT_FALSE(ball.active);
  EXPECT_EQ(gScore, 100 + 100 + 200 + 250);

  // Nothing left to strike: the next fireball flies through.
  cFireball& next = *gFireballs[1];
  ASSERT_TRUE(next.Launch(100, int(rowY), 3));
  next.Update();
  EXPECT_TRUE(next.active);
  EXPECT_EQ(gScore, 650);
}

}  // namespace
