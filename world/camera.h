// The camera: eye x, y, z and centre x, y, z in world pixels. The player's step places it;
// the frame looks through it and the map draws the cells around it.
#pragma once

extern float gCamera[6];
extern float gCameraDistance;  // the eye's z
