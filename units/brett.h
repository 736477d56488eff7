// A board that rides up and down and carries the player standing on it.
#pragma once

#include "units/base_unit.h"

class cBrett : public cBaseUnit {
 public:
  cBrett(float x, float y, int32_t vertical);
  void Update() override;
  void Draw() override;
  bool Position(float& atX, float& atY) const override {
    atX = x;
    atY = y;
    return true;
  }

  float x, y;           // px, top-left
  int32_t vertical;     // always 1: the board moves up and down
  int32_t travel = 0;   // steps away from the start, 0..100
  int32_t forward = 1;  // 1 moving down, away from the start; 0 back up
};
