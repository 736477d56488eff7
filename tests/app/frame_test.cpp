// The frame and its loop, headless: start-up order, two sub-steps per frame, the world and
// heads-up passes, the swap, the limiter on a fake clock, the quit and the retry.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/game.h"
#include "app/hud.h"
#include "app/input.h"
#include "engine/font.h"
#include "engine/gl_record.h"
#include "engine/gl_setup.h"
#include "engine/texture.h"
#include "platform/headless.h"
#include "player/player.h"
#include "tests/support/kept_globals.h"

namespace {

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kept.Keep(gFontTexture);
    gFontTexture = &font;
    gScreenWidth = 320;
    gScreenHeight = 480;
    SetScreenInfo(320, 480, 3);
    gScore = 120;
    gCoins = 7;
    gLives = 5;
    gMetersMoved = 0;
    gLastFrameEnd = 0;
    gSimulationSteps = 0;
    // Whatever an earlier test held, paused or showed is gone, as in a fresh game.
    ResetHeldInput();
    ClearFingers();
    HideMessage();
  }
  void TearDown() override {
    gScore = gCoins = gLives = 0;
    for (bool& action : gActions) action = false;
    ClearFingers();
    ResetHeldInput();
    HideMessage();
    UseHeadlessPlatform();
  }

  HeadlessDevice& device = UseHeadlessPlatform();
  cGlRecorder gl;
  Texture font{42, 1520, 16, 1520, 16};
  cKeptGlobals kept;
};

TEST_F(FrameTest, InitStartsThePortraitScreenAndQuitClosesAudioWithStatusZero) {
  EXPECT_TRUE(Init());
  EXPECT_EQ(device.screenWidth, 320);
  EXPECT_EQ(device.screenHeight, 480);
  EXPECT_EQ(device.caption, "Brinkhop");
  EXPECT_TRUE(device.audioOpen);
  EXPECT_EQ(GetScreenInfo().mode, 3);
  EXPECT_EQ(gl.viewport[2], 320);
  EXPECT_EQ(gl.viewport[3], 480);
  EXPECT_EQ(gl.CountCalls("Frustum"), 1);
  gRunning = true;
  Quit();
  EXPECT_FALSE(gRunning);
  EXPECT_FALSE(device.audioOpen);
  EXPECT_EQ(device.exitStatus, 0);
}

TEST_F(FrameTest, WithoutAScreenTheGameEndsAtOnceWithStatusOne) {
  device.noScreen = true;
  EXPECT_EQ(RunGame(), 1);
  EXPECT_EQ(device.exitStatus, 1);
  EXPECT_EQ(device.swaps, 0);
  EXPECT_EQ(gl.CountCalls("Frustum"), 0);
}

TEST_F(FrameTest, TheHeadsUpDisplayIsDrawnUprightInLandscape) {
  Frame();
  // The font's draw: the speaker may follow it when its pictures were loaded.
  const auto found = std::find_if(gl.draws.rbegin(), gl.draws.rend(),
                                  [](const GlRecordedDraw& draw) { return draw.texture == 42u; });
  ASSERT_NE(found, gl.draws.rend()) << "no text drawn";
  const GlRecordedDraw& text = *found;
  EXPECT_FALSE(text.blend);  // the HUD pass draws opaque, cut out by the alpha test
  EXPECT_TRUE(text.alphaTest);
  const std::string status = "SCORE 120 COINS 7 LIVES 5";
  const std::string distance = "YOU MOVE  0.0M";
  // Each line outlined: eight dark copies, then the white one.
  ASSERT_EQ(text.vertices.size(), (status.size() + distance.size()) * 6 * 9);
  // The first white glyph covers landscape (8, 6)-(24, 22), a margin in from the window's
  // corner: portrait (298..314, 8..24).
  const size_t white = 8 * status.size() * 6;
  const GlRecordedVertex& topLeft = text.vertices[white];
  EXPECT_NEAR(topLeft.screenX, 314, 1e-3);
  EXPECT_NEAR(topLeft.screenY, 8, 1e-3);
  const GlRecordedVertex& bottomRight = text.vertices[white + 5];
  EXPECT_NEAR(bottomRight.screenX, 298, 1e-3);
  EXPECT_NEAR(bottomRight.screenY, 24, 1e-3);
  // The distance line's white glyphs start at landscape (120, 32): portrait (288, 120).
  const GlRecordedVertex& distanceStart =
      text.vertices[(9 * status.size() + 8 * distance.size()) * 6];
  EXPECT_NEAR(distanceStart.screenX, 288, 1e-3);
  EXPECT_NEAR(distanceStart.screenY, 120, 1e-3);
  EXPECT_FLOAT_EQ(distanceStart.u, float(('Y' - 32) * 16) / 1520.0f);
}

