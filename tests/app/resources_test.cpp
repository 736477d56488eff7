// The resource bank: the block texture table's shared records, the buttons cut from their
// sheets, and what loading leaves behind.
#include "app/resources.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "app/button.h"
#include "engine/font.h"
#include "world/camera.h"
#include "world/map.h"
#include "world/messages.h"
#include "world/sounds.h"

namespace {

TEST(ResourcesTest, BlockEntriesShareRecordsWhereTheTableSaysSo) {
  auto map = std::make_unique<cMap>();
  gMap = map.get();
  gMessageIndex = 3;
  LoadResources();
  Texture* const* t = map->blockTextures;
  for (int code : {4, 5, 6, 7, 8, 10, 16, 21, 22}) EXPECT_EQ(t[code], t[2]) << code;
  for (int code : {9, 15, 34}) EXPECT_EQ(t[code], t[3]) << code;
  for (int code : {20, 23, 24}) EXPECT_EQ(t[code], t[1]) << code;
  // A file named again shares the record it was decoded into.
  EXPECT_EQ(t[12], t[1]);
  EXPECT_EQ(t[18], t[14]);
  EXPECT_EQ(t[19], t[14]);
  map->AddTileTexture("tile.png");  // the ground's first picture is the same file
  EXPECT_EQ(map->tileTextures[1], t[1]);
  for (int code : {1, 2, 3, 11, 12, 14, 18, 19, 30, 31, 32, 33}) EXPECT_NE(t[code], nullptr);
  for (int code : {0, 13, 17, 27, 29}) EXPECT_EQ(t[code], nullptr) << code;
  // The coins turn through pictures of their own; the walkways' codes show belts, each
  // direction its own, and their table entries are the belts' first frames.
  for (int i = 0; i < kCoinFrames; ++i) {
    ASSERT_NE(map->coinTextures[i], nullptr);
    for (int d = 0; d < 2; ++d)
      for (int f = 0; f < kWalkwayFrames; ++f)
        EXPECT_NE(map->coinTextures[i], map->walkwayTextures[d][f]) << i << " " << d << " " << f;
  }
  EXPECT_EQ(t[kBlockWalkwayLeft], map->walkwayTextures[0][0]);
  EXPECT_EQ(t[kBlockWalkwayRight], map->walkwayTextures[1][0]);
  EXPECT_NE(map->walkwayTextures[0][0], map->walkwayTextures[1][0]);
  EXPECT_NE(map->walkwayTextures[1][0], map->walkwayTextures[1][1]);
  // Every pipe piece has its own picture.
  std::set<Texture*> pipes;
  for (int code = kBlockPipeFirst; code <= kBlockPipeLast; ++code) pipes.insert(t[code]);
  pipes.insert(t[kBlockPipeSideMouth]);
  pipes.insert(t[kBlockPipeSideBody]);
  EXPECT_EQ(pipes.size(), size_t(kPipeColours * kPipePiecesPerColour + 2));
  EXPECT_EQ(pipes.count(nullptr), 0u);

  EXPECT_EQ(gMessageIndex, kNoMessage);
  EXPECT_FLOAT_EQ(gCameraDistance, -450.0f);
  EXPECT_NE(gFontTexture, nullptr);
  // With no audio device every sound is silent, and asking for one is harmless.
  PlaySound(kSoundPause);
  EXPECT_EQ(gSounds[kSoundPause], nullptr);
  gMap = nullptr;
}

TEST(ResourcesTest, ButtonsAreCutFromTheirSheetsAndHaveStrictBorders) {
  const Texture control{5, 256, 256, 256, 256}, social{6, 256, 64, 256, 64};
  CreateButtons(control, social);
  const cButton& start = *gButtons[kButtonStart];
  EXPECT_EQ(start.texture.glName, 5u);
  EXPECT_EQ(start.sourceY, 192);
  EXPECT_FALSE(start.Contains(148, 260));  // on the border
  EXPECT_TRUE(start.Contains(149, 260));
  EXPECT_FALSE(start.Contains(332, 260));
  EXPECT_TRUE(start.Contains(331, 241));
  EXPECT_FALSE(start.Contains(200, 240));
  EXPECT_FALSE(start.Contains(200, 286));
  const cButton& retry = *gButtons[kButtonRetry];
  EXPECT_EQ(retry.texture.glName, 6u);
  EXPECT_EQ(retry.x, 150);
  EXPECT_EQ(retry.sourceWidth, 180);
  EXPECT_EQ(gButtons[kButtonJump]->x, 400);
  EXPECT_EQ(gButtons[kButtonLeft]->sourceX, 0);
  EXPECT_EQ(gButtons[kButtonRight]->sourceX, 64);
  EXPECT_EQ(gButtons[kButtonRestart]->sourceY, 128);
  for (cButton*& button : gButtons) {
    delete button;
    button = nullptr;
  }
}

}  // namespace
