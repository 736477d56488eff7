// The action flags.
#include "player/actions.h"

bool gActions[kActionCount] = {};

void ClearActions(int count) {
  for (int i = 0; i < count && i < kActionCount; ++i) gActions[i] = false;
}
