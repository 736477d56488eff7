// Backdrop drawing. Layers are plain sprites in the batch: a handful of quads a frame.
#include "app/backdrop.h"

#include <algorithm>
#include <cmath>

#include "app/game.h"
#include "engine/gl_setup.h"
#include "engine/sprite_batch.h"
#include "engine/texture.h"
#include "world/camera.h"
#include "world/map.h"

const BackdropLayer kBackdropLayerTable[kBackdropLayers] = {
    {"backdrop_clouds.png",
     0.1f,
     0,
     140,
     5,
     {{20, 70, 80, 40},
      {150, 10, 40, 20},
      {250, 50, 80, 40},
      {400, 20, 40, 20},
      {440, 96, 40, 20}}},
    // The hills in strips 60 px wide from just above each strip's highest hilltop: the empty
    // sky over them is a fifth of each layer.
    {"backdrop_far.png",
     0.25f,
     70,
     200,
     8,
     {{0, 39, 60, 161},
      {60, 38, 60, 162},
      {120, 42, 60, 158},
      {180, 41, 60, 159},
      {240, 19, 60, 181},
      {300, 18, 60, 182},
      {360, 23, 60, 177},
      {420, 56, 60, 144}}},
    {"backdrop_near.png",
     0.5f,
     110,
     200,
     8,
     {{0, 41, 60, 159},
      {60, 19, 60, 181},
      {120, 18, 60, 182},
      {180, 23, 60, 177},
      {240, 58, 60, 142},
      {300, 48, 60, 152},
      {360, 48, 60, 152},
      {420, 58, 60, 142}}},
};

Texture* gBackdropSky = nullptr;
Texture* gBackdropLayers[kBackdropLayers] = {};
Texture* gDarkBackdrops[3] = {};

namespace {

constexpr int32_t kViewWidth = 480, kViewHeight = 320;  // landscape px
constexpr const char* kDarkPictures[] = {nullptr, "backdrop_cave.png", "backdrop_castle.png"};
static_assert(std::size(kDarkPictures) == kBackdropKinds);
constexpr int32_t kDarkTile = 64;  // px, both pictures' size
// The part of the world around the camera that can show, as the map's own window.
constexpr int32_t kViewHalfWidth = 18 * kCellSize, kViewHalfHeight = 13 * kCellSize;

// Screen pixels a world pixel at the map's depth takes: the eye sits gCameraDistance before
// the map under the view's angle. Layers follow the world's motion on screen, not the camera's.
float WorldScreenScale() {
  const float distance = std::fabs(gCameraDistance);
  if (!(distance > 0)) return 1.0f;
  const float halfAngle = kFieldOfViewY * 3.14159265f / 360.0f;
  return float(kDeviceScreenHeight) / 2.0f / (distance * std::tan(halfAngle));
}

// The remainder of a division that is never negative.
float Wrap(float value, float period) {
  const float r = std::fmod(value, period);
  return r < 0 ? r + period : r;
}

// Tiles one region's part of the view with its picture, the grid shifted so the pattern
// follows the camera at its fraction; tiles at the edges are cut to the region.
void TileRegion(const Texture* texture, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  const float shiftX = gCamera[0] * (1.0f - kDarkBackdropFraction);
  const float shiftY = gDrawnCameraY * (1.0f - kDarkBackdropFraction);
  const int32_t gridX = x0 - int32_t(Wrap(float(x0) - shiftX, kDarkTile));
  const int32_t gridY = y0 - int32_t(Wrap(float(y0) - shiftY, kDarkTile));
  cSpriteBatch& batch = cSpriteBatch::Instance();
  for (int32_t ty = gridY; ty < y1; ty += kDarkTile)
    for (int32_t tx = gridX; tx < x1; tx += kDarkTile) {
      const int32_t left = std::max(tx, x0), top = std::max(ty, y0);
      const int32_t right = std::min(tx + kDarkTile, x1), bottom = std::min(ty + kDarkTile, y1);
      if (right <= left || bottom <= top) continue;
      batch.AddQuad(texture, {left, top, right - left, bottom - top},
                    {left - tx, top - ty, right - left, bottom - top}, {1, 1, 1, 1}, 0.0f, 0);
    }
}

}  // namespace

