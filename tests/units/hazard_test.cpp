// Hazards and boards: fire chains (centres, spacing, ride, draw reach), the cannon and its
// bullet, the hammer's travel, the killer plant's cycle and zone, and the board's swing and
// carry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>

#include "engine/random.h"
#include "engine/sprite_batch.h"
#include "tests/units/unit_fixture.h"
#include "units/brett.h"
#include "units/cannon.h"
#include "units/fire_circle.h"
#include "units/hammer.h"
#include "units/killer_blume.h"
#include "units/unit_table.h"
#include "world/camera.h"
#include "world/score.h"

namespace {

using HazardTest = UnitTest;

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

template <class T>
T* Spawned(int column, int row, int code) {
  SpawnUnit(column, row, code);
  for (cBaseUnit* unit : gUnits)
    if (T* found = dynamic_cast<T*>(unit)) return found;
  return nullptr;
}

TEST_F(HazardTest, AFireCircleTurnsFiveBallsAboutItsCentreAndBurnsWhatTheyTouch) {
  cFireCircle* circle = Spawned<cFireCircle>(10, 5, 4);
  ASSERT_NE(circle, nullptr);
  EXPECT_FLOAT_EQ(circle->centerX, 328.0f);
  EXPECT_FLOAT_EQ(circle->centerY, 168.0f);
  circle->angle = 90.0f;  // pointing right
  Steps(1);
  EXPECT_NEAR(std::hypot(circle->stepX * 4, circle->stepY * 4), 80.0f, 0.001);
  EXPECT_EQ(circle->ballRect.x, 328 + 80);  // the last ball tested
  EXPECT_EQ(circle->ballRect.w, 16);
  EXPECT_FLOAT_EQ(circle->angle, 92.0f);
  EXPECT_EQ(circle->spin, 2);

  // The outer ball, pointing down now, reaches the player below the centre.
  circle->angle = 0.0f;
  player->power = kPowerBig;
  PlacePlayer(320.0f, 168.0f + 85);  // only the fifth ball
  Steps(1);
  EXPECT_EQ(player->power, kPowerSmall);
  EXPECT_FALSE(player->dying);
  player->dying = true;
  player->power = kPowerBig;
  circle->angle = 0.0f;
  Steps(1);
  EXPECT_EQ(player->power, kPowerBig);  // no contact while the player is dying

  // Drawn only within 640 px of the player; the burning never stops.
  EXPECT_EQ(QuadsDrawn([&] { circle->Draw(); }), 5);
  PlacePlayer(328.0f + 700, 100);
  EXPECT_EQ(QuadsDrawn([&] { circle->Draw(); }), 0);

  // The fly is one ball spinning in place, 45 turns of 8 degrees once round, drawn only
  // within 300 px of the player.
  DeleteAllUnits();
  cFly* fly = Spawned<cFly>(10, 5, 12);
  ASSERT_NE(fly, nullptr);
  EXPECT_EQ(fly->ballCount, 1);
  Steps(45);
  EXPECT_FLOAT_EQ(fly->spin, 0.0f);
  EXPECT_FLOAT_EQ(fly->centerX, 320.0f);
  PlacePlayer(320.0f + 299, 100);
  EXPECT_EQ(QuadsDrawn([&] { fly->Draw(); }), 1);
  PlacePlayer(320.0f + 301, 100);
  EXPECT_EQ(QuadsDrawn([&] { fly->Draw(); }), 0);
}

TEST_F(HazardTest, FireChainSpacingAndRideBounceAtTheirEnds) {
  cFireCircle2* swelling = Spawned<cFireCircle2>(10, 5, 5);
  ASSERT_NE(swelling, nullptr);
  swelling->spacing = 39.9f;
  Steps(1);
  EXPECT_FLOAT_EQ(swelling->spacing, 40.0f);
  EXPECT_FLOAT_EQ(swelling->spacingDelta, -0.3f);
  Steps(1);
  EXPECT_FLOAT_EQ(swelling->spacing, 39.7f);
  swelling->spacing = 15.1f;
  Steps(1);
  EXPECT_FLOAT_EQ(swelling->spacing, 15.0f);
  EXPECT_FLOAT_EQ(swelling->spacingDelta, 0.3f);
  float widest = 0, narrowest = 100;
  for (int i = 0; i < 400; ++i) {
    Steps(1);
    widest = std::max(widest, swelling->spacing);
    narrowest = std::min(narrowest, swelling->spacing);
  }
  EXPECT_FLOAT_EQ(widest, 40.0f);
  EXPECT_FLOAT_EQ(narrowest, 15.0f);

  DeleteAllUnits();
  cFireCircle3* rider = Spawned<cFireCircle3>(10, 20, 6);
  ASSERT_NE(rider, nullptr);
  const float start = rider->centerY;
  EXPECT_FLOAT_EQ(start, 648.0f);
  Steps(1);
  EXPECT_FLOAT_EQ(rider->centerY, start + 3);
  float lowest = start, highest = start;
  for (int i = 0; i < 300; ++i) {
    Steps(1);
    lowest = std::max(lowest, rider->centerY);
    highest = std::min(highest, rider->centerY);
  }
  EXPECT_FLOAT_EQ(lowest, start + 128);
  EXPECT_FLOAT_EQ(highest, start - 128);
}

// A unit is heard from the view or just beside it; a cannon far away fires all the same, and
// draws its random number all the same, but silently.
TEST_F(HazardTest, AUnitIsHeardOnlyFromTheViewOrJustBesideIt) {
  const CameraView view = VisibleView();
  cCannon* beside = Add<cCannon>(view.right + 40, 288.0f);
  cCannon* past = Add<cCannon>(view.right + 60, 288.0f);
  cCannon* below = Add<cCannon>(320.0f, view.bottom + 60);
  cCannon* far = Add<cCannon>(700 * 32.0f, 288.0f);
  SeedRandom(5);
  Steps(1);  // every one fires at once
  EXPECT_EQ(Plays(kSoundCannon), 1u) << "only the one just beside the view";
  for (const cCannon* cannon : {beside, past, below, far}) EXPECT_NE(cannon->bulletSpeedX, 0);
  SeedRandom(5);
  for (int i = 0; i < 4; ++i) Random();
  const int next = Random();
  SeedRandom(5);
  for (cCannon* cannon : {beside, past, below, far}) cannon->fireTimer = 399;
  Steps(1);
  EXPECT_EQ(Random(), next) << "each drew its number, heard or not";

  // With the view over it, the far one is heard.
  for (cCannon* cannon : {beside, past, below}) cannon->fireTimer = 0;
  gCamera[0] = gCamera[3] = 700 * 32.0f;
  far->fireTimer = 399;
  const unsigned before = Plays(kSoundCannon);
  Steps(1);
  EXPECT_EQ(Plays(kSoundCannon), before + 1);
}

TEST_F(HazardTest, TheCannonFiresTowardsThePlayerAndItsBulletCanBeStomped) {
  cCannon* cannon = Add<cCannon>(320.0f, 288.0f);
  PlacePlayer(100.0f, kFarAway);
  Steps(1);  // the first step always fires
  EXPECT_EQ(Plays(kSoundCannon), 1u);
  EXPECT_EQ(cannon->bulletSpeedX, -3);
  EXPECT_EQ(cannon->bulletX, 320 - 30 - 3);
  EXPECT_EQ(cannon->bulletY, 297);
  EXPECT_LT(cannon->fireTimer, 400);

  cCannon* level = Add<cCannon>(640.0f, 288.0f);
  PlacePlayer(640.0f, kFarAway);
  Steps(1);
  EXPECT_EQ(level->bulletSpeedX, 3);  // the player exactly at the cannon's x: to the right
  EXPECT_EQ(level->bulletX, 640 + 30 + 3);

  // Landing within the bullet's top 12 px: 150 points, a bounce, and the bullet falls.
  cannon->fireTimer = 0;
  const int32_t bulletX = cannon->bulletX;
  PlacePlayer(float(bulletX - 3 - 10), float(cannon->bulletY + 12 - 32));
  gScore = 0;
  Steps(1);
  EXPECT_EQ(cannon->bulletState, 1);
  EXPECT_EQ(gScore, 150);
  EXPECT_FLOAT_EQ(player->speedY, -10.0f);
  EXPECT_EQ(cannon->bulletSpeedX, -1);
  EXPECT_FALSE(player->dying);
  const int32_t fallingY = cannon->bulletY;
  PlacePlayer(float(cannon->bulletX), float(cannon->bulletY));  // right inside it: harmless now
  Steps(1);
  EXPECT_EQ(cannon->bulletY, fallingY + 4);
  EXPECT_FALSE(player->dying);

  // Past y 2047 it flies again one screen further on, with the next shot 150 steps away.
  PlacePlayer(100.0f, kFarAway);
  cannon->fireTimer = -1000;  // no new shot meanwhile
  const int32_t driftX = cannon->bulletX;
  int steps = 0;
  for (; cannon->bulletState != 0 && steps < 1000; ++steps) Steps(1);
  EXPECT_EQ(cannon->bulletX, driftX - steps + 320);
  EXPECT_GT(cannon->bulletY, 2047);
  EXPECT_EQ(cannon->fireTimer, 250);

  // A flying bullet touched from the side hurts.
  cannon->bulletX = 200;
  cannon->bulletY = 288;
  cannon->bulletSpeedX = -3;
  PlacePlayer(180.0f, 288.0f);
  Steps(1);
  EXPECT_TRUE(player->dying);
}

TEST_F(HazardTest, HammersTravelTheirRangeAndHurt) {
  const int32_t ranges[] = {0, 5};
  for (int32_t range : ranges) {
    DeleteAllUnits();
    cHammer* hammer = Add<cHammer>(320.0f, 288.0f, range);
    float lowest = hammer->y, highest = hammer->y;
    for (int i = 0; i < 400; ++i) {
      Steps(1);
      lowest = std::max(lowest, hammer->y);
      highest = std::min(highest, hammer->y);
    }
    EXPECT_FLOAT_EQ(lowest, 288.0f + 2) << range;  // past the end by at most a step
    EXPECT_FLOAT_EQ(highest, 288.0f - 32 * range - 2) << range;
  }
  cHammer* hammer = static_cast<cHammer*>(gUnits[0]);
  PlacePlayer(hammer->x + 10, hammer->y + 10);
  Steps(1);
  EXPECT_TRUE(player->dying);
}

TEST_F(HazardTest, AKillerPlantRisesWaitsSinksAndStaysInWhileThePlayerIsNear) {
  cKillerBlume* plant = Spawned<cKillerBlume>(3, 5, 10);
  ASSERT_NE(plant, nullptr);
  EXPECT_FLOAT_EQ(plant->x, 112.0f);
  EXPECT_FLOAT_EQ(plant->y, 192.0f);
  Steps(44);
  EXPECT_FLOAT_EQ(plant->y, 192.0f - 44);
  Steps(154);
  EXPECT_FLOAT_EQ(plant->y, 192.0f - 44);
  Steps(44);
  EXPECT_FLOAT_EQ(plant->y, 192.0f);
  EXPECT_EQ(plant->phase, -150);

  // Waiting with the player in the zone (32 px left of it to 64 px right, 64 above to 168
  // below its top): it stays in.
  PlacePlayer(112.0f + 64 - 1, 192.0f + 168 - 1);
  Steps(150);
  EXPECT_EQ(plant->phase, 0);
  Steps(50);
  EXPECT_EQ(plant->phase, 0);
  PlacePlayer(112.0f - 32 - 32, 192.0f);  // just left of the zone
  Steps(1);
  EXPECT_EQ(plant->phase, 1);

  // Out, it hurts; a hidden plant can't be reached anywhere, not even by a star.
  Steps(10);
  PlacePlayer(plant->x, plant->y);
  Steps(1);
  EXPECT_TRUE(player->dying);
  player->dying = false;
  plant->phase = -100;
  Steps(1);
  player->starTimer = 10;
  for (float x : {900.0f, 112.0f}) {
    PlacePlayer(x, 150.0f);
    player->InvincibilityStep();
  }
  EXPECT_FALSE(plant->dead);

  // Once dead it is neither drawn nor harmful.
  plant->phase = 20;
  Steps(1);
  player->starTimer = 0;
  EXPECT_EQ(QuadsDrawn([&] { plant->Draw(); }), 1);
  plant->dead = true;
  PlacePlayer(plant->x, plant->y);
  Steps(1);
  EXPECT_FALSE(player->dying);
  EXPECT_EQ(QuadsDrawn([&] { plant->Draw(); }), 0);
}

TEST_F(HazardTest, TheBoardSwingsThreeHundredPixelsAndCarriesAPlayerStandingOnIt) {
  cBrett* board = Spawned<cBrett>(10, 4, 8);
  ASSERT_NE(board, nullptr);
  EXPECT_EQ(board->vertical, 1);
  Steps(100);
  EXPECT_FLOAT_EQ(board->y, 428.0f);
  Steps(1);
  EXPECT_FLOAT_EQ(board->y, 425.0f);  // turned after exactly 100 steps
  Steps(99);
  EXPECT_FLOAT_EQ(board->y, 128.0f);
  Steps(1);
  EXPECT_FLOAT_EQ(board->y, 131.0f);
  EXPECT_FALSE(player->onPlatform);

  // The point 20 px right of the player's left edge, at its feet: on the top edge is carried.
  const float top = board->y + 3;  // where the next step puts it
  PlacePlayer(board->x - 20, top - 32);
  player->speedY = 2.0f;
  Steps(1);
  EXPECT_FLOAT_EQ(player->y, top - 32);
  EXPECT_TRUE(player->onPlatform);
  EXPECT_TRUE(player->skipLandingSnap);
  EXPECT_FLOAT_EQ(player->speedY, 0.0f);

  // One pixel left of the board's left edge is not; nor a rising or jumping player.
  const struct {
    float dx, speedY;
    int32_t jumpTimer;
  } missed[] = {{-21, 0, player->jumpTimer}, {0, -1, player->jumpTimer}, {0, 0, 3}};
  for (const auto& m : missed) {
    player->onPlatform = false;
    PlacePlayer(board->x + m.dx, board->y + 3 - 32);
    player->speedY = m.speedY;
    player->jumpTimer = m.jumpTimer;
    Steps(1);
    EXPECT_FALSE(player->onPlatform) << m.dx << " " << m.speedY << " " << m.jumpTimer;
  }
}

}  // namespace
