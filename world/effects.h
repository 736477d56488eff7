// The small effect objects the map talks to: the fire field, the particle store and the
// coin-effect hook. Their pools arrive with the effects; the map already calls them.
#pragma once

#include <cstdint>

void ClearFireField();
void ClearBurst();
// Called for every coin collected; does nothing.
void CoinEffect(int32_t column, int32_t row, int32_t a, int32_t b);
