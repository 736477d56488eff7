// The two fireballs: throws, the flight's hop, walls, the range measured against the camera's
// view, and the sweeps that knock off what they touch.
#include <gtest/gtest.h>

#include <algorithm>

#include "player/actions.h"
#include "player/fireballs.h"
#include "tests/units/unit_fixture.h"
#include "units/enemy.h"
#include "units/killer_blume.h"
#include "units/turtle.h"
#include "world/camera.h"
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

  // The fire-powered player throws from 16 px below its top, the way it faces.
  gFireballs[0]->active = gFireballs[1]->active = false;
  player->power = kPowerFire;
  player->facingRight = true;
  PlacePlayer(120.0f, kTestGroundY - 96);
  gActions[player->keyFire] = true;
  player->Update();
  EXPECT_TRUE(gFireballs[0]->active);
  EXPECT_FLOAT_EQ(gFireballs[0]->y, kTestGroundY - 96 + 16);
  EXPECT_FLOAT_EQ(gFireballs[0]->speedX, 9.0f);
}

// A throw from a player standing on the ground starts above the floor, so it flies and hops.
TEST_F(FireballTest, AThrowFromTheGroundHopsAlongTheFloor) {
  player->power = kPowerFire;
  player->facingRight = true;
  PlacePlayer(120.0f, kTestGroundY - kPlayerSize);
  gActions[player->keyFire] = true;
  player->Update();
  ASSERT_TRUE(player->onGround);
  cFireball& ball = *gFireballs[0];
  ASSERT_TRUE(ball.active);
  float highest = ball.y, lowest = ball.y;
  for (int i = 0; i < 20; ++i) {
    ball.Update();
    highest = std::min(highest, ball.y);
    lowest = std::max(lowest, ball.y);
  }
  EXPECT_TRUE(ball.active);
  EXPECT_FLOAT_EQ(ball.x, 120.0f + 20 * 9.0f);
  EXPECT_LE(lowest + 16, kTestGroundY + 4);    // at most a probe's depth into the floor
  EXPECT_LT(highest, kTestGroundY - 16 - 16);  // a hop of more than its own height
}

TEST_F(FireballTest, AFireballGoesOutAtWallsAndRangeEnds) {
  cFireball& ball = *gFireballs[0];
  // Out 50 px past the view's right edge and 30 px past its left; the fixture's camera sees
  // 259.8 px either side of x 160 (at the level's left edge, the range reaches past the world's
  // first column), a camera 5000 px further on 5000 px further on, and after the camera
  // scrolls back the range is where the view is again.
  for (const float cameraShift : {0.0f, 5000.0f, 0.0f}) {
    SCOPED_TRACE(cameraShift);
    gCamera[0] = gCamera[3] = 160.0f + cameraShift;
    const int shift = int(cameraShift);
    ASSERT_TRUE(ball.Launch(shift + 462, 100, 3));  // its first step reaches 471
    ball.Update();
    EXPECT_FALSE(ball.active);
    ASSERT_TRUE(ball.Launch(shift + 460, 100, 3));
    ball.Update();
    EXPECT_TRUE(ball.active);  // at 469 it flies on
    ball.active = false;
    ASSERT_TRUE(ball.Launch(shift - 122, 100, -3));  // reaches -131
    ball.Update();
    EXPECT_FALSE(ball.active);
    ASSERT_TRUE(ball.Launch(shift - 120, 100, -3));  // reaches -129
    ball.Update();
    EXPECT_TRUE(ball.active);
    ball.active = false;
  }
  gCamera[0] = gCamera[3] = 160.0f;

  // A wall cell at its height puts it out; so does starting inside the ground.
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
