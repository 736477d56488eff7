// The player object.
#include "player/player.h"

#include "engine/sprite_batch.h"
#include "engine/texture.h"
#include "world/camera.h"

cPlayer* gPlayer = nullptr;

namespace {
const char* const kPlayerPictures[kPlayerFrames] = {"player1.png", "player2.png", "player3.png"};
constexpr uint16_t kPlayerRectSize = 32;  // px: every overlap test uses a 32 x 32 box
constexpr int kJumpPicture = 2;
constexpr int32_t kBlinkPeriod = 3;  // drawn only when the blink timer is a multiple of this

// Float positions far off the map would not fit an int.
int32_t Truncate(float value) {
  if (!(value > -2e9f && value < 2e9f)) return 0;
  return int32_t(value);
}
}  // namespace

cPlayer::cPlayer(int32_t keyLeft, int32_t keyRight, int32_t keySpare, int32_t keyDown,
                 int32_t keyFire, int32_t keyJump, int32_t maxFallSpeed)
    : maxFallSpeed(maxFallSpeed),
      keyLeft(keyLeft),
      keyRight(keyRight),
      keySpare(keySpare),
      keyDown(keyDown),
      keyFire(keyFire),
      keyJump(keyJump) {
  for (int i = 0; i < kPlayerFrames; ++i) textures[i] = LoadTexture(kPlayerPictures[i]);
}

void cPlayer::Update() {
  FollowCamera();
  RefreshRect();
}

void cPlayer::RefreshRect() {
  rect = {int16_t(uint16_t(uint32_t(Truncate(x)))), int16_t(uint16_t(uint32_t(Truncate(y)))),
          kPlayerRectSize, kPlayerRectSize};
}

void cPlayer::FollowCamera() {
  if (dying) return;
  gCamera[0] = gCamera[3] = float(rect.x);
  gCamera[1] = gCamera[4] = float(rect.y);
  gCamera[2] = gCameraDistance;
  gCamera[5] = 0.0f;
}

void cPlayer::Draw(int32_t) {
  if (dying) {
    DrawSpriteRotated(textures[0], Truncate(x), Truncate(y), width, height, 0, spinAngle);
    return;
  }
  if (blinkTimer % kBlinkPeriod != 0) return;
  const int frame =
      onGround && animFrame >= 0 && animFrame < kPlayerFrames ? animFrame : kJumpPicture;
  DrawSprite(textures[frame], Truncate(x), Truncate(y), width, height, 0);
}
