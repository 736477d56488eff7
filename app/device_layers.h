// The device the game runs on, composed in one place at start: the bare device, then each
// layer over the one below it in a fixed order. A layer sees only the table below it, so
// what happens never depends on the order things start in.
#pragma once

#include "platform/platform.h"

// A layer keeps the table below it and returns the table above it.
using DeviceLayer = PlatformApi (*)(const PlatformApi& below);

// Innermost first; a null layer is left out.
struct DeviceLayers {
  DeviceLayer replay = nullptr;     // a script's input and clock instead of the player's
  DeviceLayer recording = nullptr;  // writes down the input the game takes, a replay's too
  DeviceLayer trace = nullptr;      // the browser's: notes where each frame of play ends
};

// Wraps gPlatform, which holds the bare device, in the layers given.
void ComposeDevice(const DeviceLayers& layers);
