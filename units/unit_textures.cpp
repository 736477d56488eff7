// The unit families' texture loaders, as one table in load order.
#include "units/unit_textures.h"

#include <string>

#include "engine/texture.h"

Texture* gCrawlerTextures[3] = {};
Texture* gSpikyTextures[2] = {};
Texture* gFlyTextures[2] = {};
Texture* gTurtleTextures[2] = {};
Texture* gShellTextures[4] = {};
Texture* gCannonTextures[3] = {};
Texture* gBlumeTextures[2] = {};
Texture* gBrettTexture = nullptr;
Texture* gHammerTexture = nullptr;
Texture* gBossTextures[3] = {};

namespace {

struct TextureSlot {
  Texture** slot;
  const char* file;
};

// One row per picture; the rows of a family stay together, families in load order.
const TextureSlot kUnitPictures[] = {
    {&gCrawlerTextures[0], "crawler1.png"},
    {&gCrawlerTextures[1], "crawler2.png"},
    {&gCrawlerTextures[2], "crawler3.png"},
    {&gSpikyTextures[0], "spiky1.png"},
    {&gSpikyTextures[1], "spiky2.png"},
    {&gFlyTextures[0], "fly1.png"},
    {&gFlyTextures[1], "fly2.png"},
    {&gTurtleTextures[0], "turtle1.png"},
    {&gTurtleTextures[1], "turtle2.png"},
    {&gShellTextures[0], "shell1.png"},
    {&gShellTextures[1], "shell2.png"},
    {&gShellTextures[2], "shell3.png"},
    {&gShellTextures[3], "shell4.png"},
    {&gCannonTextures[0], "cannon.png"},
    {&gCannonTextures[1], "cannon_bulletr.png"},
    {&gCannonTextures[2], "cannon_bulletl.png"},
    {&gBlumeTextures[0], "blume1.png"},
    {&gBlumeTextures[1], "blume2.png"},
    {&gBrettTexture, "brett.png"},
    {&gHammerTexture, "hammer.png"},
    {&gBossTextures[0], "boss1.png"},
    {&gBossTextures[1], "boss2.png"},
    {&gBossTextures[2], "boss_hurt.png"},
};

}  // namespace

void LoadUnitTextures() {
  for (const TextureSlot& picture : kUnitPictures) *picture.slot = LoadTexture(picture.file);
}
