// Backdrops through the GL recorder: each outdoor layer moves on screen at its fraction of
// the world's motion, the dark backdrops stay inside their regions and drift at theirs, and
// everything of the backdrop is drawn before the world.
#include "app/backdrop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "app/game.h"
#include "engine/gl_record.h"
#include "engine/gl_setup.h"
#include "engine/sprite_batch.h"
#include "engine/texture.h"
#include "platform/headless.h"
#include "tests/support/kept_globals.h"
#include "world/camera.h"
#include "world/map.h"

namespace {

constexpr GLuint kSkyName = 900, kLayerName = 901, kCaveName = 910, kMarkerName = 920;

class BackdropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseHeadlessPlatform();
    SetupGL(320, 480);  // the world's perspective
    SetScreenInfo(320, 480, 3);
    gScreenWidth = 320;
    gScreenHeight = 480;
    kept.Keep(gCameraDistance, gBackdropSky, gBackdropLayers, gDarkBackdrops, gMap, gCamera,
              gDrawnCameraY);
    gCameraDistance = -450.0f;
    gBackdropSky = &sky;
    for (int i = 0; i < kBackdropLayers; ++i) {
      layers[i] = {kLayerName + GLuint(i), 480, 200, 480, 200};
      gBackdropLayers[i] = &layers[i];
    }
    gDarkBackdrops[kBackdropCave] = &cave;
    gMap = map.get();
  }

  // One world pass with the camera at (x, y) and a marker sprite at a fixed world point.
  void DrawAt(float x, float y) {
    gCamera[0] = gCamera[3] = x;
    gCamera[1] = gCamera[4] = gDrawnCameraY = y;
    gCamera[2] = gCameraDistance;
    gl.draws.clear();
    BeginWorldWithBackdrop();
    DrawSprite(&marker, 200, int32_t(kRouteEyeY), 32, 32, 0);
    cSpriteBatch::Instance().Flush();
  }
  const GlRecordedDraw* DrawOf(GLuint texture) const {
    for (const GlRecordedDraw& draw : gl.draws)
      if (draw.texture == texture) return &draw;
    return nullptr;
  }
  // The first vertex of a texture's draw, on screen.
  std::array<float, 2> ScreenOf(GLuint texture) const {
    const GlRecordedDraw* draw = DrawOf(texture);
    EXPECT_NE(draw, nullptr) << texture;
    if (!draw || draw->vertices.empty()) return {0, 0};
    return {draw->vertices[0].screenX, draw->vertices[0].screenY};
  }

  cGlRecorder gl;
  std::unique_ptr<cMap> map = std::make_unique<cMap>();
  Texture sky{kSkyName, 16, 320, 16, 320};
  Texture layers[kBackdropLayers];
  Texture cave{kCaveName, 64, 64, 64, 64};
  Texture marker{kMarkerName, 32, 32, 32, 32};
  cKeptGlobals kept;  // last, so it puts the globals back before the map goes
};

TEST_F(BackdropTest, EachLayerMovesAtItsFractionOfTheWorldsMotion) {
  constexpr float kStartX = 0, kStep = 400;  // no layer wraps round on the way
  DrawAt(kStartX, kRouteEyeY);
  const auto worldBefore = ScreenOf(kMarkerName);
  std::array<float, 2> before[kBackdropLayers];
  for (int i = 0; i < kBackdropLayers; ++i) before[i] = ScreenOf(kLayerName + GLuint(i));
  const auto skyBefore = ScreenOf(kSkyName);

  DrawAt(kStartX + kStep, kRouteEyeY);
  const auto worldAfter = ScreenOf(kMarkerName);
  const float world = std::hypot(worldAfter[0] - worldBefore[0], worldAfter[1] - worldBefore[1]);
  ASSERT_GT(world, kStep * 0.8f);
  for (int i = 0; i < kBackdropLayers; ++i) {
    SCOPED_TRACE(kBackdropLayerTable[i].picture);
    const auto after = ScreenOf(kLayerName + GLuint(i));
    // Same way as the world, a fraction as far (to a pixel of rounding).
    const float dx = after[0] - before[i][0], dy = after[1] - before[i][1];
    EXPECT_GT(dx * (worldAfter[0] - worldBefore[0]) + dy * (worldAfter[1] - worldBefore[1]), 0);
    EXPECT_NEAR(std::hypot(dx, dy) / world, kBackdropLayerTable[i].fraction, 2.0f / world);
  }
  EXPECT_EQ(ScreenOf(kSkyName), skyBefore);  // the sky stands still
  // Nearer layers move faster.
  for (int i = 1; i < kBackdropLayers; ++i)
    EXPECT_GT(kBackdropLayerTable[i].fraction, kBackdropLayerTable[i - 1].fraction);
}

