// The route finder: searches the jump presses that carry a player holding right from the end
// of a script to the goal (or a column) without dying, on the real game frame. Level designers
// use it to re-record replays after an edit and to measure how long a run goes without a press.
#pragma once

#include <string>
#include <vector>

#include "app/sim.h"

struct RouteOptions {
  std::string dataDir;
  int toColumn = -1;     // -1: the goal
  int maxFrames = 6000;  // give up on a run this long
  int lookBack = 72;     // frames before a failure where a press may start
};

struct RouteResult {
  bool reached = false;
  int reachedFrame = -1;        // the frame the goal or column was reached
  std::vector<SimEvent> added;  // the presses the search added after the prefix
  int failFrame = -1;           // when not reached: where the best run failed
  float furthestX = 0;          // px, the furthest the player stood
  // The longest runs of frames of the whole run (prefix and search) without a jump press, and
  // without any event (a press, a coin or score, a message, a checkpoint, a change of power),
  // with the columns the player stood in at their two ends.
  struct Stretch {
    int frames = 0;
    int fromColumn = 0, toColumn = 0;
  };
  Stretch withoutPress, withoutEvent;
  int runs = 0;  // runs of the level the search took
};

// Searches presses after `prefix` (held right is added when the prefix leaves it up). The game's
// level is whatever gPlayedLevel / the data folder hold, as for the simulator.
RouteResult FindRoute(const std::vector<SimEvent>& prefix, const RouteOptions& options);

// A first-timer: holds right, jumps at what is on screen (a wall or a pit ahead, an enemy
// coming, spikes it can see) and retries after every death. What a stranger's first run
// costs, for the level designer: where it died and how often.
struct FirstTimerDeath {
  int frame = 0;
  int column = 0, row = 0;
  int message = -1;     // the message showing a moment after the death, -1 none
  int checkpoint = -1;  // the last checkpoint reached before it
};
struct FirstTimerRun {
  std::vector<FirstTimerDeath> deaths;
  int goalFrame = -1;            // -1: gave up before the goal
  std::vector<SimEvent> events;  // what it pressed, a script that replays the run
};
FirstTimerRun PlayAsFirstTimer(const RouteOptions& options, int maxDeaths);

// The whole command line; returns the exit status (0 reached; 1 not reached or an unreadable
// input; 2 usage).
int RunRouteFinder(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
