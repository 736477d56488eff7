// A device with no screen: a clock that moves only when told (or when the game sleeps),
// scripted events and fingers, and counters of what the game asked for.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

struct HeadlessFinger {
  bool down = false;
  int x = 0;  // portrait device pixels
  int y = 0;
};

// What the game asked of the music: the files it loaded (a tune is its place in `files`), the
// plays with their loop counts, the stops, the volumes, and whether a tune would still be
// heard (a test sets it false to end one).
struct HeadlessMusic {
  std::vector<std::string> files;
  std::vector<std::pair<std::string, int>> plays;  // file, loops
  std::vector<int> stopFades;                      // milliseconds of each stop's fade
  std::vector<int> volumes;
  bool playing = false;
};

struct HeadlessDevice {
  uint32_t ticks = 0;
  std::deque<InputEvent> events;
  HeadlessFinger fingers[kFingerSlots];
  int swaps = 0;
  uint32_t slept = 0;  // milliseconds, over all Delay calls
  int delayCalls = 0;
  int exitStatus = -1;    // set when the game ends the process
  bool noScreen = false;  // OpenScreen fails, as on a machine without a display
  int screenWidth = 0, screenHeight = 0;
  std::string caption;
  bool audioOpen = false;
  HeadlessMusic music;
};

// Installs the headless table into gPlatform and resets the device.
HeadlessDevice& UseHeadlessPlatform();
HeadlessDevice& Headless();

// A finger put at a landscape point, without an event.
void HeadlessTouch(int finger, int landscapeX, int landscapeY, bool down);
// Queues the event a finger's current state gives (down, move or up) at its portrait point.
void HeadlessFingerEvent(int finger, InputType type);
// Queues an action's press or release.
void HeadlessAction(InputAction action, bool pressed, InputSource source = InputSource::kKeyboard);
