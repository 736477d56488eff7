// The walking enemies: what every walker shares (gravity, walls, pits, landing players,
// knock-offs, two-frame animation), and the crawler and the spiky built on it.
#pragma once

#include "units/base_unit.h"
#include "world/rect.h"

class cEnemy : public cBaseUnit {
 public:
  cEnemy(float x, float y);

  void Update() override;
  // Knocked from below, by a shell, a fireball or the invincible player: off the screen.
  void Bump() override;
  void Draw() override;
  bool Position(float& atX, float& atY) const override {
    atX = x;
    atY = y;
    return true;
  }
  // The class's own contact with the player and its own per-step behaviour.
  virtual void Touch() {}
  // The player landed on it.
  virtual void Stomp() {}
  virtual void Render() {}

  // The player's side against the enemy's left or right half, below its middle.
  bool PlayerTouchesLeftHalf() const;
  bool PlayerTouchesRightHalf() const;
  // Neither squashed, nor knocked off, nor dead: something that can still be struck.
  bool InPlay() const { return !dead && !knockedOff && squashTimer == 0; }

  int32_t points = 0;
  int32_t height = 32;  // px
  int32_t width = 32;   // px
  int32_t speedX = -2;  // px per step
  bool onGround = false;
  bool wallLeft = false;
  bool wallRight = false;
  bool dead = false;
  bool pitAhead = false;
  bool knockedOff = false;
  bool walksOffEdges = false;
  float speedY = 0.0f;  // px per step, down
  float x, y;           // px, top-left
  int32_t squashTimer = 0;
  Rect rect;
  int32_t animFrame = 0;
  int32_t animCounter = 0;
};

// The two enemies' boxes from their truncated positions and their sizes.
bool EnemiesOverlap(const cEnemy& a, const cEnemy& b);

class cCrawler : public cEnemy {
 public:
  cCrawler(float x, float y);
  void Touch() override;
  void Stomp() override;  // squashed; the player bounces
  void Render() override;
};

class cSpiky : public cEnemy {
 public:
  cSpiky(float x, float y);
  void Touch() override;
  void Stomp() override;  // the spines hurt
  void Render() override;
};
