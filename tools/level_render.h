// A picture of a whole level drawn with the game's own pictures, every cell as if revealed,
// with markers for units and triggers, so a designer can review a level at a glance.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "world/level_checks.h"
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
