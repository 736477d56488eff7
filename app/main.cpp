// Entry: the desktop device, real GL, the data folder, then the game.
#include <cstdio>

#include "app/game.h"
#include "engine/gl_api.h"
#include "platform/desktop.h"

int main(int, char**) {
  UseDesktopPlatform();
  UseDesktopGL();
  if (!EnterDataDirectory())
    std::fprintf(stderr, "brinkhop: no data folder beside the game; reading files from here\n");
  return RunGame();
}
