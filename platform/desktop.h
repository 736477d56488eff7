// The desktop device: an SDL 2 window in landscape that shows the game's portrait screen
// upright, touches, mouse, keys and gamepads as the game's events, sound through SDL2_mixer,
// and the data folder found beside the executable.
#pragma once

#include <string>

// Installs the desktop table into gPlatform.
void UseDesktopPlatform();

// Makes the game's data folder the working directory, as the game reads its files by bare
// name: <executable dir>/data, or the installed <prefix>/share/brinkhop. False if neither is there.
bool EnterDataDirectory();
