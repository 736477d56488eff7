// The cannon's shot, the bullet's flight, its stomp and its fall.
#include "units/cannon.h"

#include <cstdlib>

#include "engine/random.h"
#include "engine/sprite_batch.h"
#include "player/player.h"
#include "units/unit_textures.h"
#include "world/effects.h"
#include "world/numbers.h"
#include "world/sounds.h"

namespace {

constexpr int32_t kShotInterval = 400;  // steps: the first step after a spawn fires
constexpr double kMuzzleDrop = 9.0;     // px below the cannon's top
constexpr int32_t kMuzzleReach = 30;    // px beside the cannon where the bullet starts
constexpr int32_t kBulletSpeed = 3;     // px per step
constexpr int32_t kStompSlowdown = 3;   // a stomped bullet drifts at a third of its speed
constexpr int32_t kBulletSize = 32;     // px
constexpr int32_t kStomperWidth = 32;   // px
constexpr int32_t kStompBand = 12;      // px: feet within the bullet's top this deep land
constexpr int32_t kBulletPoints = 150;
constexpr int32_t kFallSpeed = 4;        // px per step, a stomped bullet
constexpr int32_t kBulletGoneY = 2047;   // px: below this a stomped bullet flies again
constexpr int32_t kShotAfterFall = 250;  // fireTimer then: the next shot 150 steps away

enum Picture { kCannonPicture, kBulletRightPicture, kBulletLeftPicture };

}  // namespace

cCannon::cCannon(float x, float y) : x(x), y(y) { type = kUnitCannon; }

void cCannon::Update() {
  ++fireTimer;
  const Rect bullet{Trunc(bulletX), Trunc(bulletY), kBulletSize, kBulletSize};
  if (fireTimer >= kShotInterval) {
    bulletX = Trunc(x);
    bulletY = Trunc(double(y) + kMuzzleDrop);
    PlayUnitSound(kSoundCannon, x, y);
    bulletSpeedX = gPlayer && gPlayer->x < x ? -kBulletSpeed : kBulletSpeed;
    bulletX += bulletSpeedX < 1 ? -kMuzzleReach : kMuzzleReach;
    fireTimer = Random() % kShotInterval;
  }
  bulletX += bulletSpeedX;

  if (bulletState == 0) {
    if (!gPlayer) return;
    cPlayer& p = *gPlayer;
    const float feet = p.y + float(p.height);
    if (p.x + float(kStomperWidth) >= float(bulletX) && p.x <= float(bulletX + kBulletSize) &&
        feet >= float(bulletY) && feet <= float(bulletY + kStompBand)) {
      bulletState = 1;
      bulletSpeedX /= kStompSlowdown;
      p.speedY = kStompBounce;
      PlayUnitSound(kSoundStomp, float(bulletX), float(bulletY));
      if (gPopups) gPopups->AddPopup(bulletX, bulletY, kBulletPoints);
      return;
    }
    if (RectsOverlap(p.rect, bullet)) HurtPlayer();
    return;
  }
  ++bulletState;
  bulletY += kFallSpeed;
  if (bulletY > kBulletGoneY) {
    bulletState = 0;
    bulletX += kUnitScreenWidth;
    fireTimer = kShotAfterFall;
  }
}

void cCannon::Draw() {
  DrawSprite(gCannonTextures[kCannonPicture], Trunc(x), Trunc(y), kBulletSize, kBulletSize, 0);
  const int picture = bulletSpeedX < 0 ? kBulletLeftPicture : kBulletRightPicture;
  DrawSprite(gCannonTextures[picture], bulletX, bulletY, kBulletSize, kBulletSize, 0);
}
