// The heads-up display's message: six seconds on the frame clock, trembling in place, and
// the start screen's blinking button and press.
#include "app/hud.h"

#include <gtest/gtest.h>

#include "app/button.h"
#include "app/input.h"
#include "app/start_screen.h"
#include "engine/font.h"
#include "engine/sprite_batch.h"
#include "engine/texture.h"
#include "platform/headless.h"
#include "player/player.h"
#include "world/messages.h"
#include "world/score.h"

namespace {

class HudTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = gFontTexture;
    gFontTexture = &font;
    gScore = gCoins = gLives = 0;
    gMetersMoved = 0;
    cSpriteBatch::Instance().Begin(false);
  }
  void TearDown() override {
    gFontTexture = saved;
    HideMessage();
    gFrameTime = 0;
    cSpriteBatch::Instance().Begin(false);
  }
  // The glyphs queued after the two status lines, as (x, y) of each quad's corner.
  std::vector<std::pair<int, int>> MessageGlyphs() {
    cSpriteBatch& batch = cSpriteBatch::Instance();
    batch.Begin(false);
    DrawHud();
    std::vector<std::pair<int, int>> glyphs;
    const SpriteBucket& bucket = batch.Bucket(0);
    for (int i = 0; i < bucket.count; i += kVerticesPerQuad)
      glyphs.emplace_back(bucket.vertices[i].x, bucket.vertices[i].y);
    const size_t statusGlyphs =
        std::string("SCORE 0 COINS 0 LIVES 0").size() + std::string("YOU MOVE  0.0M").size();
    return {glyphs.begin() + long(statusGlyphs), glyphs.end()};
  }

  Texture font{42, 1520, 16, 1520, 16};
  Texture* saved = nullptr;
};

TEST_F(HudTest, AMessageShowsForSixSecondsAndTremblesAroundTheCentre) {
  gFrameTime = 10000;
  ShowMessage(13);  // "HI, FINAL BOSS!!!", 17 characters
  for (int frame = 0; frame < 40; ++frame) {
    const auto glyphs = MessageGlyphs();
    ASSERT_EQ(glyphs.size(), 17u);
    EXPECT_GE(glyphs[0].first, 104);
    EXPECT_LE(glyphs[0].first, 108);
    EXPECT_GE(glyphs[0].second, 100);
    EXPECT_LE(glyphs[0].second, 104);
    EXPECT_EQ(glyphs[16].first, glyphs[0].first + 16 * 16);
  }
  gFrameTime = 16000;  // exactly six seconds: still shown
  EXPECT_EQ(MessageGlyphs().size(), 17u);
  gFrameTime = 16001;
  EXPECT_TRUE(MessageGlyphs().empty());
  EXPECT_EQ(gMessageIndex, kNoMessage);

  // A new message replaces the old one and starts its own six seconds.
  gFrameTime = 20000;
  ShowMessage(0);
  gFrameTime = 25000;
  ShowMessage(6);
  gFrameTime = 30500;
  EXPECT_EQ(MessageGlyphs().size(), std::string(kMessages[6]).size());
}

TEST_F(HudTest, TheStartButtonBlinksAndAPressOnItStartsTheGame) {
  HeadlessDevice& device = UseHeadlessPlatform();
  CreateButtons(Texture{1, 256, 256, 256, 256}, Texture{2, 256, 256, 256, 256});
  gBlinkCounter = 0;
  int shown = 0;
  for (int pass = 0; pass < 65; ++pass) {
    StartScreenStep();
    shown += gBlinkCounter < kBlinkShownBelow;
  }
  EXPECT_EQ(shown, 48);  // 48 passes of every 65
  EXPECT_EQ(gBlinkCounter, 0);
  EXPECT_EQ(device.swaps, 65);

  // A press on the border does nothing; moving over the button does nothing either.
  HeadlessTouch(0, 148, 260, true);
  HeadlessFingerEvent(0, InputType::kFingerDown);
  gStartDone = false;
  StartScreenStep();
  EXPECT_FALSE(gStartDone);
  HeadlessTouch(0, 200, 260, true);
  HeadlessFingerEvent(0, InputType::kFingerMove);
  StartScreenStep();
  EXPECT_FALSE(gStartDone);
  for (cButton*& button : gButtons) {
    delete button;
    button = nullptr;
  }
  UseHeadlessPlatform();
}

TEST_F(HudTest, ThePressThatStartsTheGameDoesNotCarryIntoPlay) {
  HeadlessDevice& device = UseHeadlessPlatform();
  CreateButtons(Texture{1, 256, 256, 256, 256}, Texture{2, 256, 256, 256, 256});
  ResetHeldInput();
  // START overlaps the right button here; the finger stays on it into the first frame.
  HeadlessTouch(0, 170, 260, true);
  HeadlessFingerEvent(0, InputType::kFingerDown);
  gStartDone = false;
  StartScreenStep();
  ASSERT_TRUE(gStartDone);
  HandleInput();
  EXPECT_FALSE(gActions[kActionRight]);

  // A pad's Start stands for start, pause and retry at once: the game starts unpaused.
  device.fingers[0].down = false;
  HeadlessAction(InputAction::kStart, true, InputSource::kPad);
  HeadlessAction(InputAction::kPause, true, InputSource::kPad);
  HeadlessAction(InputAction::kRetry, true, InputSource::kPad);
  gStartDone = false;
  StartScreenStep();
  ASSERT_TRUE(gStartDone);
  HandleInput();
  EXPECT_FALSE(GamePaused());

  for (cButton*& button : gButtons) {
    delete button;
    button = nullptr;
  }
  delete gPlayer;
  gPlayer = nullptr;
  ResetHeldInput();
  ClearActions(kActionCount);
  UseHeadlessPlatform();
}

}  // namespace
