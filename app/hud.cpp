// The status and distance lines of the heads-up display.
#include "app/hud.h"

#include <cstdio>

#include "app/game.h"
#include "engine/font.h"

float gMetersMoved = 0.0f;

namespace {

constexpr int kStatusX = 0, kStatusY = 0;         // landscape pixels
constexpr int kDistanceX = 120, kDistanceY = 32;  // landscape pixels
constexpr int kLineLength = 64;

}  // namespace

void FormatStatusLine(char* out, int size) {
  std::snprintf(out, size_t(size), "SCORE %d COINS %d LIVES %d", gScore, gCoins, gLives);
}

void FormatDistanceLine(char* out, int size) {
  std::snprintf(out, size_t(size), "YOU MOVE %4.1fM", double(gMetersMoved));
}

void DrawHud() {
  char line[kLineLength];
  FormatStatusLine(line, sizeof line);
  DrawText(kStatusX, kStatusY, line);
  FormatDistanceLine(line, sizeof line);
  DrawText(kDistanceX, kDistanceY, line);
}
