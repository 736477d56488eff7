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

// The view the world is drawn through: across it is the camera's, but it does not bob with
// every hop. While the player is in the air it stays put until their top rises more than
// kDrawnRiseRoom above its middle or falls below it, so the ground a jump left stays in sight;
// on the ground it settles on the camera's height within half a second. It never looks below
// the map's last row. Drawing only: what the game's rules see (units waking, fireballs
// leaving) looks through gCamera.
extern float gDrawnCameraY;
extern bool gDrawnCameraAtDeath;  // the player was dying last frame: the next life cuts to it
enum class Footing { kStanding, kInTheAir, kDying };
void FollowDrawnCamera(Footing footing);
CameraView DrawnView();
