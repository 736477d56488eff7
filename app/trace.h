// The game's state after a frame as one JSON line: the simulator's trace, the end of a recorded
// run, and what the browser answers to trace().
#pragma once

#include <string>
#include <vector>

// The game's state after a frame, as one JSON object of the trace: `frame` is its number from
// 0, `frameSounds` the sounds it asked for (SoundId values). The browser's trace uses it too.
std::string TraceJson(int frame, const std::vector<int>& frameSounds, bool withUnits);
