// The board's swing and how it carries the player.
#include "units/brett.h"

#include "engine/sprite_batch.h"
#include "engine/texture.h"
#include "player/player.h"
#include "units/unit_textures.h"
#include "world/numbers.h"
#include "world/rect.h"

namespace {

constexpr int32_t kSwingSteps = 100;   // steps each way
constexpr float kSpeed = 3.0f;         // px per step
constexpr float kCarryProbeX = 20.0f;  // px right of the player's left edge, at its feet

}  // namespace

cBrett::cBrett(float x, float y, int32_t vertical) : x(x), y(y), vertical(vertical) {
  type = kUnitBrett;
}

void cBrett::Update() {
  if (travel >= kSwingSteps && forward == 1)
    forward = 0;
  else if (travel < 1 && forward == 0)
    forward = 1;
  if (forward == 1) {
    y += kSpeed;
    ++travel;
  } else {
    y -= kSpeed;
    --travel;
  }
  const Rect board{Trunc(x), Trunc(y), int32_t(TextureWidth(gBrettTexture)),
                   int32_t(TextureHeight(gBrettTexture))};

  // Only a player standing or falling, not one in a jump, is caught; the player's next step
  // then stands on the board without snapping to the cell grid.
  if (!gPlayer) return;
  cPlayer& p = *gPlayer;
  if (p.jumpTimer == kJumpReady && p.speedY >= 0 &&
      PointInRect(board, Trunc(p.x + kCarryProbeX), Trunc(p.y + float(p.height)))) {
    p.y = y - float(p.height);
    p.onPlatform = true;
    p.speedY = 0.0f;
    p.skipLandingSnap = true;
  }
}

void cBrett::Draw() {
  DrawSprite(gBrettTexture, Trunc(x), Trunc(y), int32_t(TextureWidth(gBrettTexture)),
             int32_t(TextureHeight(gBrettTexture)), 0);
}
