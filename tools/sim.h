// The headless simulator: the real game frame (input, two sub-steps, world pass, heads-up
// pass) on a fake clock, driven by a script of touches and keys, reporting what happened.
// brinkhop-sim is a thin command line over this; tests drive it directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
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
uint32_t QueueSimFrame(const std::vector<SimEvent>& events, int frame, uint32_t previousTicks);

struct SimOptions {
  std::string dataDir;  // where the game's files are; the simulation works from there
  int frames = 600;     // unless the script ends itself
  bool trace = false;
  bool units = false;
};

class cSimulation {
 public:
  // Starts the game as the start button would; false with a message if the level cannot be
  // read.
  bool Start(const std::string& dataDir, std::string& error);
  // Deletes everything a start made (the map, the player, the units, the effects), as a
  // fresh process has none of it.
  static void ReleaseGame();
  // Runs one frame with the events of that frame from the script `events`, which is in frame
  // order as ParseSimScript leaves it: the frame's events are found by a binary search, so a
  // long run costs time in proportion to its length, not to its length times its events.
  void RunFrame(const std::vector<SimEvent>& events);
  // The frame just run, as one JSON object.
  std::string TraceLine(bool withUnits) const;
  std::string Summary() const;
  int FramesRun() const { return mFrame; }

  static constexpr unsigned kFirstFrameTicks = 1000;  // ms
  static constexpr unsigned kFrameTicks = 33;         // ms

 private:
  int mFrame = 0;
  uint32_t mTicks = 0;
  std::vector<int> mSounds;  // of the frame just run
};

// The game's state after a frame, as one JSON object of the trace: `frame` is its number from
// 0, `frameSounds` the sounds it asked for (SoundId values). The browser's trace uses it too.
std::string TraceJson(int frame, const std::vector<int>& frameSounds, bool withUnits);

// The whole command line; returns the exit status (0; 1 an unreadable script or a level refused,
// at the start or on the way; 2 usage).
int RunSimulator(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// Runs a tool's command line with the game's own data folder (beside the executable) added as
// --data when the line names none.
using ToolMain = int (*)(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
int RunWithGameData(int argc, char** argv, ToolMain run);
