// Score globals.
#include "world/score.h"

int32_t gScore = 0;
int32_t gCoins = 0;
int32_t gLives = 0;
