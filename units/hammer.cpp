// The hammer's ride and spin.
#include "units/hammer.h"

#include <cstdlib>

#include "engine/random.h"
#include "engine/sprite_batch.h"
#include "engine/texture.h"
#include "player/player.h"
#include "units/unit_textures.h"
#include "world/map.h"
#include "world/numbers.h"

namespace {

constexpr float kSpinStep = 8.0f;    // degrees per step
constexpr float kFullTurn = 360.0f;  // degrees

}  // namespace

cHammer::cHammer(float x, float y, int32_t range)
    : range(range),
      x(x),
      y(y),
      minY(y - float(range * kCellSize)),
      maxY(y),
      spin(float(Random() % 360)) {
  type = kUnitHammer;
}

void cHammer::Update() {
  // Turns only once past an end, so it may overshoot by up to a step.
  y += speedY;
  if (y < minY || y > maxY) speedY = -speedY;
  rect = {Trunc(x), Trunc(y), int32_t(TextureWidth(gHammerTexture)),
          int32_t(TextureHeight(gHammerTexture))};
  if (gPlayer && !gPlayer->dying && RectsOverlap(gPlayer->rect, rect)) HurtPlayer();
  spin += kSpinStep;
  if (spin >= kFullTurn) spin = 0.0f;
}

void cHammer::Draw() {
  DrawSpriteRotated(gHammerTexture, Trunc(x), Trunc(y), rect.w, rect.h, 0, Trunc(spin));
}
