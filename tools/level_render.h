// A picture of a whole level drawn with the game's own pictures, every cell as if revealed,
// with markers for units and triggers, so a designer can review a level at a glance.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "world/level_file.h"

struct RenderOptions {
  std::string dataDir;      // where the game's pictures are
  int cellPixels = 8;       // picture pixels per map cell
  int stripColumns = 1024;  // a longer level wraps into strips stacked downwards
};

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // 4 bytes a pixel, rows top down
};

// Draws the used columns of the level. Pictures missing from the data folder are drawn as
// plain coloured cells and their names listed in `missingPictures`.
RgbaImage RenderLevel(const LevelData& level, const RenderOptions& options,
                      std::vector<std::string>* missingPictures = nullptr);

// Columns up to the last one holding anything but reset values (at least 1).
int UsedColumns(const LevelData& level);

// The cell the player starts in, found as the game finds it: the last cell, in storage order,
// linked to the highest-indexed start trigger that any cell links to.
std::optional<std::pair<int, int>> StartCell(const LevelData& level);

// The pictures this renderer draws, as one JSON object for a renderer elsewhere (the
// browser's editor) to draw the same: {"ground": [variant 1...], "deco": [code 1...],
// "block": {"code": name}, "unit": [type code 0...], "coin", "font", "player"}; null where a
// code has no picture.
std::string PictureTableJson();
