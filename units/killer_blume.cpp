// The plant's cycle: out (rise, wait, sink), hidden, then waiting until the player is away.
#include "units/killer_blume.h"

#include <cstdint>

#include "engine/sprite_batch.h"
#include "player/player.h"
#include "units/unit_textures.h"
#include "world/numbers.h"

namespace {

constexpr int32_t kPlantSize = 32;   // px
constexpr float kAnimStep = 0.05f;   // per step: the picture changes every 20 steps
constexpr int32_t kRisenAt = 45;     // phases up to this rise 1 px a step
constexpr int32_t kSinksFrom = 200;  // phases from this one sink 1 px a step
constexpr int32_t kLastOutPhase = 242;
constexpr int32_t kHiddenPhase = -150;  // steps hidden before it waits for room
constexpr float kMove = 1.0f;           // px per step
// The zone round the plant that the player must leave before it comes out again.
constexpr int32_t kZoneLeft = 32, kZoneAbove = 64;  // px
constexpr int32_t kZoneWidth = 96, kZoneHeight = 232;
// A hidden plant's box is parked at the far left of the world, where neither the player nor
// a fireball can reach it.
constexpr int32_t kParkedX = -32768;  // px

}  // namespace

cKillerBlume::cKillerBlume(float x, float y) : x(x), y(y) { type = kUnitKillerBlume; }

void cKillerBlume::Update() {
  if (dead) return;
  rect = {Trunc(x), Trunc(y), kPlantSize, kPlantSize};
  if (phase >= 1) {
    animTime += kAnimStep;
    ++phase;
    if (phase <= kRisenAt)
      y -= kMove;
    else if (phase >= kSinksFrom)
      y += kMove;
    if (phase > kLastOutPhase) phase = kHiddenPhase;
    if (gPlayer && !gPlayer->dying && RectsOverlap(rect, gPlayer->rect)) HurtPlayer();
    return;
  }
  if (phase < 0) ++phase;
  if (phase == 0) {
    rect = {rect.x - kZoneLeft, rect.y - kZoneAbove, kZoneWidth, kZoneHeight};
    if (!gPlayer || !RectsOverlap(gPlayer->rect, rect)) {
      phase = 1;
      animTime = 0.0f;
    }
  }
  rect.x = kParkedX;
}

void cKillerBlume::Draw() {
  if (dead || phase <= 0) return;
  DrawSprite(gBlumeTextures[Trunc(animTime) % 2], rect.x, rect.y, rect.w, rect.h, 0);
}
