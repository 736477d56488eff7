// Loading of the shared resources.
#include "app/resources.h"

#include <unistd.h>

#include "app/backdrop.h"
#include "app/button.h"
#include "app/checkpoints.h"
#include "app/hud.h"
#include "engine/font.h"
#include "engine/music.h"
#include "engine/texture.h"
#include "units/unit_textures.h"
#include "world/camera.h"
#include "world/map.h"
#include "world/messages.h"
#include "world/sounds.h"

Texture* gControlImage = nullptr;
Texture* gSocialImage = nullptr;

namespace {

// The block texture table in load order: a file is loaded into its own record; a shared
// entry points at the record of an earlier entry.
struct BlockPicture {
  int code;
  const char* file;  // null: share
  int sharesCode;
};

const BlockPicture kBlockPictures[] = {
    {1, "tile.png", 0},
    {2, "box.png", 0},
    {3, "invisible.png", 0},
    {4, nullptr, 2},
    {5, nullptr, 2},
    {6, nullptr, 2},
    {7, nullptr, 2},
    {8, nullptr, 2},
    {9, nullptr, 3},
    {10, nullptr, 2},
    {11, "boxempty.png", 0},
    {12, "tile.png", 0},
    {30, "coin1.png", 0},
    {31, "coin2.png", 0},
    {32, "walkwayl1.png", 0},
    {33, "walkwayr1.png", 0},
    {34, nullptr, 3},
    {14, "stone.png", 0},
    {15, nullptr, 3},
    {16, nullptr, 2},
    {18, "stone.png", 0},
    {19, "stone.png", 0},
    {20, nullptr, 1},
    {21, nullptr, 2},
    {22, nullptr, 2},
    {23, nullptr, 1},
    {24, nullptr, 1},
    {35, "pipe_green.png", 0},
    {36, "pipe_green_body.png", 0},
    {37, "pipe_orange.png", 0},
    {38, "pipe_orange_body.png", 0},
    {39, "pipe_blue.png", 0},
    {40, "pipe_blue_body.png", 0},
    {25, "pipe_green_side.png", 0},
    {26, "pipe_green_side_body.png", 0},
};

const char* const kCoinPictures[kCoinFrames] = {"coin1.png", "coin2.png", "coin3.png", "coin4.png"};
// By direction as the map keeps them: left, then right.
const char* const kWalkwayPictures[2][kWalkwayFrames] = {
    {"walkwayl1.png", "walkwayl2.png", "walkwayl3.png", "walkwayl4.png"},
    {"walkwayr1.png", "walkwayr2.png", "walkwayr3.png", "walkwayr4.png"},
};

void LoadBlockTextures(cMap& map) {
  for (const BlockPicture& p : kBlockPictures)
    map.blockTextures[p.code] = p.file ? LoadTexture(p.file) : map.blockTextures[p.sharesCode];
  for (int i = 0; i < kCoinFrames; ++i) map.coinTextures[i] = LoadTexture(kCoinPictures[i]);
  for (int d = 0; d < 2; ++d)
    for (int i = 0; i < kWalkwayFrames; ++i)
      map.walkwayTextures[d][i] = LoadTexture(kWalkwayPictures[d][i]);
}

// The start screen and every line of text: a folder without them is not the game's data (a
// folder that lacks only some pictures still plays, with plain boxes in their place).
const char* const kEssentialPictures[] = {"BG.png", "font.png"};

}  // namespace

std::string FirstMissingPicture() {
  for (const char* file : kEssentialPictures)
    if (access(file, R_OK) != 0) return file;
  return "";
}

void LoadResources() {
  LoadSounds();
  LoadMusic();
  if (gMap) LoadBlockTextures(*gMap);
  LoadUnitTextures();
  gControlImage = LoadTexture("control.png");
  gSocialImage = LoadTexture("social.png");
  HideMessage();
  CreateButtons(*gControlImage, *gSocialImage);
  gFontTexture = LoadTexture("font.png");
  LoadBackdrops();
  LoadHudPictures();
  LoadCheckpointPictures();
  gCameraDistance = kDefaultCameraDistance;
}
