// The world: one map of 4096 x 64 cells in eight layers, the level's triggers and texts, and
// the texture tables the map draws with. Loading, triggers and the reset are in map.cpp, the
// tile queries in map_queries.cpp, the per-frame pass in map_draw.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "world/codes.h"
#include "world/level_file.h"

struct Texture;

constexpr int kCellSize = 32;  // px
constexpr int kTileTextureSlots = 128;
constexpr int kDecoTextureSlots = 128;
constexpr int kBlockTextureSlots = 41;
constexpr int kStartPoints = 32;
constexpr int kWarps = 32;
constexpr int kLabelBytes = kMaxLabelLength + 1;
constexpr int32_t kNoTrigger = -1;
constexpr int kGroundVariants = 5;  // tile.png, tile1.png .. tile4.png

// The coins turn through their own pictures: coinFrame counts from 30 to 33 and its whole
// part, less 30, picks the picture.
constexpr int kCoinFrames = 4;
constexpr float kCoinFrameFirst = 30.0f;
// A walkway's belt runs through a few pictures, one every kWalkwayFrameMilliseconds of the
// frame clock; only the look moves, the carrying is the player's rule.
constexpr int kWalkwayFrames = 4;
constexpr uint32_t kWalkwayFrameMilliseconds = 60;

struct StartPoint {
  int32_t x, y;
};

struct WarpRecord {
  int32_t x, y;
  std::string fileName;
  int32_t direction;
  int32_t startIndex;
};

struct TriggerRecord {
  bool active;
  int32_t column0;
  int32_t row0;
  int32_t column1;
  int32_t row1;
  int32_t onlyCode;
  int32_t kind;
  int32_t unitType;
};

class cMap {
 public:
  cMap();

  void ResetMap();
  void AddTileTexture(const char* name);
  // False when the file was refused; the map is then left reset and stderr says why. Levels
  // have only start point 0, so every start index places the player there.
  bool LoadLevel(const char* fileName, int32_t startIndex);
  void FireTrigger(int32_t column, int32_t row);
  void RevealCell(int32_t column, int32_t row);
  // Strikes one cell; onlyCode 0 strikes any block, another code only that one.
  void HitBlock(int32_t column, int32_t row, int32_t onlyCode);
  // Strikes at two points, a head's corners or a shell's; ends the player's push.
  void HeadBump(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

  int32_t SolidAt(int32_t x, int32_t y) const;
  bool OpenBelow(int32_t x, int32_t y) const;
  int32_t BlockCodeAt(int32_t x, int32_t y) const;
  int32_t DecoCodeAt(int32_t x, int32_t y) const;

  void UpdateAndDraw();

  // The solid value of a cell inside the grid: ground plus block, hidden boxes not counted.
  int32_t SolidValue(int32_t column, int32_t row) const;

  int32_t shellHit = 0;
  float coinFrame = 30.0f;
  std::string levelName;
  int32_t refusedLoads = 0;  // level files refused since the map was made (the tools ask)
  // The file the cells came from and the number of its load, counted over every map the
  // process has made (a test or the simulator makes a new map per run): what is drawn over the
  // map knows from them which level it stands on and when it was loaded afresh.
  std::string loadedName;
  uint32_t loads = 0;
  int32_t tileTextureCount = 1;
  int32_t groundLayer[kMapCells];
  int32_t decoLayer[kMapCells];
  int32_t coinLayer[kMapCells];
  int32_t blockLayer[kMapCells];
  int32_t revealLayer[kMapCells];
  int32_t triggerLayer[kMapCells];
  int32_t unitLayer[kMapCells];
  int32_t labelLayer[kMapCells];
  Texture* tileTextures[kTileTextureSlots] = {};
  Texture* decoTextures[kDecoTextureSlots] = {};
  Texture* blockTextures[kBlockTextureSlots] = {};
  Texture* coinTextures[kCoinFrames] = {};
  // By direction, left then right; blockTextures of the walkway codes hold the first frame.
  Texture* walkwayTextures[2][kWalkwayFrames] = {};
  StartPoint startPoints[kStartPoints] = {};
  WarpRecord warps[kWarps] = {};
  TriggerRecord triggers[kMaxTriggers] = {};
  char labels[kMaxLabels][kLabelBytes] = {};
  // Where the level ends, if it says, and what stands behind which cells.
  bool hasGoal = false;
  LevelArea goal;
  std::vector<LevelBackdrop> backdrops;
  std::vector<LevelCell> checkpoints;  // in route order

 private:
  void ClearLayers();
};

extern cMap* gMap;

// The level played as the first level instead of the data folder's file: a designer's own,
// built in memory. Null reads the file.
extern const LevelData* gPlayedLevel;
// A cell the player starts the first level at instead of its start point (not through a pipe
// into it), also after a restart or a retry; column -1 for none.
struct StartCell {
  int32_t column = -1, row = -1;
};
extern StartCell gStartCell;

// Tick count of the last ground shuffle.
extern uint32_t gLastShuffle;

// The cell of a pixel: division truncating toward zero, so -31..31 are all cell 0.
constexpr int32_t PixelToCell(int32_t pixel) { return pixel / kCellSize; }
constexpr bool CellInGrid(int32_t column, int32_t row) {
  return column >= 0 && column < kMapColumns && row >= 0 && row < kMapRows;
}
