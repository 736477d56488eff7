// The camera: eye x, y, z and centre x, y, z in world pixels. The player's step places it;
// the frame looks through it and the map draws the cells around it.
#pragma once

extern float gCamera[6];
extern float gCameraDistance;  // the eye's z

// The part of the world the camera shows, in world px: its edges as seen on the landscape
// screen (left is smaller x, top is smaller y).
struct CameraView {
  float left, right, top, bottom;
};
CameraView VisibleView();
