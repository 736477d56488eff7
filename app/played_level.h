// A designer's level played from its file (--level): read at start, looked at again about once
// a second, and reloaded when saved; a save that does not build leaves the old level playing.
#pragma once

#include <string>

// Reads the level and plays it from now on instead of the data folder's level. False after
// printing every fault on the error stream ("FILE:LINE:COLUMN: message").
bool LoadPlayedLevel(const std::string& path);

// Once a pass: when the file changed since it was last read, builds it again and restarts the
// player at the start point with the score kept, or shows the first fault on screen.
void WatchPlayedLevel();

// Looks at the file now, whenever it was last looked at.
void CheckPlayedLevelNow();
