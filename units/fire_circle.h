// Chains of fire that turn about a centre and burn the player: a turning bar, a bar whose
// spacing swells and shrinks, a ball riding up and down, and a ball spinning in place.
#pragma once

#include "units/base_unit.h"
#include "world/rect.h"

class cFireCircle : public cBaseUnit {
 public:
  cFireCircle(float x, float y, int32_t ballCount);
  void Update() override;
  void Draw() override;
  bool Position(float& atX, float& atY) const override {
    atX = centerX;
    atY = centerY;
    return true;
  }

  float centerX, centerY;  // px
  int32_t ballCount;
  int32_t spin = 0;                  // degrees, each ball's picture
  float stepX = 0.0f, stepY = 0.0f;  // px from one ball to the next
  float angle;                       // degrees; 0 points down, 90 right
  Rect ballRect = {};
  float frame = 1.0f;  // which fireball picture
};

class cFireCircle2 : public cBaseUnit {
 public:
  cFireCircle2(float x, float y, int32_t ballCount);
  void Update() override;
  void Draw() override;
  bool Position(float& atX, float& atY) const override {
    atX = centerX;
    atY = centerY;
    return true;
  }

  float centerX, centerY;
  int32_t ballCount;
  float stepX = 0.0f, stepY = 0.0f;
  float angle;
  float spacing = 20.0f;      // px between balls
  float spacingDelta = 0.3f;  // px per step
  float minSpacing = 15.0f;   // px
  float maxSpacing = 40.0f;   // px
  Rect ballRect = {};
  float frame = 1.0f;
};

class cFireCircle3 : public cBaseUnit {
 public:
  cFireCircle3(float x, float y, int32_t ballCount);
  void Update() override;
  void Draw() override;
  bool Position(float& atX, float& atY) const override {
    atX = centerX;
    atY = centerY;
    return true;
  }

  float centerX, centerY;
  float topY, bottomY;  // px: the centre rides between them
  int32_t ballCount;
  int32_t speedY = 3;  // px per step
  float stepX = 0.0f, stepY = 0.0f;
  float angle;
  float spacing = 20.0f;
  Rect ballRect = {};
  float frame = 1.0f;
};

class cFly : public cBaseUnit {
 public:
  cFly(float x, float y, int32_t ballCount);
  void Update() override;
  void Draw() override;
  bool Position(float& atX, float& atY) const override {
    atX = centerX;
    atY = centerY;
    return true;
  }

  int32_t ballCount;
  float centerX, centerY;
  float stepX = 0.0f, stepY = 0.0f;
  float angle;
  float spin = 0.0f;  // degrees
  Rect ballRect = {};
  float frame = 1.0f;
};
