// The resource bank: textures and sounds shared across the game, loaded once at start-up.
#pragma once

constexpr float kDefaultCameraDistance = -450.0f;  // world pixels, the camera's eye z

void LoadResources();
