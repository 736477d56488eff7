// The player's two fireballs. Their flight arrives with the fireball rules; the player
// already throws from where its step says.
#pragma once

#include <cstdint>

// Throws the first fireball, or the second if the first is still flying.
void ThrowFireball(int32_t x, int32_t y, int32_t direction);
