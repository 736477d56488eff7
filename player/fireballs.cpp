// Fireballs.
#include "player/fireballs.h"

void ThrowFireball(int32_t, int32_t, int32_t) {}
