// The arena's boss: a crowned brute twice a crawler's size that paces its floor, leaps at the
// player and falls to three stomps or six fireballs.
#pragma once

#include "units/base_unit.h"
#include "world/rect.h"

class cBoss : public cBaseUnit {
 public:
  cBoss(float x, float y);
  void Update() override;
  void Draw() override;
  bool Position(float& atX, float& atY) const override {
    atX = x;
    atY = y;
    return true;
  }
  // A fireball or the invincible player struck it; false when it was past hurting.
  bool Strike();
  // Standing and able to fight back: still worth striking.
  bool InPlay() const { return health > 0; }

  float x, y;             // px, top-left of its 64 x 64 box
  float speedX;           // px per step
  float speedY = 0.0f;    // px per step, down
  int32_t health;         // a stomp takes two, a fireball one
  int32_t hurtTimer = 0;  // steps left of the flash after a hit: harmless and unhurt meanwhile
  int32_t leapTimer = 0;  // steps since it last left the ground
  bool awake = false;     // wakes when the player comes within reach, then never sleeps
  bool onGround = false;
  bool dead = false;  // fallen off the map: gone
  int32_t animCounter = 0;
  Rect rect = {};

 private:
  // Takes a hit: the flash, a faster pace, or the fall when it was the last.
  void Hurt(int32_t damage);
};
