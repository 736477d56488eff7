// --replay: a simulator script played in the window, frame by frame as the simulator plays
// it. The player's own input is ignored but quit, pause and full screen; at the script's last
// frame the game prints that frame's state as the simulator traces it, and stands still.
#pragma once

#include <string>

#include "platform/platform.h"

// Reads the script; false with "FILE:LINE: message" in `error`.
bool StartReplay(const std::string& path, std::string& error);
// The device layer that puts the script in place of the device's input and frame clock.
PlatformApi ReplayLayer(const PlatformApi& below);

// Around every pass of play.
void ReplayPassStart();
void ReplayPassEnd();
