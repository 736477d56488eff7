// Debris, popups, the fire field and bursts.
#include "world/effects.h"

#include <gtest/gtest.h>

#include <memory>

#include "player/player.h"
#include "world/score.h"
#include "world/sounds.h"

namespace {

class EffectsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gPlayer = new cPlayer(3, 1, 2, 4, 5, 0, 8);
    gScore = 0;
    for (unsigned& plays : gSoundPlays) plays = 0;
  }
  void TearDown() override {
    delete gPlayer;
    gPlayer = nullptr;
    gScore = 0;
  }
};

TEST_F(EffectsTest, PopupsPayTheirPointsAndShowTheirText) {
  cPopups popups;
  popups.AddPopup(100, 50, 1000);
  popups.AddPopup(100, 50, kPopupOneUp);
  popups.AddPopup(100, 50, kPopupFatter);
  popups.AddPopup(0, 50, 250);  // at x 0: paid, never shown
  EXPECT_EQ(gScore, 1250);
  EXPECT_STREQ(popups.popups[0].text, "1000");
  EXPECT_STREQ(popups.popups[1].text, "1UP");
  EXPECT_STREQ(popups.popups[2].text, "FATTER");
  EXPECT_FLOAT_EQ(popups.popups[0].y, 70.0f);
  for (int i = 0; i < 60; ++i) popups.Draw();
  EXPECT_EQ(popups.popups[0].age, 50);  // rises for 50 frames, then hides
  EXPECT_FLOAT_EQ(popups.popups[0].y, 20.0f);
  EXPECT_EQ(popups.popups[3].age, 0);
  // The ring of 20 wraps to the first slot.
  for (int i = 0; i < 16; ++i) popups.AddPopup(10, 10, 1);
  popups.AddPopup(10, 10, 7);
  EXPECT_STREQ(popups.popups[0].text, "7");
}

TEST_F(EffectsTest, DebrisFliesFromTheBrokenCellAndRowZeroPiecesNeverMove) {
  cDebris debris;
  debris.Break(4, 5, 0);
  EXPECT_EQ(gScore, 50);
  EXPECT_EQ(gSoundPlays[kSoundCrack], 1u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(debris.pieces[i].x, 128.0f);
    EXPECT_GE(debris.pieces[i].speedY, -8.0f);
    EXPECT_LE(debris.pieces[i].speedY, -4.0f);
    EXPECT_GE(std::abs(debris.pieces[i].speedX), 2.0f);
    EXPECT_LE(std::abs(debris.pieces[i].speedX), 4.0f);
  }
  debris.Update();
  EXPECT_LT(debris.pieces[0].y, 160.0f);
  debris.Break(7, 0, 1);  // row 0: y is 0, never live
  debris.Update();
  EXPECT_FLOAT_EQ(debris.pieces[4].y, 0.0f);
  // Fifteen breaks fill the ring; the sixteenth reuses the first pieces.
  for (int i = 0; i < 13; ++i) debris.Break(1, 1, 0);
  EXPECT_EQ(debris.next, 60);
  debris.Break(9, 9, 0);
  EXPECT_FLOAT_EQ(debris.pieces[0].x, 9.0f * 32);
}

TEST_F(EffectsTest, OverlappingFiresShrinkThenKillAndIgnoreInvincibility) {
  cFireField fire;
  fire.AddFire(100, 100);
  fire.AddFire(110, 100);
  EXPECT_EQ(fire.fireY[0], 115);  // the box starts 15 px into its cell
  gPlayer->x = 120;
  gPlayer->y = 140;
  gPlayer->RefreshRect();
  gPlayer->power = kPowerBig;
  fire.Update();  // the first shrinks, the second kills
  EXPECT_EQ(gPlayer->power, kPowerSmall);
  EXPECT_TRUE(gPlayer->dying);
  EXPECT_EQ(fire.box.w, 70);

  gPlayer->dying = false;
  gPlayer->starTimer = 100;
  fire.Update();
  EXPECT_TRUE(gPlayer->dying);  // a small player burns even while invincible

  for (int i = 0; i < 900; ++i) fire.AddFire(0, 0);
  EXPECT_EQ(fire.count, kMaxFires);
  fire.Clear();
  EXPECT_EQ(fire.count, 0);
}

TEST_F(EffectsTest, BurstsSprayAndFadeAndTheStoreWraps) {
  cBurst burst;
  burst.AddBurst(200, 300);
  int live = 0;
  for (const BurstParticle& p : burst.particles) live += !p.dead;
  EXPECT_EQ(live, 30);
  EXPECT_GE(burst.particles[0].x[0], 200.0f);
  EXPECT_LT(burst.particles[0].x[0], 240.0f);
  for (int i = 0; i < 100; ++i) burst.Update();
  EXPECT_TRUE(burst.particles[0].dead);
  for (int i = 0; i < 16; ++i) burst.AddBurst(0, 0);
  EXPECT_EQ(burst.next, 30);  // past 470 the store starts again at 0
  burst.Clear();
  EXPECT_EQ(burst.next, 0);
  EXPECT_TRUE(burst.particles[5].dead);
}

}  // namespace
