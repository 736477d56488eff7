// Loading of the shared resources.
#include "app/resources.h"

#include "app/game.h"
#include "engine/font.h"
#include "engine/texture.h"

void LoadResources() {
  gFontTexture = LoadTexture("font.png");
  gCameraDistance = kDefaultCameraDistance;
}
