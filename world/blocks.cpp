// Block strikes: the strike rules and bonus items plug in here.
#include "world/blocks.h"

int32_t gBumpFrame = kBumpIdleFrame;
int32_t gBlockHitCooldown = 0;

void HitBlock(int32_t, int32_t, int32_t) {}

void HeadBump(int32_t, int32_t, int32_t, int32_t) {}

void DeactivateBonuses() {}
