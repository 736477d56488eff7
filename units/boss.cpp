// The boss's step: waking, pacing between walls and pits, leaping at the player, the stomp
// and the fireball that hurt it, the contact that hurts the player, and its fall.
#include "units/boss.h"

#include <cmath>

#include "engine/gl_setup.h"
#include "engine/sprite_batch.h"
#include "player/player.h"
#include "units/unit_textures.h"
#include "world/effects.h"
#include "world/map.h"
#include "world/numbers.h"
#include "world/sounds.h"

namespace {

constexpr int32_t kBossSize = 64;       // px, both ways
constexpr int32_t kBodyInset = 6;       // px in from each side: the box that hurts the player
constexpr int32_t kStompBand = 20;      // px: feet within the top this deep land on it
constexpr float kStomperWidth = 32.0f;  // px: the landing test takes every player as 32 wide
constexpr int32_t kWakeReach = 320;     // px between the player and the boss that wake it
constexpr float kPaceSpeed = 1.0f;      // px per step, unhurt
constexpr float kAngerSpeedUp = 0.5f;   // px per step faster for every stomp taken
constexpr int32_t kLeapEvery = 150;     // steps on the ground between leaps
constexpr float kLeapLift = -9.0f;      // px per step up at the start of a leap
constexpr float kLeapReach = 48.0f;     // px beyond its front that a leap may carry it
constexpr float kGravity = 0.4f;        // px per step per step
constexpr float kMaxFall = 8.0f;        // px per step
constexpr int32_t kFullHealth = 6;
constexpr int32_t kStompDamage = 2;
constexpr int32_t kFireDamage = 1;
constexpr int32_t kHurtSteps = 90;   // the flash after a hit
constexpr int32_t kFlashSteps = 4;   // the hurt picture and the plain one alternate
constexpr int32_t kFrameSteps = 12;  // steps a walking picture stands
constexpr float kFallLift = -7.0f;   // px per step up when it is beaten, then it drops
constexpr int32_t kHitPoints = 500;
constexpr int32_t kBeatenPoints = 5000;

enum Picture { kStepPicture, kOtherStepPicture, kHurtPicture };

int32_t Solid(float x, float y) { return gMap ? gMap->SolidAt(Trunc(x), Trunc(y)) : 0; }

}  // namespace

cBoss::cBoss(float x, float y) : x(x), y(y), speedX(-kPaceSpeed), health(kFullHealth) {
  type = kUnitBoss;
  rect = {Trunc(x), Trunc(y), kBossSize, kBossSize};
}

bool cBoss::Strike() {
  if (!InPlay() || hurtTimer > 0) return false;
  awake = true;
  Hurt(kFireDamage);
  return true;
}

void cBoss::Hurt(int32_t damage) {
  health -= damage;
  hurtTimer = kHurtSteps;
  if (gBurst) gBurst->AddBurst(Trunc(x) + kBossSize / 2, Trunc(y) + kBossSize / 2);
  if (health > 0) {
    PlayUnitSound(kSoundKick, x, y);
    if (gPopups) gPopups->AddPopup(Trunc(x), Trunc(y), kHitPoints);
    // Every hit makes it pace faster.
    const float pace =
        kPaceSpeed + kAngerSpeedUp * float(kFullHealth - health) / float(kStompDamage);
    speedX = speedX < 0 ? -pace : pace;
    return;
  }
  health = 0;
  speedY = kFallLift;
  PlayUnitSound(kSoundShell, x, y);
  if (gPopups) gPopups->AddPopup(Trunc(x), Trunc(y), kBeatenPoints);
}

