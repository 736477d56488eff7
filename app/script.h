// The script of a run: touches, keys, pad presses, focus and clock lines frame by frame, as the
// simulator plays them and the game records and replays them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

// One line of a script. Keys come from the keyboard ("key") or a pad ("pad"); a clock line
// sets what the game's clock reads at its frame, when it is not 33 ms past the frame before
// (the real game's frames, recorded); an end line marks the last frame of a recorded run.
struct SimEvent {
  enum Kind { kDown, kMove, kUp, kKey, kFocus, kClock, kEnd };
  int frame = 0;
  Kind kind = kDown;
  int finger = 0;
  int x = 0, y = 0;                         // landscape px
  InputAction action = InputAction::kLeft;  // for kKey
  bool keyDown = false;                     // for kKey; for kFocus, true when focus comes back
  int line = 0;
  InputSource source = InputSource::kKeyboard;  // for kKey
  uint32_t ticks = 0;                           // ms, for kClock
};

// A recording of an hour of play with a key event every frame is a few megabytes.
constexpr size_t kMaxScriptBytes = 64 << 20;

// Reads a whole decimal number (no sign games, no trailing text) of a script or a tool's
// command line; false when `word` is not one.
bool ParseScriptInt(const std::string& word, int& value);

// Parses a script; false with "LINE: message" in `error`.
bool ParseSimScript(const std::string& text, std::vector<SimEvent>& events, std::string& error);
// The frame of the script's end line, -1 when it has none.
int SimScriptEnd(const std::vector<SimEvent>& events);
// One event as a script line (without the newline), as ParseSimScript reads it back.
std::string SimEventLine(const SimEvent& event);
// The script's event of a device event at a frame; false for events no script holds (a quit,
// the start and full-screen keys).
bool SimEventOf(const InputEvent& input, int frame, SimEvent& event);

// Puts the script's events of `frame` into the headless device as the frame reads them, and
// returns what the clock reads in that frame: a clock line's time, or `previousTicks` + 33 ms.
// What a script's clock reads at its first frame, and what every frame adds.
constexpr unsigned kScriptFirstFrameTicks = 1000;  // ms
constexpr unsigned kScriptFrameTicks = 33;         // ms

uint32_t QueueSimFrame(const std::vector<SimEvent>& events, int frame, uint32_t previousTicks);
