// A device with no screen: a clock that moves only when told (or when the game sleeps),
// scripted events and fingers, and counters of what the game asked for.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <deque>
#include <string>

#include "platform/platform.h"

struct HeadlessFinger {
  bool down = false;
  int x = 0;  // portrait device pixels
  int y = 0;
};

struct HeadlessDevice {
  uint32_t ticks = 0;
  std::deque<SDL_Event> events;
  HeadlessFinger fingers[kFingerSlots];
  // Where the pointer query answers: the finger of the last mouse event handed out, as on
  // the phone, where the pointer is the finger that moved last.
  int pointerFinger = 0;
  int swaps = 0;
  uint32_t slept = 0;  // milliseconds, over all Delay calls
  int delayCalls = 0;
  int exitStatus = -1;  // set when the game ends the process
  int videoWidth = 0, videoHeight = 0;
  int orientation = 0;
  std::string caption;
  bool audioOpen = false;
};

// Installs the headless table into gPlatform and resets the device.
HeadlessDevice& UseHeadlessPlatform();
HeadlessDevice& Headless();

// A finger (or, for finger 0, the mouse) put at a landscape point.
void HeadlessTouch(int finger, int landscapeX, int landscapeY, bool down);
