// Loading of the shared resources.
#include "app/resources.h"

#include <unistd.h>

#include "app/backdrop.h"
#include "app/button.h"
#include "app/checkpoints.h"
#include "app/death_marks.h"
#include "app/goal.h"
#include "app/hud.h"
#include "app/results.h"
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
    {kBlockBrick, "tile.png", 0},
    {kBlockCoinBox, "box.png", 0},
    {kBlockHiddenCoinBox, "invisible.png", 0},
    {kBlockGrowthBox, nullptr, kBlockCoinBox},
    {kBlockPoisonBox, nullptr, kBlockCoinBox},
    {kBlockVanishingBox, nullptr, kBlockCoinBox},
    {kBlockStarBox, nullptr, kBlockCoinBox},
    {kBlockLifeBox, nullptr, kBlockCoinBox},
    {kBlockHiddenBonusBox, nullptr, kBlockHiddenCoinBox},
    {kBlockInertBox, nullptr, kBlockCoinBox},
    {kBlockUsedBox, "boxempty.png", 0},
    {kBlockCracked, "tile.png", 0},
    {kBlockCoinPictureA, "coin1.png", 0},
    {kBlockCoinPictureB, "coin2.png", 0},
    {kBlockWalkwayLeft, "walkwayl1.png", 0},
    {kBlockWalkwayRight, "walkwayr1.png", 0},
    {kBlockBumping, nullptr, kBlockHiddenCoinBox},
    {kBlockStone, "stone.png", 0},
    {kBlockInvisible, nullptr, kBlockHiddenCoinBox},
    {16, nullptr, kBlockCoinBox},
    {18, "stone.png", 0},
    {19, "stone.png", 0},
    {20, nullptr, kBlockBrick},
    {21, nullptr, kBlockCoinBox},
    {22, nullptr, kBlockCoinBox},
    {23, nullptr, kBlockBrick},
    {24, nullptr, kBlockBrick},
    {PipeTop(kPipeGreen), "pipe_green.png", 0},
    {PipeBody(kPipeGreen), "pipe_green_body.png", 0},
    {PipeTop(kPipeOrange), "pipe_orange.png", 0},
    {PipeBody(kPipeOrange), "pipe_orange_body.png", 0},
    {PipeTop(kPipeBlue), "pipe_blue.png", 0},
    {PipeBody(kPipeBlue), "pipe_blue_body.png", 0},
    {kBlockPipeSideMouth, "pipe_green_side.png", 0},
    {kBlockPipeSideBody, "pipe_green_side_body.png", 0},
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
  LoadGoalPicture();
  LoadDeathPictures();
  LoadResultsPicture();
  gCameraDistance = kDefaultCameraDistance;
}
