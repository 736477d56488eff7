// A spinning hammer that rides up and down over a fixed number of cells.
#pragma once

#include "units/base_unit.h"
#include "world/rect.h"

class cHammer : public cBaseUnit {
 public:
  cHammer(float x, float y, int32_t range);
  void Update() override;
  void Draw() override;
  bool Position(float& atX, float& atY) const override {
    atX = x;
    atY = y;
    return true;
  }

  int32_t range;  // cells of travel above the spawn point
  float x, y;     // px, top-left
  float minY, maxY;
  float speedY = 2.0f;  // px per step, down
  float spin;           // degrees
  Rect rect = {};
};
