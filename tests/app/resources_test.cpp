// The resource bank: every block code shows a picture, the buttons answer only inside their
// borders, and what loading leaves behind.
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
  // Every code a level can hold shows a picture; a file named again is decoded once.
  for (int code : {1, 2, 3, 4, 9, 11, 12, 14, 18, 19, 20, 30, 31, 32, 33})
    EXPECT_NE(t[code], nullptr) << code;
  map->AddTileTexture("tile.png");  // the ground's first picture is the same file as block 1
  EXPECT_EQ(map->tileTextures[1], t[1]);
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

TEST(ResourcesTest, ButtonsHaveStrictBorders) {
  const Texture control{5, 256, 256, 256, 256}, social{6, 256, 64, 256, 64};
  CreateButtons(control, social);
  const cButton& start = *gButtons[kButtonStart];
  EXPECT_FALSE(start.Contains(148, 260));  // on the border
  EXPECT_TRUE(start.Contains(149, 260));
  EXPECT_FALSE(start.Contains(332, 260));
  EXPECT_TRUE(start.Contains(331, 241));
  EXPECT_FALSE(start.Contains(200, 240));
  EXPECT_FALSE(start.Contains(200, 286));
  // No play button takes the touch meant for another.
  for (int a = kButtonLeft; a <= kButtonRestart; ++a)
    for (int b = kButtonLeft; b <= kButtonRestart; ++b) {
      const cButton &p = *gButtons[a], &q = *gButtons[b];
      EXPECT_EQ(p.Contains(q.x + q.width / 2, q.y + q.height / 2), a == b) << a << " " << b;
    }
  for (cButton*& button : gButtons) {
    delete button;
    button = nullptr;
  }
}

}  // namespace
