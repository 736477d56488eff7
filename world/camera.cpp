// Camera globals.
#include "world/camera.h"

float gCamera[6] = {0, 0, 0, 0, 0, 0};
float gCameraDistance = 0.0f;
