// Bonus items.
#include "world/bonus.h"

#include <cstdlib>
#include <string>

#include "engine/random.h"
#include "engine/sprite_batch.h"
#include "engine/texture.h"
#include "player/player.h"
#include "world/effects.h"
#include "world/map.h"
#include "world/numbers.h"
#include "world/score.h"
#include "world/sounds.h"

cBonus* gBonuses[kBonusSlots] = {};

namespace {

constexpr float kEmergeOffset = 5.0f;  // px above the box's top
constexpr float kFallingStart = 3.0f;  // px per step: the falling poison's speed
constexpr float kWanderSpeed = 1.5f;   // px per step
constexpr float kRiseSlowdown = 0.1f;  // px per step per step after a kick
constexpr float kFallGravity = 0.05f;
constexpr float kFallCap = 2.0f;       // gravity stops adding at this speed
constexpr float kGoneBelow = 2016.0f;  // px
constexpr int32_t kStarSteps = 500;
constexpr int32_t kFirePoints = 1000;

Texture* gBonusTextures[kBonusKinds] = {};

int32_t Solid(float x, float y) { return gMap ? gMap->SolidAt(Trunc(x), Trunc(y)) : 0; }

}  // namespace

cBonus::cBonus() {
  if (!gBonusTextures[0])
    for (int i = 0; i < kBonusKinds; ++i)
      gBonusTextures[i] = LoadTexture("bonus" + std::to_string(i + 1) + ".png");
}

void cBonus::Spawn(int32_t column, int32_t row, int32_t newKind) {
  x = float(column * 32);
  y = float(row * 32) - kEmergeOffset;
  kind = newKind;
  active = true;
  if (kind == kBonusFalling) {
    riseCounter = kRiseSteps;
    speedX = 0.0f;
    speedY = kFallingStart;
  } else {
    riseCounter = 0;
    speedY = 0.0f;
    speedX = Random() % 2 == 0 ? kWanderSpeed : -kWanderSpeed;
  }
  PlaySound(kSoundOutput);
}

void cBonus::Update() {
  if (!active) return;
  rect = {Trunc(x), Trunc(y), 32, 32};
  if (riseCounter < kRiseSteps) {
    ++riseCounter;
    y -= 1.0f;
    return;
  }
  if (kind == kBonusFalling) {
    onGround = wallLeft = wallRight = false;
    ceiling = true;
  } else {
    onGround = Solid(x + 10, y + 32) + Solid(x + 22, y + 32) != 0;
    wallLeft = Solid(x, y + 22) != 0;
    wallRight = Solid(x + 32, y + 22) != 0;
    ceiling = Solid(x + 20, y - 5) != 0;
  }
  if (wallLeft || wallRight) speedX = -speedX;
  if (speedY < 0) {
    speedY += kRiseSlowdown;
  } else if (onGround) {
    speedY = 0;
  } else {
    y += speedY;
    if (speedY < kFallCap) speedY += kFallGravity;
  }
  x += speedX;
  angle += speedX;
  if (angle > 360) angle = 0;
  if (angle < 0) angle = 360;
  // A falling item moves twice a step; a rising one stops under a ceiling.
  if (speedY >= 0 || !ceiling) y += speedY;
  if (y > kGoneBelow) active = false;

  cPlayer* player = gPlayer;
  if (!player || player->dying || !RectsOverlap(rect, player->rect)) return;
  switch (kind) {
    case kBonusGrow:
      player->SetPower(kPowerBig);
      if (gPopups) gPopups->AddPopup(Trunc(player->x), Trunc(player->y), kPopupFatter);
      active = false;
      break;
    case kBonusFire:
      if (player->power == kPowerFire) {
        if (gPopups) gPopups->AddPopup(Trunc(x), Trunc(y), kFirePoints);
        PlaySound(kSoundKick);
      } else {
        player->SetPower(kPowerFire);
      }
      active = false;
      break;
    case kBonusStar:
      player->starTimer += kStarSteps;
      active = false;
      break;
    case kBonusLife:
      PlaySound(kSoundOneUp);
      ++gLives;
      if (gPopups) gPopups->AddPopup(Trunc(x), Trunc(y), kPopupOneUp);
      active = false;
      break;
    default:
      player->StartDeath(0);
      break;
  }
}

void cBonus::Draw() {
  if (!active || kind < 0 || kind >= kBonusKinds) return;
  DrawSpriteRotated(gBonusTextures[kind], rect.x, rect.y, 32, 32, 0, Trunc(angle));
}

cBonus* FirstFreeBonus() {
  for (cBonus* bonus : gBonuses)
    if (bonus && !bonus->active) return bonus;
  return nullptr;
}

void DeactivateBonuses() {
  for (cBonus* bonus : gBonuses)
    if (bonus) bonus->active = false;
}
