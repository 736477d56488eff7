// The heads-up display.
#include "app/hud.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/button.h"
#include "app/game.h"
#include "app/input.h"
#include "engine/font.h"
#include "engine/music.h"
#include "engine/sprite_batch.h"
#include "engine/texture.h"
#include "player/player.h"

namespace {

constexpr int kStatusX = 0, kStatusY = 0;         // landscape pixels
constexpr int kDistanceX = 120, kDistanceY = 32;  // landscape pixels
constexpr int kMessageY = 100;                    // landscape pixels
constexpr int kMessageCentreColumns = 30;         // 480 px of 16-px glyphs
constexpr int kHalfGlyph = 8;                     // px
constexpr int kJitter = 5;                        // 0..4 px each way, new every frame
constexpr int kLineLength = 64;

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
  const int x = (kMessageCentreColumns - length) * kHalfGlyph + std::rand() % kJitter;
  const int y = std::rand() % kJitter + kMessageY;
  DrawText(x, y, text);
}

}  // namespace

bool SpeakerContains(int x, int y) {
  return x >= kSpeakerX && x < kSpeakerX + kSpeakerSize && y >= kSpeakerY &&
         y < kSpeakerY + kSpeakerSize;
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
  DrawText(kStatusX, kStatusY, line);
  FormatDistanceLine(line, sizeof line);
  DrawText(kDistanceX, kDistanceY, line);
  DrawMessage();
  if (const Texture* speaker = gSpeakerPictures[Muted() ? 1 : 0]; speaker && speaker->glName)
    DrawSprite(speaker, kSpeakerX, kSpeakerY, kSpeakerSize, kSpeakerSize, 0);
}
