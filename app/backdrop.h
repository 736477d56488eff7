// The backdrops behind play: outdoor layers (sky, clouds, far and near hills) scrolled at
// fractions of the camera, and dark backdrops behind the cells of the level's cave and castle
// regions, repeated and scrolled the same way.
#pragma once

#include <cstdint>

struct Texture;

// A part of a layer's picture that holds something; empty parts are not drawn at all.
struct BackdropPiece {
  int32_t x, y, width, height;  // in the picture
};
constexpr int kMaxBackdropPieces = 8;

// A layer of the outdoor backdrop, in landscape pixels; it repeats every 480 px across.
struct BackdropLayer {
  const char* picture;
  float fraction;  // of the world's movement on screen the layer follows, both ways
  int32_t y;       // top of the layer while the camera is on the route
  int32_t height;
  // Drawn piece by piece when much of it is empty (the clouds, the sky over the hills), else
  // whole (pieceCount 0): every pixel drawn costs the software rasteriser.
  int pieceCount;
  BackdropPiece pieces[kMaxBackdropPieces];
};
constexpr int kBackdropLayers = 3;
extern const BackdropLayer kBackdropLayerTable[kBackdropLayers];
constexpr float kDarkBackdropFraction = 0.5f;  // of the world's movement on screen
constexpr int32_t kBackdropRepeat = 480;       // landscape px, the view's width
constexpr int32_t kSkyShownRows = 150;  // of the sky's picture; below, the clear colour is the same
constexpr float kRouteEyeY = 39 * 32.0f;  // world px: the camera on the usual route

extern Texture* gBackdropSky;
extern Texture* gBackdropLayers[kBackdropLayers];
extern Texture* gDarkBackdrops[3];  // by backdrop kind; the sky's slot stays empty

void LoadBackdrops();
// Where a layer's first copy starts across (-479..0) and its top, for a camera position.
float BackdropLayerX(int layer, float cameraX);
float BackdropLayerY(int layer, float cameraY);
// False when none of the outdoor pictures loaded: the pass is then skipped altogether.
bool HasOutdoorBackdrop();
// In the landscape 2D pass, before the world: the sky and its layers across the whole view.
void DrawOutdoorBackdrop();
// In the world pass, before the map: the dark backdrops behind their regions' cells.
void DrawDarkBackdrops();
