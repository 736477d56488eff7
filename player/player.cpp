// The player object: construction, the walk animation, the camera and the drawing.
#include "player/player.h"

#include <cstdlib>

#include "engine/sprite_batch.h"
#include "engine/texture.h"
#include "player/actions.h"
#include "world/camera.h"
#include "world/numbers.h"

cPlayer* gPlayer = nullptr;
float gMetersMoved = 0.0f;

namespace {

const char* const kPlayerPictures[kPlayerFrames] = {"player1.png", "player2.png", "player3.png"};
constexpr int kJumpPicture = 2;
constexpr int32_t kBlinkPeriod = 3;         // drawn only when the blink timer is a multiple
constexpr int32_t kAnimationPatience = 10;  // steps per walk frame at a standstill
constexpr int kLastWalkFrame = 2;

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

bool cPlayer::Held(int32_t key) const { return key >= 0 && key < kActionCount && gActions[key]; }

void cPlayer::Animate() {
  ++animCounter;
  // Faster runs turn the frames faster: 10 steps a frame standing, 2 at full run.
  if (animCounter >= kAnimationPatience - std::abs(Trunc(speedX))) {
    if (animFrame == kLastWalkFrame)
      animStep = -1;
    else if (animFrame == 0)
      animStep = 1;
    animFrame += animStep;
    animCounter = 0;
  }
}

void cPlayer::FollowCamera() {
  if (dying) return;
  gCamera[0] = gCamera[3] = float(rect.x);
  gCamera[1] = gCamera[4] = float(rect.y);
  gCamera[2] = gCameraDistance;
  gCamera[5] = 0.0f;
}

void cPlayer::RefreshRect() {
  rect = {Trunc(x), Trunc(y), int32_t(kPlayerSize), int32_t(kPlayerSize)};
}

void cPlayer::Draw(int32_t) {
  if (dying) {
    DrawSpriteRotated(textures[0], Trunc(x), Trunc(y), width, height, 0, spinAngle);
    return;
  }
  if (blinkTimer % kBlinkPeriod != 0) return;
  const bool walkFrame = onGround && animFrame >= 0 && animFrame < kPlayerFrames;
  DrawSprite(textures[walkFrame ? animFrame : kJumpPicture], Trunc(x), Trunc(y), width, height, 0);
}

void ReplacePlayerForGame() {
  const float oldX = gPlayer ? gPlayer->x : 0.0f;
  const float oldY = gPlayer ? gPlayer->y : 0.0f;
  delete gPlayer;
  const int32_t* k = kGamePlayerLayout;
  gPlayer = new cPlayer(k[0], k[1], k[2], k[3], k[4], k[5], k[6]);
  gPlayer->x = float(Trunc(oldX));
  gPlayer->y = float(Trunc(oldY));
}
