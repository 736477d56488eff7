// A cannon that fires a bullet along the ground towards the player; the bullet can be
// stomped out of the air.
#pragma once

#include "units/base_unit.h"

class cCannon : public cBaseUnit {
 public:
  cCannon(float x, float y);
  void Update() override;
  void Draw() override;
  bool Position(float& atX, float& atY) const override {
    atX = x;
    atY = y;
    return true;
  }

  float x, y;                // px, top-left
  int32_t fireTimer = 400;   // steps since the last shot; fires at 400
  int32_t bulletX = 0;       // px, left edge
  int32_t bulletY = 0;       // px, top edge
  int32_t bulletSpeedX = 0;  // px per step
  int32_t bulletState = 0;   // 0 flying; 1 and more: stomped, falling (steps)
};
