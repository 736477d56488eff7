// What happens when blocks are struck — from below by a head, by a kicked shell, by a
// trigger or under a cracked-platform step — and the one bump animation. The strikes are
// cMap::HitBlock and cMap::HeadBump (declared with the map).
#pragma once

#include <cstdint>

constexpr int32_t kBumpIdleFrame = 16;    // the animation's frame after a level reset
constexpr int32_t kBumpStartFrame = 200;  // ... and at program start: idle too
constexpr int32_t kBoxCooldown = 20;      // steps before a head may strike again

struct BumpAnimation {
  int32_t frame = kBumpStartFrame;  // 0..16 while running; above 15 idle
  int32_t code = 0;                 // block code to put back
  int32_t column = 0, row = 0;
  int32_t x = 0, y = 0;  // px, the moving sprite
};

extern BumpAnimation gBump;
// Steps until the player's head may strike again; below 0 it may.
extern int32_t gBlockHitCooldown;

// Starts the bump of a cell and kicks what stands on it; nothing while one runs.
void BumpBlock(int32_t column, int32_t row);
// Advances and draws the bump, once per frame.
void DrawBump();
