// The player's step: input to speeds, probes against the tile map, jumps and the moves.
#include <cmath>

#include "player/actions.h"
#include "player/fireballs.h"
#include "player/player.h"
#include "world/blocks.h"
#include "world/map.h"
#include "world/numbers.h"
#include "world/sounds.h"

namespace {

constexpr float kMinX = 32.0f, kMinY = 32.0f;  // px: the player never stays left or above
constexpr float kMaxX = 131040.0f;             // px: 4095 x 32
constexpr float kDeathY = 2016.0f;             // px: falling past this starts the death
constexpr float kMetresOrigin = 160.0f;        // px
constexpr float kPixelsPerMetre = 100.0f;
constexpr int32_t kSpinStep = 10, kSpinTurn = 359;  // degrees
constexpr int32_t kProbeInset = 3;  // px in from the box's sides; also the feet's depth
constexpr int32_t kWallGap = 1;     // px beyond the box
constexpr double kWallHighDivisor = 1.25;
constexpr int32_t kWallLowDivisor = 4;
constexpr float kGravity = 0.5f;             // px per step per step
constexpr float kJumpPushSpeed = 8.0f;       // px per step, upwards, while the push lasts
constexpr double kJumpLengthPerSpeed = 1.4;  // push steps per px/step of run speed
constexpr double kJumpLengthBase = 12.0;     // push steps of a standing jump
constexpr double kAcceleration = 0.2;        // px per step per step with left or right held
constexpr double kDeceleration = 0.05;       // px per step per step when coasting
constexpr double kCoastStop = 0.04;          // speeds this small are left alone
constexpr float kWalkSpeed = 4.0f, kRunSpeed = 8.0f;  // px per step
constexpr int32_t kConveyorShift = 3;                 // px per step
constexpr int32_t kHeadBumpInset = 5;                 // px
// px below the player's top: the ball's bottom at the feet, so a throw from the ground starts
// above the floor and hops along it.
constexpr int32_t kFireballDrop = 16;
constexpr int32_t kFireballSpeed = 3;  // px per step

int32_t Solid(int32_t x, int32_t y) { return gMap ? gMap->SolidAt(x, y) : 0; }

// Whether two probes meet anything, summed as the game always has but wide enough for any
// level value: two huge ground values must not wrap round to nothing.
bool AnySolid(int32_t a, int32_t b) { return int64_t(a) + int64_t(b) != 0; }

}  // namespace

bool cPlayer::FeetOnSolid() const {
  const int32_t footY = Trunc(y + kProbeInset + height);
  return AnySolid(Solid(Trunc(x + kProbeInset), footY),
                  Solid(Trunc(x + width - kProbeInset), footY));
}

void cPlayer::Update() {
  gMetersMoved = x > kMetresOrigin ? (x - kMetresOrigin) / kPixelsPerMetre : 0.0f;
  if (blinkTimer != 0) --blinkTimer;
  if (x < kMinX) x = kMinX;
  if (x > kMaxX) x = kMaxX;
  if (y < kMinY) y = kMinY;
  if (y > kDeathY) StartDeath(0);
  FollowCamera();
  spinAngle = spinAngle <= kSpinTurn ? spinAngle + kSpinStep : 0;
  if (dying) {
    DyingStep();
    return;
  }

  onGround = onPlatform || FeetOnSolid();
  const int32_t centreColumn = Trunc((x + 16) / 32), centreRow = Trunc((y + 16) / 32);
  TileEvents(centreColumn, centreRow);
  if (gMap && CellInGrid(centreColumn, centreRow) &&
      gMap->triggerLayer[CellIndex(centreColumn, centreRow)] >= 0)
    gMap->FireTrigger(centreColumn, centreRow);

  headBlocked = AnySolid(Solid(Trunc(x + kProbeInset), Trunc(y)),
                         Solid(Trunc(x + width - kProbeInset), Trunc(y)));
  // The walls are probed where the previous step's speed would take the box.
  const int32_t wallHigh = Trunc(double(y) + double(height) / kWallHighDivisor);
  const int32_t wallLow = Trunc(y + float(height / kWallLowDivisor));
  const int32_t leftColumn = Trunc(x + speedX - kWallGap);
  const int32_t rightColumn = Trunc(x + width + speedX + kWallGap);
  wallLeft = AnySolid(Solid(leftColumn, wallHigh), Solid(leftColumn, wallLow));
  wallRight = AnySolid(Solid(rightColumn, wallHigh), Solid(rightColumn, wallLow));
  onPlatform = false;

  const int32_t footY = Trunc(y + kProbeInset + height);
  if ((Solid(Trunc(x), footY) == kBlockWalkwayRight ||
       Solid(Trunc(x + width), footY) == kBlockWalkwayRight) &&
      !wallRight)
    x += kConveyorShift;
  if ((Solid(Trunc(x + 20), footY) == kBlockWalkwayLeft ||
       Solid(Trunc(x + width), footY) == kBlockWalkwayLeft) &&
      !wallLeft)
    x -= kConveyorShift;

  if (gBlockHitCooldown < 0) {
    if (speedY < 0 && gMap)
      gMap->HeadBump(Trunc(x + kHeadBumpInset), Trunc(y), Trunc(x + width - kHeadBumpInset),
                     Trunc(y));
  } else {
    --gBlockHitCooldown;
  }

  MoveVertically();
  RunAndFire();
  Jump();
  Crouch();
  SteerAndCoast();
  MoveHorizontally();
  RefreshRect();
  InvincibilityStep();
  WarpStep();
}