void LoadBackdrops() {
  gBackdropSky = LoadTexture("backdrop_sky.png");
  for (int i = 0; i < kBackdropLayers; ++i)
    gBackdropLayers[i] = LoadTexture(kBackdropLayerTable[i].picture);
  for (int kind = 0; kind < kBackdropKinds; ++kind)
    gDarkBackdrops[kind] = kDarkPictures[kind] ? LoadTexture(kDarkPictures[kind]) : nullptr;
}

float BackdropLayerX(int layer, float cameraX) {
  return -Wrap(cameraX * kBackdropLayerTable[layer].fraction * WorldScreenScale(),
               float(kBackdropRepeat));
}

float BackdropLayerY(int layer, float cameraY) {
  return float(kBackdropLayerTable[layer].y) -
         (cameraY - kRouteEyeY) * kBackdropLayerTable[layer].fraction * WorldScreenScale();
}

bool HasOutdoorBackdrop() {
  if (gBackdropSky && gBackdropSky->glName) return true;
  for (const Texture* layer : gBackdropLayers)
    if (layer && layer->glName) return true;
  return false;
}

void DrawOutdoorBackdrop() {
  cSpriteBatch& batch = cSpriteBatch::Instance();
  if (gBackdropSky && gBackdropSky->glName) {
    const int32_t rows = kSkyShownRows * kViewHeight / int32_t(gBackdropSky->height);
    batch.AddQuad(gBackdropSky, {0, 0, kViewWidth, rows},
                  {0, 0, int32_t(gBackdropSky->width), kSkyShownRows}, {1, 1, 1, 1}, 0.0f, 0);
  }
  for (int i = 0; i < kBackdropLayers; ++i) {
    const Texture* texture = gBackdropLayers[i];
    if (!texture || !texture->glName) continue;
    const int32_t x = int32_t(std::lround(BackdropLayerX(i, gCamera[0])));
    const int32_t y = int32_t(std::lround(BackdropLayerY(i, gDrawnCameraY)));
    const int32_t height = kBackdropLayerTable[i].height;
    if (y >= kViewHeight || y + height <= 0) continue;
    const BackdropLayer& layer = kBackdropLayerTable[i];
    for (int32_t copy = x; copy < kViewWidth; copy += kBackdropRepeat) {
      if (layer.pieceCount == 0) {
        DrawSprite(texture, copy, y, kBackdropRepeat, height, 0);
        continue;
      }
      for (int p = 0; p < layer.pieceCount; ++p) {
        // A piece off the view costs only its corners: GL clips it.
        const BackdropPiece& piece = layer.pieces[p];
        batch.AddQuad(texture, {copy + piece.x, y + piece.y, piece.width, piece.height},
                      {piece.x, piece.y, piece.width, piece.height}, {1, 1, 1, 1}, 0.0f, 0);
      }
    }
  }
}

void DrawDarkBackdrops() {
  // A camera far off the map sees no region.
  if (!gMap || !(std::fabs(gCamera[0]) < 1e6f && std::fabs(gDrawnCameraY) < 1e6f)) return;
  const int32_t viewX0 = int32_t(gCamera[0]) - kViewHalfWidth;
  const int32_t viewX1 = int32_t(gCamera[0]) + kViewHalfWidth;
  const int32_t viewY0 = int32_t(gDrawnCameraY) - kViewHalfHeight;
  const int32_t viewY1 = int32_t(gDrawnCameraY) + kViewHalfHeight;
  for (const LevelBackdrop& region : gMap->backdrops) {
    if (region.kind <= kBackdropSky || region.kind >= kBackdropKinds) continue;
    const Texture* texture = gDarkBackdrops[region.kind];
    if (!texture || !texture->glName) continue;
    const LevelArea& a = region.area;
    // Cells off the grid hold nothing to stand behind; clamping also keeps the sums small.
    const int32_t x0 = std::max(std::clamp(a.column0, 0, kMapColumns) * kCellSize, viewX0);
    const int32_t y0 = std::max(std::clamp(a.row0, 0, kMapRows) * kCellSize, viewY0);
    const int32_t x1 =
        std::min((std::clamp(a.column1, -1, kMapColumns - 1) + 1) * kCellSize, viewX1);
    const int32_t y1 = std::min((std::clamp(a.row1, -1, kMapRows - 1) + 1) * kCellSize, viewY1);
    if (x1 > x0 && y1 > y0) TileRegion(texture, x0, y0, x1, y1);
  }
}
