// Block strikes and the bump animation. The strikes themselves arrive with the block and
// bonus item rules; the map already calls them from its triggers and its reset.
#pragma once

#include <cstdint>

constexpr int32_t kBumpIdleFrame = 16;  // the bump animation's counter when nothing bumps

extern int32_t gBumpFrame;
// Steps until the player's head may strike again; below 0 it may.
extern int32_t gBlockHitCooldown;

// Strikes the block of a cell; onlyCode 0 strikes any block, otherwise only that code.
void HitBlock(int32_t column, int32_t row, int32_t onlyCode);
// Strikes the cells at the two points of a head (or a shell's upper corners).
void HeadBump(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// Every bonus item goes out (level reset).
void DeactivateBonuses();