void cPlayer::MoveVertically() {
  if (speedY >= 0) {
    if (onGround) {
      speedY = 0;
      jumpTimer = kJumpReady;
      if (skipLandingSnap) {
        skipLandingSnap = false;
      } else {
        // Feet onto the top of the cell row below the box's middle.
        y = float((Trunc((y - 16) / 32) + 2) * 32 - height);
      }
    } else {
      y += speedY;
      if (speedY < float(maxFallSpeed)) speedY += kGravity;
    }
  } else if (headBlocked) {
    speedY = 0;
  } else {
    y += speedY;
    speedY += kGravity;
  }
}

void cPlayer::RunAndFire() {
  if (!Held(keyFire)) {
    maxSpeedX = kWalkSpeed;
    fireHeld = false;
    return;
  }
  maxSpeedX = kRunSpeed;
  if (!fireHeld && power == kPowerFire)
    ThrowFireball(Trunc(x), Trunc(y + kFireballDrop),
                  facingRight ? kFireballSpeed : -kFireballSpeed);
  fireHeld = true;
}

void cPlayer::Jump() {
  if (!Held(keyJump)) {
    if (jumpHeld) {
      jumpTimer = kJumpReady;
      jumpHeld = false;
    }
    return;
  }
  if (!jumpHeld && jumpTimer == kJumpReady && onGround) {
    jumpLength = Trunc(std::fabs(double(speedX) * kJumpLengthPerSpeed) + kJumpLengthBase);
    PlaySound(kSoundJump);
    jumpTimer = 0;
  }
  if (jumpTimer < jumpLength) {
    if (headBlocked) jumpTimer = kJumpCut;
    speedY = -kJumpPushSpeed;
    ++jumpTimer;
  }
  jumpHeld = true;
}

void cPlayer::Crouch() {
  if (Held(keyDown)) {
    if (!crouching) {
      y += float(height - kPlayerSize);
      height = kPlayerSize;
    }
    crouching = true;
  } else if (crouching) {
    animFrame = 0;
    height = kPlayerSize;
    crouching = false;
  }
}

void cPlayer::SteerAndCoast() {
  // Left is asked first, so it wins when both are held.
  if (Held(keyLeft) && !crouching) {
    speedX = float(double(speedX) - kAcceleration);
    facingRight = false;
    Animate();
  } else if (Held(keyRight) && !crouching) {
    speedX = float(double(speedX) + kAcceleration);
    facingRight = true;
    Animate();
  } else {
    maxSpeedX = kWalkSpeed;
    const bool animate = !Held(keyDown);
    if (double(speedX) < -kCoastStop) {
      speedX = float(double(speedX) + kDeceleration);
      if (animate) Animate();
    } else if (double(speedX) > kCoastStop) {
      speedX = float(double(speedX) - kDeceleration);
      if (animate) Animate();
    } else {
      animFrame = 0;
    }
  }
  if (speedX >= maxSpeedX)
    speedX = maxSpeedX;
  else if (speedX <= -maxSpeedX)
    speedX = -maxSpeedX;
}

void cPlayer::MoveHorizontally() {
  // A wall stops only the side the speed points to.
  const bool blocked = speedX < 0 ? wallLeft : wallRight;
  if (blocked)
    speedX = 0;
  else
    x += speedX;
}
