// The simulator's frame driver: the real game frame (input, two sub-steps, world pass, heads-up
// pass) on a fake clock, driven by a script of touches and keys, reporting what happened.
// brinkhop-sim, the route finder, the browser's replays and the tests all drive it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "app/script.h"
#include "app/trace.h"
#include "world/level_file.h"
#include "world/map.h"

struct SimOptions {
  std::string dataDir;  // where the game's files are; the simulation works from there
  int frames = 600;     // unless the script ends itself
  bool trace = false;
  bool units = false;
};

// The level and start cell a tool's runs play, set as the game's globals for as long as the
// scope lives; without a level read, the data folder's own level plays.
class cPlayedLevelScope {
 public:
  explicit cPlayedLevelScope(StartCell at);
  ~cPlayedLevelScope();
  cPlayedLevelScope(const cPlayedLevelScope&) = delete;
  cPlayedLevelScope& operator=(const cPlayedLevelScope&) = delete;
  // Reads a level source or file to play (nothing for an empty path); false with its faults
  // written to `err`, one a line.
  bool Read(const std::string& path, std::ostream& err);

 private:
  LevelData mLevel;
};

// Reads "COL,ROW" of a cell in the map; false otherwise.
bool ParseCell(const std::string& text, StartCell& cell);

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
  // The sounds the frame just run started, as the trace names them.
  const std::vector<int>& FrameSounds() const { return mSounds; }
  std::string Summary() const;
  int FramesRun() const { return mFrame; }

  static constexpr unsigned kFirstFrameTicks = kScriptFirstFrameTicks;  // ms
  static constexpr unsigned kFrameTicks = kScriptFrameTicks;            // ms

 private:
  int mFrame = 0;
  uint32_t mTicks = 0;
  std::vector<int> mSounds;  // of the frame just run
};
