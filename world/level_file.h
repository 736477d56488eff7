// The binary level file: reading it whole, checking it before anything uses it, and writing
// it back. Shared by the game's loader, the level tool and the fuzzer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "world/codes.h"

constexpr int kMapColumns = 4096;
constexpr int kMapRows = 64;
constexpr int kMapCells = kMapColumns * kMapRows;  // 262,144
constexpr int kMaxTriggers = 1024;
constexpr int kMaxLabels = 1024;
constexpr int kMaxLabelLength = 127;  // bytes; a label buffer holds 128 with the terminator
constexpr int kTrailerInts = 4;       // read and ignored at the end of every file
constexpr int kMaxWarps = 32;
constexpr int kMaxWarpNameLength = 127;
// The optional pipe-warp section after the trailer starts with these four bytes; files without
// it (all older ones) simply end after the trailer.
constexpr char kWarpSectionMagic[4] = {'W', 'A', 'R', 'P'};
// A full level is a little over 8 MB; a file twice that size is refused unread.
constexpr size_t kMaxLevelFileBytes = 16 << 20;
// Then, each optional in this order: where the level ends ("GOAL" and a cell rectangle) and
// which backdrop stands behind which cells ("BACK", a count, and rectangles with a kind).
constexpr char kGoalSectionMagic[4] = {'G', 'O', 'A', 'L'};
constexpr char kBackdropSectionMagic[4] = {'B', 'A', 'C', 'K'};
constexpr int kMaxBackdropRegions = 64;
// Last, where a retry after a death may start ("FLAG", a count, and cells in route order).
constexpr char kCheckpointSectionMagic[4] = {'F', 'L', 'A', 'G'};
constexpr int kMaxCheckpoints = 32;

// What stands behind the world: the outdoor sky with clouds and hills, or a dark one.
enum BackdropKind : int32_t { kBackdropSky, kBackdropCave, kBackdropCastle, kBackdropKinds };

// The layers as the file orders them (the map declares them in another order).
enum LevelLayer : int {
  kFileGround,
  kFileCoin,
  kFileBlock,
  kFileUnit,
  kFileTrigger,
  kFileLabel,
  kFileReveal,
  kFileDeco,
  kFileLayerCount
};
extern const char* const kLevelLayerNames[kFileLayerCount];  // "ground", "coin", ...

// Trigger record fields in file order.
struct LevelTrigger {
  int32_t kind;
  int32_t unitType;
  int32_t onlyCode;
  int32_t column0;
  int32_t column1;
  int32_t row0;
  int32_t row1;
  bool operator==(const LevelTrigger&) const = default;
};

struct LevelText {
  uint8_t skipped = 0;  // the byte between the length and the text, kept for a faithful rewrite
  std::string text;     // at most kMaxLabelLength bytes once read
  bool operator==(const LevelText&) const = default;
};

// A pipe entry: where it is (px), which way the player goes in (1 down, 2 right, 3 left,
// 4 up), and the level file and start point it leads to.
struct LevelWarp {
  int32_t x = 0, y = 0;
  int32_t direction = 0;
  int32_t startIndex = 0;
  std::string fileName;
  bool operator==(const LevelWarp&) const = default;
};

// A rectangle of cells, corners included.
struct LevelArea {
  int32_t column0 = 0, row0 = 0, column1 = 0, row1 = 0;
  bool Contains(int32_t column, int32_t row) const {
    return column >= column0 && column <= column1 && row >= row0 && row <= row1;
  }
  // Both corners on the grid, in order: only such an area may be turned into pixels.
  bool OnGrid() const {
    return column0 >= 0 && column0 <= column1 && column1 < kMapColumns && row0 >= 0 &&
           row0 <= row1 && row1 < kMapRows;
  }
  bool operator==(const LevelArea&) const = default;
};

struct LevelBackdrop {
  LevelArea area;
  int32_t kind = kBackdropSky;
  bool operator==(const LevelBackdrop&) const = default;
};

// A checkpoint's cell: the player stands in it after a retry; passing its column at or above
// its row reaches it.
struct LevelCell {
  int32_t column = 0, row = 0;
  bool operator==(const LevelCell&) const = default;
};

struct LevelData {
  int32_t sizeA = kMapColumns;
  int32_t sizeB = kMapRows;
  // Each layer holds sizeA * sizeB cells, column-major (64 per column in a full level).
  std::array<std::vector<int32_t>, kFileLayerCount> layers;
  std::vector<LevelTrigger> triggers;
  std::vector<LevelText> texts;
  std::array<int32_t, kTrailerInts> trailer{};
  bool hasWarpSection = false;
  std::vector<LevelWarp> warps;
  bool hasGoal = false;
  LevelArea goal;
  bool hasBackdropSection = false;
  std::vector<LevelBackdrop> backdrops;  // the first region holding a cell decides
  bool hasCheckpointSection = false;
  std::vector<LevelCell> checkpoints;
  std::vector<uint8_t> extra;  // bytes after the trailer and the sections, kept as they are

  int32_t CellCount() const { return int32_t(layers[kFileGround].size()); }
};

// A full-size level with every layer at its reset value (triggers -1, labels -1 for none).
LevelData EmptyLevel();

// A block code the game has a picture and a rule for; any other does nothing in play.
bool KnownBlockCode(int32_t code);

// Reads a level from memory. On a structural fault (bad sizes or counts, truncation) returns
// false and describes it in `error` ("truncated: expected 8388616 bytes of layers, found
// 1000"); `out` is then unspecified. Texts longer than kMaxLabelLength are cut, with a note in
// `clipped`. Values the game makes harmless where it uses them are not checked here.
bool ParseLevel(const uint8_t* bytes, size_t size, LevelData& out, std::string& error,
                std::vector<std::string>* clipped = nullptr);

// Reads a whole file; false with the reason the file cannot be read ("not a regular file",
// "larger than 16777216 bytes", ...) or a parse error.
bool ReadLevelFile(const std::string& path, LevelData& out, std::string& error,
                   std::vector<std::string>* clipped = nullptr);

std::vector<uint8_t> SerializeLevel(const LevelData& level);

// Every value the game would refuse, cut or treat as nothing, one line each with its cell
// or record ("trigger 3: rectangle column 5000 is off the grid").
std::vector<std::string> LevelProblems(const LevelData& level);

// A warp leads to a plain file in the game's folder; anything else (a path, nothing) is no
// warp at all.
bool WarpFileNameUsable(const std::string& name);

// The backdrop behind a cell: the first region holding it, the sky where none does.
int32_t BackdropAt(const LevelData& level, int32_t column, int32_t row);

// Cell (column, row) of a layer as stored: column * 64 + row.
constexpr int CellIndex(int column, int row) { return column * kMapRows + row; }