void cBoss::Update() {
  if (dead) return;
  if (health <= 0) {
    // Beaten: up a little, then down through everything, off the bottom of the map.
    y += speedY;
    if (speedY < kMaxFall) speedY += kGravity;
    if (y >= float(kMapRows * kCellSize)) dead = true;
    rect = {Trunc(x), Trunc(y), kBossSize, kBossSize};
    return;
  }
  if (!gPlayer) return;
  cPlayer& p = *gPlayer;
  if (!awake) {
    if (std::fabs(p.x - x) > float(kWakeReach)) return;
    awake = true;
    speedX = p.x < x ? -kPaceSpeed : kPaceSpeed;
  }
  if (hurtTimer > 0) --hurtTimer;

  // The floor first, probed like a walker's but for its double size: a landing stands it on
  // the cell's top before the walls are looked for.
  float feet = y + float(kBossSize + 1);
  onGround =
      Solid(x + kBodyInset, feet) != 0 || Solid(x + float(kBossSize - kBodyInset), feet) != 0;
  if (onGround && speedY >= 0) {
    speedY = 0;
    y = float((Trunc(feet) / kCellSize) * kCellSize - kBossSize);
    feet = y + float(kBossSize + 1);
  } else {
    onGround = false;
    if (speedY < 0 && Solid(x + float(kBossSize / 2), y - 1) != 0) speedY = 0;  // its head
    y += speedY;
    if (speedY < kMaxFall) speedY += kGravity;
    // Feet sunk into the floor: up onto it at once, or the floor would pass for a wall.
    const float sunk = y + float(kBossSize);
    if (speedY > 0 &&
        (Solid(x + kBodyInset, sunk) != 0 || Solid(x + float(kBossSize - kBodyInset), sunk) != 0)) {
      y = float((Trunc(sunk) / kCellSize) * kCellSize - kBossSize);
      speedY = 0;
      onGround = true;
    }
    feet = y + float(kBossSize + 1);
  }
  const float high = y + float(kBossSize / 4), low = y + float(kBossSize - kBodyInset);
  const bool wallLeft = Solid(x - 1, high) != 0 || Solid(x - 1, low) != 0;
  const bool wallRight =
      Solid(x + float(kBossSize + 1), high) != 0 || Solid(x + float(kBossSize + 1), low) != 0;
  const float ahead = speedX < 0 ? x - 1 : x + float(kBossSize + 1);
  const bool pitAhead = onGround && Solid(ahead, feet) == 0;
  if ((wallLeft && speedX < 0) || (wallRight && speedX > 0) || pitAhead) speedX = -speedX;

  // A leap towards the player now and then, so it cannot simply be jumped over; never one
  // that would carry it off its floor.
  if (onGround && speedY == 0) {
    const float pace = std::fabs(speedX);
    const float towards = p.x < x ? -pace : pace;
    const float landing = towards < 0 ? x - kLeapReach : x + float(kBossSize + kLeapReach);
    if (++leapTimer >= kLeapEvery && Solid(landing, feet) != 0) {
      leapTimer = 0;
      speedY = kLeapLift;
      speedX = towards;
    }
  }
  const bool blocked = (speedX < 0 && wallLeft) || (speedX > 0 && wallRight);
  if (!blocked) x += speedX;
  rect = {Trunc(x), Trunc(y), kBossSize, kBossSize};
  ++animCounter;

  if (p.dying) return;
  const float playerFeet = p.y + float(p.height);
  const bool over = p.x + kStomperWidth >= x && p.x <= x + float(kBossSize);
  if (over && p.speedY >= 0 && playerFeet >= y && playerFeet <= y + float(kStompBand)) {
    p.speedY = kStompBounce;
    if (hurtTimer > 0) return;  // still reeling: a bounce, no harm either way
    PlayUnitSound(kSoundStomp, x, y);
    Hurt(kStompDamage);
    return;
  }
  const Rect body{rect.x + kBodyInset, rect.y + kBodyInset, kBossSize - 2 * kBodyInset,
                  kBossSize - kBodyInset};
  if (hurtTimer == 0 && RectsOverlap(p.rect, body)) HurtPlayer();
}

void cBoss::Draw() {
  if (dead) return;
  int picture = (animCounter / kFrameSteps) % 2 ? kOtherStepPicture : kStepPicture;
  if (!onGround) picture = kStepPicture;
  if (hurtTimer > 0 && (hurtTimer / kFlashSteps) % 2) picture = kHurtPicture;
  // The pictures face left; a beaten boss falls on its back.
  const int32_t flip = (speedX > 0 ? kFlipHorizontal : 0) | (health <= 0 ? kFlipVertical : 0);
  DrawSprite(gBossTextures[picture], rect.x, rect.y, kBossSize, kBossSize, flip);
}
