// The shared walker step and the crawler and spiky on top of it.
#include "units/enemy.h"

#include "engine/sprite_batch.h"
#include "player/player.h"
#include "units/turtle.h"
#include "units/unit_textures.h"
#include "world/camera.h"
#include "world/effects.h"
#include "world/map.h"
#include "world/numbers.h"
#include "world/sounds.h"

namespace {

constexpr int32_t kEnemySize = 32;       // px, both ways
constexpr int32_t kProbeInset = 3;       // px in from the sides; also how far below the feet
constexpr int32_t kWallGap = 1;          // px beyond the sides
constexpr int32_t kHighWallDivisor = 2;  // wall probes at half ...
constexpr int32_t kLowWallDivisor = 4;   // ... and a quarter of the height
constexpr float kGravity = 0.4f;         // px per step per step
constexpr float kGravityStops = 8.0f;    // px per step: gravity adds nothing past this fall
constexpr int32_t kSquashedSteps = 199;  // a squashed crawler lies this long, then is gone
constexpr float kKnockLift = 32.0f;      // px: a knocked enemy jumps up a cell first
constexpr int32_t kFrameSteps = 11;      // the picture changes once the counter passes this
constexpr float kStomperWidth = 32.0f;   // px: the landing test takes every player as 32 wide
constexpr int32_t kCrawlerPoints = 100;
constexpr int32_t kSpikyPoints = 250;

int32_t Solid(float x, float y) { return gMap ? gMap->SolidAt(Trunc(x), Trunc(y)) : 0; }

}  // namespace

cEnemy::cEnemy(float x, float y) : x(x), y(y), rect{Trunc(x), Trunc(y), 1, 1} {}

bool cEnemy::PlayerTouchesLeftHalf() const {
  const cPlayer& p = *gPlayer;
  const float right = p.x + float(p.width), feet = p.y + float(p.height);
  // Feet exactly at the middle count as a landing only (strictly below it is the side), or
  // a stomp would hurt the stomper in the same step.
  return right >= x && right <= x + float(width / 2) && feet > y + float(height / 2) &&
         p.y <= y + float(height);
}

bool cEnemy::PlayerTouchesRightHalf() const {
  const cPlayer& p = *gPlayer;
  const float feet = p.y + float(p.height);
  return p.x >= x + float(width / 2) && p.x <= x + float(width) && feet > y + float(height / 2) &&
         p.y <= y + float(height);
}

bool EnemiesOverlap(const cEnemy& a, const cEnemy& b) {
  const Rect ra{Trunc(a.x), Trunc(a.y), int32_t(a.width), int32_t(a.height)};
  const Rect rb{Trunc(b.x), Trunc(b.y), int32_t(b.width), int32_t(b.height)};
  return RectsOverlap(ra, rb);
}

void cEnemy::Update() {
  if (dead) return;
  if (squashTimer > 0) {
    if (++squashTimer > kSquashedSteps) dead = true;
  } else {
    const float feet = y + float(height + kProbeInset);
    onGround =
        Solid(x + kProbeInset, feet) != 0 || Solid(x + float(width - kProbeInset), feet) != 0;
    const float high = y + float(height / kHighWallDivisor),
                low = y + float(height / kLowWallDivisor);
    wallLeft = Solid(x - kWallGap, high) != 0 || Solid(x - kWallGap, low) != 0;
    wallRight = Solid(x + float(width + kWallGap), high) != 0 ||
                Solid(x + float(width + kWallGap), low) != 0;
    pitAhead = gMap && gMap->OpenBelow(Trunc(x + float(speedX)), Trunc(y));

    if (knockedOff) {
      // Falls through everything, keeping its sideways speed (no pit turns it back either),
      // until it has left the bottom of the view, or of the map.
      onGround = wallLeft = wallRight = pitAhead = false;
      if (float(rect.y) >= VisibleView().bottom || rect.y >= kMapRows * kCellSize) dead = true;
    } else if (gPlayer) {
      const cPlayer& p = *gPlayer;
      const float feetOfPlayer = p.y + float(p.height);
      if (p.x + kStomperWidth >= x && p.x <= x + float(width) && feetOfPlayer >= y &&
          feetOfPlayer <= y + float(height / 2))
        Stomp();
    }

    if ((wallLeft && speedX < 0) || (wallRight && speedX > 0) || (pitAhead && !walksOffEdges))
      speedX = -speedX;

    if (!onGround) {
      y += speedY;
      if (speedY < kGravityStops) speedY += kGravity;
    } else {
      speedY = 0;
      // Feet onto the top of the cell below the middle of the body.
      y = float((Trunc((y - float(height / 2)) / float(kCellSize)) + 2) * kCellSize - height);
    }

    x += float(speedX);
    Touch();

    // A shell in the way turns walkers back (a shell never turns on itself).
    for (int slot = 0; slot < kUnitSlots; ++slot) {
      const cBaseUnit* unit = gUnits[slot];
      if (!unit || unit->type != kUnitTurtle) continue;
      const cTurtle& shell = *static_cast<const cTurtle*>(unit);
      if (shell.dead || shell.shellTimer == 0 || shell.rect.x == rect.x ||
          !EnemiesOverlap(shell, *this))
        continue;
      speedX = -speedX;
      x += float(2 * speedX);
    }

    if (++animCounter > kFrameSteps) {
      animFrame = 1 - animFrame;
      animCounter = 0;
    }
  }
  rect.x = Trunc(x);
  rect.y = Trunc(y);
}

void cEnemy::Bump() {
  knockedOff = true;
  y -= kKnockLift;
  if (gPopups) gPopups->AddPopup(Trunc(x), Trunc(y), points);
  PlayUnitSound(kSoundKick, x, y);
  if (gBurst) gBurst->AddBurst(Trunc(x), Trunc(y));
}

void cEnemy::Draw() { Render(); }

cCrawler::cCrawler(float x, float y) : cEnemy(x, y) {
  type = kUnitCrawler;
  width = height = kEnemySize;
  points = kCrawlerPoints;
}

void cCrawler::Touch() {
  if (!knockedOff && gPlayer && (PlayerTouchesRightHalf() || PlayerTouchesLeftHalf())) HurtPlayer();
}

void cCrawler::Stomp() {
  ++squashTimer;
  gPlayer->speedY = kStompBounce;
  PlayUnitSound(kSoundStomp, x, y);
  if (gPopups) gPopups->AddPopup(Trunc(x), Trunc(y), points);
  if (gBurst) gBurst->AddBurst(Trunc(x), Trunc(y));
}

void cCrawler::Render() {
  if (dead || squashTimer != 0) return;
  DrawSprite(gCrawlerTextures[animFrame], rect.x, rect.y, width, height, speedX >= 0 ? 1 : 0);
}

cSpiky::cSpiky(float x, float y) : cEnemy(x, y) {
  type = kUnitSpiky;
  width = height = kEnemySize;
  points = kSpikyPoints;
}

void cSpiky::Touch() {
  if (!knockedOff && gPlayer && (PlayerTouchesRightHalf() || PlayerTouchesLeftHalf())) HurtPlayer();
}

void cSpiky::Stomp() { HurtPlayer(); }

void cSpiky::Render() {
  if (dead) return;
  DrawSprite(gSpikyTextures[animFrame], rect.x, rect.y, width, height, speedX >= 0 ? 1 : 0);
}
