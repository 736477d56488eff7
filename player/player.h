// The player: its box, speeds, timers, power and key layout, and the step that moves it
// through the tile map. player.cpp: construction, animation, camera and drawing;
// player_movement.cpp: the step; player_events.cpp: trap tiles, power, death.
#pragma once

#include <cstdint>

#include "world/rect.h"

struct Texture;

constexpr int32_t kPlayerStartSize = 30;    // px, both ways, until the first SetPower
constexpr int32_t kPlayerSize = 32;         // px, after SetPower and while crouching
constexpr int32_t kPlayerStartBlink = 200;  // steps
constexpr int32_t kJumpReady = 400;         // jumpTimer of a player ready to jump
constexpr int32_t kJumpCut = 410;           // jumpTimer when a ceiling cut the push
constexpr int kPlayerFrames = 3;            // player1.png .. player3.png
constexpr int32_t kPowerSmall = 0, kPowerBig = 1, kPowerFire = 2;

// Distance the HUD shows, in metres; the player's step writes it.
extern float gMetersMoved;

class cPlayer {
 public:
  cPlayer(int32_t keyLeft, int32_t keyRight, int32_t keySpare, int32_t keyDown, int32_t keyFire,
          int32_t keyJump, int32_t maxFallSpeed);

  void Update();
  void Draw(int32_t unused);
  void Animate();
  void FollowCamera();
  void SetPower(int32_t level);
  void StartDeath(int32_t unused);

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
  int32_t power = kPowerSmall;
  int32_t maxFallSpeed;
  int32_t spinAngle = 0;
  int32_t keyLeft;
  int32_t keyRight;
  int32_t keySpare;
  int32_t keyDown;
  int32_t keyFire;
  int32_t keyJump;

  // Pieces of the step, in step order.
  bool FeetOnSolid() const;
  void TileEvents(int32_t centreColumn, int32_t centreRow);
  void DyingStep();
  void MoveVertically();
  void RunAndFire();
  void Jump();
  void Crouch();
  void SteerAndCoast();
  void MoveHorizontally();
  void RefreshRect();
  void InvincibilityStep();
  void WarpStep();

  bool Held(int32_t key) const;
};

extern cPlayer* gPlayer;

// Shows one frame of a pipe warp (the player's first picture and the map), then waits; the
// frame's owner sets it. Without it a warp runs without pictures.
extern void (*gPresentWarpFrame)();

// The game layout: left 3, right 1, spare 2, down 4, fire 5, jump 0, fall speed cap 8.
constexpr int32_t kGamePlayerLayout[7] = {3, 1, 2, 4, 5, 0, 8};

// Swaps the start-up player for one with the game layout, keeping its whole-pixel position.
void ReplacePlayerForGame();
