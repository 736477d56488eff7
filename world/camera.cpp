// Camera globals and the view they give.
#include "world/camera.h"

#include <algorithm>
#include <cmath>

#include "engine/gl_setup.h"
#include "world/map.h"

float gCamera[6] = {0, 0, 0, 0, 0, 0};
float gCameraDistance = 0.0f;
float gDrawnCameraY = 0.0f;
bool gDrawnCameraAtDeath = false;

namespace {

// The portrait device screen the frame's projection is set up for.
constexpr float kDeviceWidth = 320.0f, kDeviceHeight = 480.0f;  // px
// How far the player's top may rise above the drawn view's middle: a standing jump's top still
// shows the ground it left, and the player stays clear of the heads-up lines.
constexpr float kDrawnRiseRoom = 96.0f;  // px
constexpr float kDrawnSettle = 0.3f;     // of the way to the camera's height, per frame
// A warp or a teleport moves the camera further than this at once: the view jumps too.
constexpr float kDrawnSnap = 200.0f;  // px

}  // namespace

CameraView VisibleView() {
  // The frustum's height runs along world x (the camera's up is world -x), its width along y.
  const float distance = std::fabs(gCamera[2] - gCamera[5]);
  const float halfX = distance * std::tan(DegreesToRadians(kFieldOfViewY) / 2.0f);
  const float halfY = halfX * kDeviceWidth / kDeviceHeight;
  return {gCamera[3] - halfX, gCamera[3] + halfX, gCamera[4] - halfY, gCamera[4] + halfY};
}

void FollowDrawnCamera(Footing footing) {
  // The camera waits where a death began, and so does the view.
  if (footing == Footing::kDying) {
    gDrawnCameraAtDeath = true;
    return;
  }
  const float cameraY = gCamera[1];
  if (gDrawnCameraAtDeath || !(std::fabs(gDrawnCameraY - cameraY) < kDrawnSnap)) {
    gDrawnCameraY = cameraY;
    gDrawnCameraAtDeath = false;
  } else {
    if (footing == Footing::kStanding) gDrawnCameraY += (cameraY - gDrawnCameraY) * kDrawnSettle;
    gDrawnCameraY = std::clamp(gDrawnCameraY, cameraY, cameraY + kDrawnRiseRoom);
  }
  // Below the map's last row there is nothing to show: a fall into a pit leaves the view at the
  // level's bottom edge, and the player drops out of it.
  const CameraView view = VisibleView();
  gDrawnCameraY =
      std::min(gDrawnCameraY, float(kMapRows * kCellSize) - (view.bottom - view.top) / 2);
}

CameraView DrawnView() {
  CameraView view = VisibleView();
  const float shift = gDrawnCameraY - gCamera[4];
  view.top += shift;
  view.bottom += shift;
  return view;
}
