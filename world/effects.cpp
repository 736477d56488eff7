// Effect hooks.
#include "world/effects.h"

void ClearFireField() {}
void ClearBurst() {}
void CoinEffect(int32_t, int32_t, int32_t, int32_t) {}
