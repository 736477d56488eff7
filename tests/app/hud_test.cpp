// The heads-up display's message: six seconds on the frame clock, trembling in place, and
// the start screen's blinking button and press.
#include "app/hud.h"

#include <gtest/gtest.h>

#include "app/button.h"
#include "app/input.h"
#include "app/resources.h"
#include "app/start_screen.h"
#include "engine/font.h"
#include "engine/sprite_batch.h"
#include "engine/texture.h"
#include "platform/headless.h"
#include "player/player.h"
#include "tests/support/kept_globals.h"
#include "world/camera.h"
#include "world/map.h"
#include "world/messages.h"
#include "world/score.h"

namespace {

class HudTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kept.Keep(gFontTexture);
    gFontTexture = &font;
    gScore = gCoins = gLives = 0;
    gMetersMoved = 0;
    cSpriteBatch::Instance().Begin(false);
  }
  void TearDown() override {
    HideMessage();
    gFrameTime = 0;
    cSpriteBatch::Instance().Begin(false);
    for (cButton*& button : gButtons) {
      delete button;
      button = nullptr;
    }
    ResetHeldInput();
    ClearActions(kActionCount);
    UseHeadlessPlatform();
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
    // Every line is drawn nine times: eight times in its outline's colour, then white.
    const size_t statusGlyphs =
        9 * (std::string("SCORE 0 COINS 0 LIVES 0").size() + std::string("YOU MOVE  0.0M").size());
    if (glyphs.size() <= statusGlyphs) return {};
    return {glyphs.end() - long((glyphs.size() - statusGlyphs) / 9), glyphs.end()};
  }

  Texture font{42, 1520, 16, 1520, 16};
  cKeptGlobals kept;
};

TEST_F(HudTest, AMessageShowsForSixSecondsAndTremblesAroundTheCentre) {
  gFrameTime = 10000;
  ShowMessage(13);  // "HI, FINAL BOSS!!!", 17 characters
  for (int frame = 0; frame < 40; ++frame) {
    const auto glyphs = MessageGlyphs();
    ASSERT_EQ(glyphs.size(), 17u);
    EXPECT_GE(glyphs[0].first, 104);
    EXPECT_LE(glyphs[0].first, 108);
    EXPECT_GE(glyphs[0].second, 60);  // under the distance line, over the signs
    EXPECT_LE(glyphs[0].second, 64);
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
  delete gPlayer;  // made by the start
  gPlayer = nullptr;
}

// The speaker is touched while playing, so it must cover no sign, no line of the display and
// no button. The highest a sign may stand is three rows above the ground it is read from; the
// camera centres the player standing on that ground.
TEST_F(HudTest, TheSpeakerCoversNoSignNoStatusLineAndNoButton) {
  const auto overlaps = [](int x, int y, int w, int h) {
    return x < kSpeakerX + kSpeakerSize && kSpeakerX < x + w && y < kSpeakerY + kSpeakerSize &&
           kSpeakerY < y + h;
  };
  constexpr int kGroundRow = 40, kHighestSignRow = kGroundRow - 4;
  const float saved[6] = {gCamera[0], gCamera[1], gCamera[2], gCamera[3], gCamera[4], gCamera[5]};
  gCamera[0] = gCamera[3] = 300.0f * kCellSize;
  gCamera[1] = gCamera[4] = float((kGroundRow - 1) * kCellSize);
  gCamera[2] = kDefaultCameraDistance;
  gCamera[5] = 0.0f;
  const CameraView view = VisibleView();
  const float signTop =
      (float(kHighestSignRow * kCellSize) - view.top) / (view.bottom - view.top) * 320.0f;
  std::copy(std::begin(saved), std::end(saved), gCamera);
  EXPECT_LT(kSpeakerY + kSpeakerSize, int(signTop)) << "a sign at " << signTop;

  // The longest lines the display shows: lives go on below zero, and the status line squeezes
  // its glyphs rather than run off the screen's right edge.
  gScore = 9999999;
  gCoins = 99;
  gLives = -99;
  gMetersMoved = 9999.9f;
  cSpriteBatch& batch = cSpriteBatch::Instance();
  batch.Begin(false);
  DrawHud();
  const SpriteBucket& bucket = batch.Bucket(0);
  ASSERT_GT(bucket.count, 0);
  for (int i = 0; i < bucket.count; i += kVerticesPerQuad) {
    EXPECT_FALSE(
        overlaps(int(bucket.vertices[i].x), int(bucket.vertices[i].y), kGlyphSize, kGlyphSize))
        << "a glyph at " << bucket.vertices[i].x << "," << bucket.vertices[i].y;
    EXPECT_LE(bucket.vertices[i].x + kGlyphSize, 480 - 4) << "off the screen's edge";
  }

  for (ButtonId id : {kButtonLeft, kButtonRight, kButtonJump, kButtonRestart, kButtonRetry}) {
    const ButtonArea b = ButtonPlace(id);
    EXPECT_FALSE(overlaps(b.x, b.y, b.width, b.height)) << "button " << id;
  }
  // Its touch target is a fingertip wide (48 px at least) and reaches no button either.
  constexpr int m = kSpeakerTouchMargin;
  EXPECT_GE(kSpeakerX + kSpeakerSize + m, 48);
  EXPECT_GE(kSpeakerSize + 2 * m, 48);
  EXPECT_TRUE(SpeakerContains(0, kSpeakerY - m));
  EXPECT_TRUE(SpeakerContains(kSpeakerX + kSpeakerSize + m - 1, kSpeakerY + kSpeakerSize + m - 1));
  EXPECT_FALSE(SpeakerContains(kSpeakerX + kSpeakerSize + m, kSpeakerY));
  for (ButtonId id : {kButtonLeft, kButtonRight, kButtonJump, kButtonRestart, kButtonRetry}) {
    const ButtonArea b = ButtonPlace(id);
    EXPECT_FALSE(SpeakerContains(b.x + 1, b.y + 1) || SpeakerContains(b.x + b.width - 1, b.y + 1))
        << "button " << id;
  }
}

}  // namespace
