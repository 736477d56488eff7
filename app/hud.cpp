// The heads-up display.
#include "app/hud.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/button.h"
#include "app/game.h"
#include "app/input.h"
#include "engine/font.h"
#include "engine/gl_setup.h"
#include "engine/music.h"
#include "engine/random.h"
#include "engine/sprite_batch.h"
#include "engine/texture.h"
#include "player/player.h"

namespace {

// A margin from the window's edges: glyphs at the very edge were cut by the window's frame.
constexpr int kStatusX = 8, kStatusY = 6;  // landscape pixels
// The status line's room: long figures (a big score, lives far below zero) draw its glyphs
// closer together rather than off the screen's edge.
constexpr int kStatusWidth = 480 - 2 * kStatusX;  // landscape pixels
constexpr int kDistanceX = 120, kDistanceY = 32;  // landscape pixels
// The message stands just under the distance line: lower, it would run through the signs,
// which stand up to three rows above the ground the player walks on.
constexpr int kMessageY = 60;              // landscape pixels
constexpr int kMessageCentreColumns = 30;  // 480 px of 16-px glyphs
constexpr int kHalfGlyph = 8;              // px
constexpr int kJitter = 5;                 // 0..4 px each way, new every frame
constexpr int kLineLength = 64;
constexpr int kNoticeY = 56;           // landscape pixels, below the distance line
constexpr int kNoticeLineGlyphs = 29;  // a screen's width within the margins
constexpr int kNoticeLines = 4;

// Play buttons in drawing order.
constexpr ButtonId kPlayButtons[] = {kButtonJump, kButtonLeft, kButtonRight, kButtonRestart};

Texture* gSpeakerPictures[2] = {};  // sound on, muted

void DrawButton(ButtonId id) {
  if (gButtons[id]) gButtons[id]->Draw();
}

void DrawMessage() {
  if (gMessageIndex < 0 || gMessageIndex >= kMessageCount) return;
  if (gMessageStart + kMessageMilliseconds < gFrameTime) {
    gMessageIndex = kNoMessage;
    return;
  }
  const char* text = kMessages[gMessageIndex];
  const int length = int(std::strlen(text));
  const int x = (kMessageCentreColumns - length) * kHalfGlyph + Random() % kJitter;
  const int y = Random() % kJitter + kMessageY;
  DrawTextOutlined(x, y, text);
}

void DrawNotice() {
  for (int line = 0; line < kNoticeLines; ++line) {
    const size_t from = size_t(line * kNoticeLineGlyphs);
    if (from >= gHudNotice.size()) return;
    const std::string part = gHudNotice.substr(from, kNoticeLineGlyphs);
    DrawTextOutlined(kStatusX, int16_t(kNoticeY + line * kGlyphSize), part.c_str());
  }
}

}  // namespace

std::string gHudNotice;

bool SpeakerContains(int x, int y) {
  constexpr int m = kSpeakerTouchMargin;
  return x >= kSpeakerX - m && x < kSpeakerX + kSpeakerSize + m && y >= kSpeakerY - m &&
         y < kSpeakerY + kSpeakerSize + m;
}

void LoadHudPictures() {
  gSpeakerPictures[0] = LoadTexture("speaker_on.png");
  gSpeakerPictures[1] = LoadTexture("speaker_off.png");
}

void FormatStatusLine(char* out, int size) {
  std::snprintf(out, size_t(size), "SCORE %d COINS %d LIVES %d", gScore, gCoins, gLives);
}

void FormatDistanceLine(char* out, int size) {
  std::snprintf(out, size_t(size), "YOU MOVE %4.1fM", double(gMetersMoved));
}

void DrawHud() {
  if (gPlayer && gPlayer->dying) {
    DrawButton(kButtonRetry);
  } else if (gTouchControlsVisible) {
    for (ButtonId id : kPlayButtons) DrawButton(id);
  }
  char line[kLineLength];
  FormatStatusLine(line, sizeof line);
  // Outlined: white glyphs alone vanish over clouds and castle stone.
  DrawTextOutlined(kStatusX, kStatusY, line, kWhite, FittingAdvance(line, kStatusWidth));
  FormatDistanceLine(line, sizeof line);
  DrawTextOutlined(kDistanceX, kDistanceY, line);
  DrawNotice();
  DrawMessage();
  if (const Texture* speaker = gSpeakerPictures[Muted() ? 1 : 0]; speaker && speaker->glName)
    DrawSprite(speaker, kSpeakerX, kSpeakerY, kSpeakerSize, kSpeakerSize, 0);
}

HudTextBoxes CurrentHudTextBoxes() {
  HudTextBoxes boxes;
  char line[kLineLength];
  FormatStatusLine(line, sizeof line);
  const int statusLength = int(std::strlen(line));
  boxes.status = {kStatusX, kStatusY,
                  (statusLength - 1) * FittingAdvance(line, kStatusWidth) + kGlyphSize, kGlyphSize};
  FormatDistanceLine(line, sizeof line);
  boxes.distance = {kDistanceX, kDistanceY, int(std::strlen(line)) * kGlyphSize, kGlyphSize};
  if (gMessageIndex >= 0 && gMessageIndex < kMessageCount) {
    const int length = int(std::strlen(kMessages[gMessageIndex]));
    boxes.message = {(kMessageCentreColumns - length) * kHalfGlyph, kMessageY,
                     length * kGlyphSize + kJitter - 1, kGlyphSize + kJitter - 1};
  }
  return boxes;
}
