// The player: its box, speeds, timers, power and key layout. Movement, drawing and death
// arrive with the player's own rules; the map and the frame already read these fields.
#pragma once

#include <cstdint>

#include "world/rect.h"

struct Texture;

constexpr int32_t kPlayerStartSize = 30;    // px, both ways, until the first SetPower
constexpr int32_t kPlayerStartBlink = 200;  // steps
constexpr int32_t kJumpReady = 400;         // jumpTimer value of a player ready to jump
constexpr int kPlayerFrames = 3;            // player1.png .. player3.png

class cPlayer {
 public:
  cPlayer(int32_t keyLeft, int32_t keyRight, int32_t keySpare, int32_t keyDown, int32_t keyFire,
          int32_t keyJump, int32_t maxFallSpeed);

  // One simulation step. For now it only keeps the box and the camera on the player; the
  // movement rules fill it in.
  void Update();
  void Draw(int32_t unused);
  void FollowCamera();
  void RefreshRect();

  int32_t height = kPlayerStartSize;
  int32_t width = kPlayerStartSize;
  int32_t blinkTimer = kPlayerStartBlink;
  bool facingRight = false;
  bool headBlocked = false;
  bool onGround = false;
  bool wallLeft = false;
  bool wallRight = false;
  bool onPlatform = false;
  bool jumpHeld = false;
  bool fireHeld = false;
  bool crouching = false;
  bool skipLandingSnap = false;
  float speedY = 0.0f;
  float speedX = 0.0f;
  float maxSpeedX = 0.0f;
  bool killRequest = false;
  bool dying = false;
  bool startScreenFlag = false;
  int32_t deathTimer = 0;
  float x = 0.0f;
  float y = 0.0f;
  Rect rect = {0, 0, 0, 0};
  Texture* textures[kPlayerFrames] = {};
  int32_t animFrame = 0;
  int32_t animCounter = 0;
  int32_t animStep = 1;
  int32_t jumpTimer = kJumpReady;
  int32_t jumpLength = 0;
  int32_t starTimer = 0;
  int32_t power = 0;
  int32_t maxFallSpeed;
  int32_t spinAngle = 0;
  int32_t keyLeft;
  int32_t keyRight;
  int32_t keySpare;
  int32_t keyDown;
  int32_t keyFire;
  int32_t keyJump;
};

extern cPlayer* gPlayer;
