// --replay: a simulator script played in the window, frame by frame as the simulator plays
// it. The player's own input is ignored but quit, pause and full screen; at the script's last
// frame the game prints that frame's state as the simulator traces it, and stands still.
#pragma once

#include <string>

// Reads the script and puts it in place of the device's input and frame clock; false with
// "FILE:LINE: message" in `error`.
bool StartReplay(const std::string& path, std::string& error);

// Around every pass of play.
void ReplayPassStart();
void ReplayPassEnd();
