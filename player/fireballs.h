// The player's two fireballs: thrown by a fire-powered player, they hop along the ground,
// go out at walls and at the edges of their range, and knock off the enemies they touch.
#pragma once

#include <cstdint>

#include "world/rect.h"

struct Texture;

constexpr int kFireballFrames = 4;  // fire1.png .. fire4.png
constexpr int kFireballCount = 2;

class cFireball {
 public:
  cFireball();
  // False, changing nothing, while this one is still flying.
  bool Launch(int32_t x, int32_t y, int32_t direction);
  void Update();
  void Draw();

  // Also the pictures of every fire chain's balls (the first fireball's).
  Texture* textures[kFireballFrames] = {};
  bool active = false;
  Rect rect = {};
  float x = 0.0f, y = 0.0f;  // px, top-left
  float speedX = 0.0f;       // px per step
  float speedY = 0.0f;       // px per step, down
  float frame = 0.0f;        // 0 <= frame < 4: which picture
  bool hitFloor = false;     // solid under it at the start of the step
  bool hitWall = false;      // solid at its height at the start of the step
};

// Created once at start-up and never deleted.
extern cFireball* gFireballs[kFireballCount];

// Throws the first fireball, or the second if the first is still flying.
void ThrowFireball(int32_t x, int32_t y, int32_t direction);
