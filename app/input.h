// Input: eleven finger slots read every frame in landscape coordinates and turned into action
// flags by the on-screen buttons, plus the device's held actions (keys, gamepads) feeding the
// same flags, and the pause. Everything arrives as the game's own events (platform/platform.h).
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "player/actions.h"

struct FingerSlot {
  bool down;
  int32_t x;  // landscape pixels
  int32_t y;
};

constexpr int kRetryClearedActions = 5;  // the retry clears actions 0 to 4

extern FingerSlot gFingers[kFingerSlots];

// False while the player plays by keyboard or gamepad: the play buttons hide until the next
// touch. The retry button shows whenever the player is dying.
extern bool gTouchControlsVisible;

void ClearFingers();
// Forgets held actions, spent fingers, the pause and the hidden buttons (a new game).
void ResetHeldInput();

// A portrait device point as a landscape point.
void DeviceToLandscape(int deviceX, int deviceY, int32_t* x, int32_t* y);

// The finger that pressed START is no touch of play: it counts again once it lifts or presses
// anew, so a click on START never pushes the player through the button beneath it.
void SpendFinger(int slot);

// The frame's input step: the event queue, then every finger slot, then the flags.
void HandleInput();

// While paused no frame runs; this keeps reading events so the game can wake up.
void HandlePausedInput();
bool GamePaused();
