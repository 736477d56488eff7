// Camera globals and the view they give.
#include "world/camera.h"

#include <cmath>

#include "engine/gl_setup.h"

float gCamera[6] = {0, 0, 0, 0, 0, 0};
float gCameraDistance = 0.0f;

namespace {

// The portrait device screen the frame's projection is set up for.
constexpr float kDeviceWidth = 320.0f, kDeviceHeight = 480.0f;  // px

}  // namespace

CameraView VisibleView() {
  // The frustum's height runs along world x (the camera's up is world -x), its width along y.
  const float distance = std::fabs(gCamera[2] - gCamera[5]);
  const float halfX = distance * std::tan(DegreesToRadians(kFieldOfViewY) / 2.0f);
  const float halfY = halfX * kDeviceWidth / kDeviceHeight;
  return {gCamera[3] - halfX, gCamera[3] + halfX, gCamera[4] - halfY, gCamera[4] + halfY};
}
