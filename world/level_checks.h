// What a designer likely did not mean in a level the game still reads: shared by the level
// tool's check and the editor's warnings panel.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "world/level_file.h"

// Shown texts too high above the ground under them to be read from it, each naming its cell
// as "(COLUMN, ROW)".
std::vector<std::string> HighTexts(const LevelData& level);

// Things a designer likely did not mean, though the game reads them without harm.
std::vector<std::string> LevelNotes(const LevelData& level);

// The cell the player starts in, found as the game finds it: the last cell, in storage order,
// linked to the highest-indexed start trigger that any cell links to.
std::optional<std::pair<int, int>> StartCell(const LevelData& level);
