// The fireballs' throw, hop, range and the sweeps with which they strike units.
#include "player/fireballs.h"

#include <string>

#include "engine/sprite_batch.h"
#include "engine/texture.h"
#include "units/unit_table.h"
#include "world/camera.h"
#include "world/map.h"
#include "world/numbers.h"
#include "world/sounds.h"

cFireball* gFireballs[kFireballCount] = {};

namespace {

constexpr int32_t kSpeedPerDirection = 3;  // the player's ±3 throws at ±9 px per step
constexpr float kLaunchSpeedY = 3.0f;      // px per step, down
constexpr double kFrameStep = 0.2;         // each picture shows for 5 steps
constexpr float kFrameWrap = 4.0f;
constexpr float kWallProbeDrop = 2.0f;  // px below the top
constexpr float kFarProbeX = 20.0f;     // px right of the left edge
constexpr float kFloorProbeX = 10.0f;   // px right of the left edge ...
constexpr float kFloorProbeY = 20.0f;   // ... and below the top
constexpr float kHopSpeed = -5.0f;      // px per step, before this step's gravity
constexpr float kGravity = 0.5f;        // px per step per step
// The range the fireball may fly in is what the camera shows, widened by these margins; so it
// flies the same anywhere along the map.
constexpr float kRangeLeftMargin = 30.0f;   // px beyond the view's left edge
constexpr float kRangeRightMargin = 50.0f;  // px beyond the view's right edge

int32_t Solid(float x, float y) { return gMap ? gMap->SolidAt(Trunc(x), Trunc(y)) : 0; }

}  // namespace

cFireball::cFireball() {
  for (int i = 0; i < kFireballFrames; ++i)
    textures[i] = LoadTexture("fire" + std::to_string(i + 1) + ".png");
}

bool cFireball::Launch(int32_t x, int32_t y, int32_t direction) {
  if (active) return false;
  PlaySound(kSoundFireball);
  this->x = float(x);
  this->y = float(y);
  active = true;
  speedX = float(direction * kSpeedPerDirection);
  speedY = kLaunchSpeedY;
  frame = 0.0f;
  return true;
}

void cFireball::Update() {
  if (!active) return;
  frame = float(double(frame) + kFrameStep);
  if (frame >= kFrameWrap) frame = 0.0f;
  hitWall = int64_t(Solid(x, y + kWallProbeDrop)) + Solid(x + kFarProbeX, y + kWallProbeDrop) != 0;
  hitFloor = Solid(x + kFloorProbeX, y + kFloorProbeY) != 0;
  x += speedX;
  y += speedY;
  if (hitFloor) speedY = kHopSpeed;
  speedY += kGravity;
  rect.x = Trunc(x);
  rect.y = Trunc(y);
  const CameraView view = VisibleView();
  if (hitWall || float(rect.x) < view.left - kRangeLeftMargin ||
      float(rect.x) > view.right + kRangeRightMargin)
    active = false;
  const Texture* picture = textures[Trunc(frame)];
  rect.w = int32_t(TextureWidth(picture));
  rect.h = int32_t(TextureHeight(picture));
  // The sweeps run even for a fireball that just went out: its last step still strikes.
  if (StrikeUnitsTouching(rect) > 0) active = false;
}

void cFireball::Draw() {
  if (!active) return;
  const Texture* picture = textures[Trunc(frame)];
  rect.w = int32_t(TextureWidth(picture));
  rect.h = int32_t(TextureHeight(picture));
  DrawSprite(picture, rect.x, rect.y, rect.w, rect.h, 0);
}

void ThrowFireball(int32_t x, int32_t y, int32_t direction) {
  if (gFireballs[0] && gFireballs[0]->Launch(x, y, direction)) return;
  if (gFireballs[1]) gFireballs[1]->Launch(x, y, direction);
}
