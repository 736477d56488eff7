// A killer plant that rises from its pipe, waits, sinks back, and stays in while the player
// is close by.
#pragma once

#include "units/base_unit.h"
#include "world/rect.h"

class cKillerBlume : public cBaseUnit {
 public:
  cKillerBlume(float x, float y);
  void Update() override;
  void Draw() override;
  bool Position(float& atX, float& atY) const override {
    atX = x;
    atY = y;
    return true;
  }

  float x, y;         // px, top-left
  int32_t phase = 1;  // 1 and more: out (steps); below 0: hidden; 0: waiting for room
  bool dead = false;  // killed by a fireball or an invincible player: inert for good
  float animTime = 0.0f;
  Rect rect = {};  // the plant's box while out
};