// Whole layers cover the view from edge to edge wherever the camera is.
TEST_F(BackdropTest, LayersRepeatAcrossTheViewAndLeaveWhenTheCameraClimbsHigh) {
  for (float x : {0.0f, 1234.0f, 22000.0f}) {
    DrawAt(x, kRouteEyeY);
    for (int i = 0; i < kBackdropLayers; ++i) {
      int across = 0;  // px of the picture's width its pieces hold
      for (int p = 0; p < kBackdropLayerTable[i].pieceCount; ++p)
        across += kBackdropLayerTable[i].pieces[p].width;
      if (kBackdropLayerTable[i].pieceCount && across < kBackdropRepeat)
        continue;  // the clouds leave gaps by design
      const GlRecordedDraw* draw = DrawOf(kLayerName + GLuint(i));
      ASSERT_NE(draw, nullptr);
      float left = 1e9f, right = -1e9f;
      for (const GlRecordedVertex& v : draw->vertices) {
        left = std::min(left, v.x);
        right = std::max(right, v.x);
      }
      EXPECT_LE(left, 0.0f);     // the view's left edge is covered...
      EXPECT_GE(right, 480.0f);  // ...and so is its right edge
    }
  }
  // Far above the route the hills sink out of sight; the sky stays.
  DrawAt(1000, kRouteEyeY - 2000);
  EXPECT_EQ(DrawOf(kLayerName + 2), nullptr);
  EXPECT_NE(DrawOf(kSkyName), nullptr);
}

TEST_F(BackdropTest, DarkBackdropsFillOnlyTheirRegionAndDriftAtHalfTheWorldsMotion) {
  map->backdrops = {LevelBackdrop{{100, 44, 120, 50}, kBackdropCave}};
  const float x0 = 100 * 32, x1 = 121 * 32, y0 = 44 * 32, y1 = 51 * 32;
  // The grid line of the pattern nearest the region's left edge, in world pixels.
  auto phase = [&] {
    const GlRecordedDraw* draw = DrawOf(kCaveName);
    EXPECT_NE(draw, nullptr);
    float area = 0, gridX = 1e9f;
    for (size_t q = 0; draw && q + 5 < draw->vertices.size(); q += 6) {
      const GlRecordedVertex& a = draw->vertices[q];
      const GlRecordedVertex& d = draw->vertices[q + 5];
      EXPECT_GE(a.x, x0);
      EXPECT_LE(d.x, x1);
      EXPECT_GE(a.y, y0);
      EXPECT_LE(d.y, y1);
      area += (d.x - a.x) * (d.y - a.y);
      if (a.u == 0.0f) gridX = std::min(gridX, a.x);
    }
    EXPECT_FLOAT_EQ(area, (x1 - x0) * (y1 - y0)) << "the region is not covered exactly";
    return gridX;
  };
  DrawAt(x0 + 200, y0 + 100);
  const float before = phase();
  DrawAt(x0 + 240, y0 + 100);
  // The world moved 40 px on screen; the pattern moves 20 with it, so 20 px on in the world.
  EXPECT_EQ(std::fmod(phase() - before + 64.0f, 64.0f), 20.0f);
  // The backdrop comes before everything else of the world pass.
  ASSERT_GE(gl.draws.size(), 2u);
  size_t caveAt = 0, markerAt = 0;
  for (size_t i = 0; i < gl.draws.size(); ++i) {
    if (gl.draws[i].texture == kCaveName) caveAt = i;
    if (gl.draws[i].texture == kMarkerName) markerAt = i;
  }
  EXPECT_LT(caveAt, markerAt);
  // Far from the region, nothing dark is drawn.
  DrawAt(x0 - 2000, y0);
  EXPECT_EQ(DrawOf(kCaveName), nullptr);
}

}  // namespace
