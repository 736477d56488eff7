// The fire chains work alike: balls laid out from a centre along an angle, each one
// burning the player it touches, drawn with the first fireball's pictures.
#include "units/fire_circle.h"

#include <cmath>
#include <cstdlib>

#include "engine/random.h"
#include "engine/sprite_batch.h"
#include "engine/texture.h"
#include "player/fireballs.h"
#include "player/player.h"
#include "world/numbers.h"

namespace {

constexpr float kCentreOffset = 8.0f;  // px from the spawn corner to the chain's centre
constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr float kBallSpacing = 20.0f;  // px
constexpr float kTurnStep = 2.0f;      // degrees per step
constexpr float kFullTurn = 360.0f;    // degrees
constexpr int32_t kBarSpinStep = 2;    // degrees per step
constexpr int32_t kBarSpinLast = 359;  // degrees
constexpr float kFlySpinStep = 8.0f;   // degrees per step
constexpr float kRideReach = 128.0f;   // px above and below the start
constexpr float kDrawReach = 640.0f;   // px from the player: chains farther away are not drawn
constexpr float kFlyDrawReach = 300.0f;
constexpr int32_t kUnturned = -1;  // a spin that draws the balls upright

float RandomAngle() { return float(Random() % 360); }

// Moves a value by its step, stopping on either bound and turning the step round there.
template <typename Step>
void Swing(float& value, Step& step, float low, float high) {
  value += float(step);
  if (value < low) {
    value = low;
    step = -step;
  }
  if (value > high) {
    value = high;
    step = -step;
  }
}

const Texture* BallPicture(float frame) {
  const int index = Trunc(frame);
  if (!gFireballs[0] || index < 0 || index >= kFireballFrames) return nullptr;
  return gFireballs[0]->textures[index];
}

// The ball i of a chain: its rectangle, sized as the picture.
Rect Ball(float centerX, float centerY, float stepX, float stepY, int32_t i, float frame) {
  const Texture* picture = BallPicture(frame);
  return {Trunc(centerX + stepX * float(i)), Trunc(centerY + stepY * float(i)),
          int32_t(TextureWidth(picture)), int32_t(TextureHeight(picture))};
}

void Aim(float angle, float spacing, float& stepX, float& stepY) {
  const double radians = double(angle) * kRadiansPerDegree;
  stepX = float(std::sin(radians) * double(spacing));
  stepY = float(std::cos(radians) * double(spacing));
}

// Every ball is tested every step, near the player or not; several may burn in one step.
void Burn(float centerX, float centerY, float stepX, float stepY, int32_t balls, float frame,
          Rect& ballRect) {
  for (int32_t i = 0; i < balls; ++i) {
    ballRect = Ball(centerX, centerY, stepX, stepY, i, frame);
    if (gPlayer && !gPlayer->dying && RectsOverlap(gPlayer->rect, ballRect)) HurtPlayer();
  }
}

void Turn(float& angle) {
  angle += kTurnStep;
  if (angle >= kFullTurn) angle = 0.0f;
}

// Only chains near the player are drawn; spin < 0 draws the balls unturned.
void DrawChain(float centerX, float centerY, float stepX, float stepY, int32_t balls, float frame,
               Rect& ballRect, float reach, int32_t spin) {
  for (int32_t i = 0; i < balls; ++i) {
    ballRect = Ball(centerX, centerY, stepX, stepY, i, frame);
    const float playerX = gPlayer ? gPlayer->x : 0.0f;
    if (!(std::fabs(float(ballRect.x) - playerX) < reach)) continue;
    const Texture* picture = BallPicture(frame);
    if (spin < 0)
      DrawSprite(picture, ballRect.x, ballRect.y, ballRect.w, ballRect.h, 0);
    else
      DrawSpriteRotated(picture, ballRect.x, ballRect.y, ballRect.w, ballRect.h, 0, spin);
  }
}

}  // namespace

cFireCircle::cFireCircle(float x, float y, int32_t ballCount)
    : centerX(x + kCentreOffset),
      centerY(y + kCentreOffset),
      ballCount(ballCount),
      angle(RandomAngle()) {
  type = kUnitFireCircle;
}

void cFireCircle::Update() {
  Aim(angle, kBallSpacing, stepX, stepY);
  Burn(centerX, centerY, stepX, stepY, ballCount, frame, ballRect);
  Turn(angle);
  spin += kBarSpinStep;
  if (spin > kBarSpinLast) spin = 0;
}

void cFireCircle::Draw() {
  DrawChain(centerX, centerY, stepX, stepY, ballCount, frame, ballRect, kDrawReach, spin);
}

cFireCircle2::cFireCircle2(float x, float y, int32_t ballCount)
    : centerX(x + kCentreOffset),
      centerY(y + kCentreOffset),
      ballCount(ballCount),
      angle(RandomAngle()) {
  type = kUnitFireCircle2;
}

void cFireCircle2::Update() {
  Swing(spacing, spacingDelta, minSpacing, maxSpacing);
  Aim(angle, spacing, stepX, stepY);
  Burn(centerX, centerY, stepX, stepY, ballCount, frame, ballRect);
  Turn(angle);
}

void cFireCircle2::Draw() {
  DrawChain(centerX, centerY, stepX, stepY, ballCount, frame, ballRect, kDrawReach, kUnturned);
}

cFireCircle3::cFireCircle3(float x, float y, int32_t ballCount)
    : centerX(x + kCentreOffset),
      centerY(y + kCentreOffset),
      topY(centerY - kRideReach),
      bottomY(centerY + kRideReach),
      ballCount(ballCount),
      angle(RandomAngle()) {
  type = kUnitFireCircle3;
}

void cFireCircle3::Update() {
  Swing(centerY, speedY, topY, bottomY);
  Aim(angle, spacing, stepX, stepY);
  Burn(centerX, centerY, stepX, stepY, ballCount, frame, ballRect);
  Turn(angle);
}

void cFireCircle3::Draw() {
  DrawChain(centerX, centerY, stepX, stepY, ballCount, frame, ballRect, kDrawReach, kUnturned);
}

cFly::cFly(float x, float y, int32_t ballCount)
    : ballCount(ballCount), centerX(x), centerY(y), angle(RandomAngle()) {
  type = kUnitFly;
}

void cFly::Update() {
  Aim(angle, kBallSpacing, stepX, stepY);
  Burn(centerX, centerY, stepX, stepY, ballCount, frame, ballRect);
  Turn(angle);
  spin += kFlySpinStep;
  if (spin >= kFullTurn) spin = 0.0f;
}

void cFly::Draw() {
  DrawChain(centerX, centerY, stepX, stepY, ballCount, frame, ballRect, kFlyDrawReach, Trunc(spin));
}