TEST_F(FrameTest, TheStatusLinesReadAsDesigned) {
  char line[64];
  FormatStatusLine(line, sizeof line);
  EXPECT_STREQ(line, "SCORE 120 COINS 7 LIVES 5");
  gLives = -1;
  FormatStatusLine(line, sizeof line);
  EXPECT_STREQ(line, "SCORE 120 COINS 7 LIVES -1");
  FormatDistanceLine(line, sizeof line);
  EXPECT_STREQ(line, "YOU MOVE  0.0M");
  gMetersMoved = 12.34f;
  FormatDistanceLine(line, sizeof line);
  EXPECT_STREQ(line, "YOU MOVE 12.3M");
}

TEST_F(FrameTest, TheLimiterReleasesThirtyThreeMillisecondsAfterTheLastRelease) {
  const struct {
    uint32_t lastRelease, now, release, slept;
  } cases[] = {
      {1000, 1010, 1033, 23},   {1033, 1100, 1100, 0},  // a slow frame is followed at once
      {1100, 1133, 1133, 0},                            // exactly on time: no wait either
      {0xfffffff0u, 5, 17, 12},                         // across the wrap of the 32-bit tick count
      {2000, 1990, 1990, 0},  // a clock behind the last release never waits negatively
  };
  for (const auto& c : cases) {
    gLastFrameEnd = c.lastRelease;
    device.ticks = c.now;
    const uint32_t slept = device.slept;
    LimitFrameRate();
    EXPECT_EQ(device.ticks, c.release) << c.now;
    EXPECT_EQ(gLastFrameEnd, c.release) << c.now;
    EXPECT_EQ(device.slept - slept, c.slept) << c.now;
  }
}

// Every frame, with or without input, steps twice, draws and swaps; each frame takes 10 ms of
// work here and the limiter sleeps the rest.
TEST_F(FrameTest, TheLoopRunsAtThirtyFramesASecondOnTheFakeClock) {
  device.ticks = 5000;
  gLastFrameEnd = 5000;
  for (int i = 0; i < 30; ++i) {
    Frame();
    EXPECT_EQ(gFrameTime, 5000u + 33u * uint32_t(i));
    device.ticks += 10;
    LimitFrameRate();
  }
  EXPECT_EQ(device.swaps, 30);
  EXPECT_EQ(gl.clears, 30);
  EXPECT_EQ(device.ticks, 5000u + 30u * 33u);
  EXPECT_EQ(gSimulationSteps, 60u);
  // Every push of the 2D pass is popped again.
  EXPECT_EQ(gl.projection.size(), 1u);
  EXPECT_EQ(gl.modelView.size(), 1u);
}

TEST_F(FrameTest, APauseStopsTheMessageClock) {
  auto frameAt = [&](uint32_t ticks) {
    device.ticks = ticks;
    if (GamePaused())
      PausedPass();
    else
      Frame();
  };
  frameAt(10000);
  ShowMessage(2);
  frameAt(14000);  // two seconds left
  HeadlessAction(InputAction::kPause, true);
  HeadlessAction(InputAction::kPause, false);
  frameAt(14033);
  ASSERT_TRUE(GamePaused());
  for (uint32_t t = 14066; t <= 24066; t += 33) frameAt(t);  // ten seconds paused
  HeadlessAction(InputAction::kPause, true);
  frameAt(24099);
  ASSERT_FALSE(GamePaused());
  frameAt(24132 + 1900);
  EXPECT_EQ(gMessageIndex, 2);
  frameAt(24132 + 2100);
  EXPECT_EQ(gMessageIndex, kNoMessage);
}

TEST_F(FrameTest, TheRetryClearsTheMoveActions) {
  for (bool& action : gActions) action = true;
  RestartAfterDeath();
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(gActions[i]) << i;
  EXPECT_TRUE(gActions[5]);  // run/fire is not the retry's to clear
}

}  // namespace
