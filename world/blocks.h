// Block strikes and the bump animation. The strikes themselves arrive with the block and
// bonus item rules; the map already calls them from its triggers and its reset.
#pragma once

#include <cstdint>

constexpr int32_t kBumpIdleFrame = 16;  // the bump animation's counter when nothing bumps

extern int32_t gBumpFrame;

// Strikes the block of a cell; onlyCode 0 strikes any block, otherwise only that code.
void HitBlock(int32_t column, int32_t row, int32_t onlyCode);
// Every bonus item goes out (level reset).
void DeactivateBonuses();
