// Score, coins and lives: coins, boxes, bricks and enemies add to them, the retry takes a
// life, the heads-up display shows them. Level loads leave them alone.
#pragma once

#include <cstdint>

extern int32_t gScore;
extern int32_t gCoins;
extern int32_t gLives;
