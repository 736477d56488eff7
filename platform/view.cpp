// Landscape window geometry.
#include "platform/view.h"

#include <algorithm>
#include <cmath>

LandscapeView FitLandscape(int windowWidth, int windowHeight) {
  LandscapeView view{};
  view.windowWidth = std::max(windowWidth, 1);
  view.windowHeight = std::max(windowHeight, 1);
  view.scale = std::min(float(view.windowWidth) / kLandscapeWidth,
                        float(view.windowHeight) / kLandscapeHeight);
  view.width = std::clamp(int(std::lround(kLandscapeWidth * view.scale)), 1, view.windowWidth);
  view.height = std::clamp(int(std::lround(kLandscapeHeight * view.scale)), 1, view.windowHeight);
  view.offsetX = (view.windowWidth - view.width) / 2;
  view.offsetY = (view.windowHeight - view.height) / 2;
  return view;
}

void WindowToLandscape(const LandscapeView& view, int windowX, int windowY, int* x, int* y) {
  const float lx = std::floor(float(windowX - view.offsetX) / view.scale);
  const float ly = std::floor(float(windowY - view.offsetY) / view.scale);
  *x = std::clamp(int(lx), 0, kLandscapeWidth - 1);
  *y = std::clamp(int(ly), 0, kLandscapeHeight - 1);
}

BarTargets gBarTargets;

bool TouchToLandscape(const LandscapeView& view, int windowX, int windowY, int* x, int* y) {
  WindowToLandscape(view, windowX, windowY, x, y);
  const bool insideX = windowX >= view.offsetX && windowX < view.offsetX + view.width;
  const bool insideY = windowY >= view.offsetY && windowY < view.offsetY + view.height;
  if (insideX && insideY) return true;
  if (!gBarTargets.set || insideX || *y < gBarTargets.top) return false;
  const bool left = windowX < view.offsetX;
  *x = left ? gBarTargets.leftX : gBarTargets.rightX;
  *y = left ? gBarTargets.leftY : gBarTargets.rightY;
  return true;
}

void LandscapeToDevice(int x, int y, int* deviceX, int* deviceY) {
  *deviceX = kLandscapeHeight - y;
  *deviceY = x;
}

void LandscapeToWindow(const LandscapeView& view, float x, float y, float* windowX,
                       float* windowY) {
  *windowX = view.offsetX + x * view.scale;
  *windowY = view.offsetY + y * view.scale;
}
