// The map model: construction, the level reset, loading a level file and firing triggers.
#include "world/map.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/texture.h"
#include "player/player.h"
#include "units/unit_table.h"
#include "world/blocks.h"
#include "world/bonus.h"
#include "world/effects.h"
#include "world/messages.h"

cMap* gMap = nullptr;
const LevelData* gPlayedLevel = nullptr;
StartCell gStartCell;

namespace {

constexpr float kResetPlayerX = 320.0f;  // px
constexpr float kResetPlayerY = 240.0f;  // px
constexpr float kLoadSpeedY = -2.33f;    // px per step: a little hop into the level
constexpr float kCoinFrameStart = 30.0f;
const char* const kRestartLevelName = "level";
const char* const kGroundPictures[kGroundVariants] = {"tile.png", "tile1.png", "tile2.png",
                                                      "tile3.png", "tile4.png"};
constexpr int kGroundRow = kMapRows - 1;

// Where each file layer lands in the map.
int32_t* MapLayerOf(cMap& map, int fileLayer) {
  int32_t* const layers[kFileLayerCount] = {map.groundLayer, map.coinLayer,    map.blockLayer,
                                            map.unitLayer,   map.triggerLayer, map.labelLayer,
                                            map.revealLayer, map.decoLayer};
  return layers[fileLayer];
}

// A trigger's rectangle, clipped to the grid so a level cannot reach outside the map.
struct CellRange {
  int32_t column0, column1, row0, row1;
};
CellRange ClippedRectangle(const TriggerRecord& t) {
  return {std::max(t.column0, 0), std::min(t.column1, kMapColumns - 1), std::max(t.row0, 0),
          std::min(t.row1, kMapRows - 1)};
}

void StrikeCells(cMap& map, const TriggerRecord& t, int32_t) {
  const CellRange r = ClippedRectangle(t);
  for (int32_t c = r.column0; c <= r.column1; ++c)
    for (int32_t row = r.row0; row <= r.row1; ++row) {
      map.HitBlock(c, row, t.onlyCode);
      map.RevealCell(c, row);
    }
}

void SpawnInCells(cMap&, const TriggerRecord& t, int32_t) {
  const CellRange r = ClippedRectangle(t);
  for (int32_t c = r.column0; c <= r.column1; ++c)
    for (int32_t row = r.row0; row <= r.row1; ++row) SpawnUnit(c, row, t.unitType);
}

void Teleport(cMap&, const TriggerRecord& t, int32_t) {
  if (!gPlayer) return;
  gPlayer->x = float(std::clamp(t.column0, 0, kMapColumns - 1) * kCellSize);
  gPlayer->y = float(std::clamp(t.row0, 0, kMapRows - 1) * kCellSize);
}

void ShowTriggerMessage(cMap&, const TriggerRecord&, int32_t index) {
  const int32_t message = MessageOfTrigger(index);
  if (message != kNoMessage) ShowMessage(message);
}

void NoEffect(cMap&, const TriggerRecord&, int32_t) {}

using TriggerEffect = void (*)(cMap&, const TriggerRecord&, int32_t index);
// By trigger kind.
constexpr TriggerEffect kTriggerEffects[] = {StrikeCells, SpawnInCells, Teleport,
                                             NoEffect,    NoEffect,     ShowTriggerMessage};
static_assert(std::size(kTriggerEffects) == kTriggerKinds);

}  // namespace

cMap::cMap() {
  ClearLayers();
  for (int i = 1; i <= kDecoCodes; ++i)
    decoTextures[i] = LoadTexture("deco" + std::to_string(i) + ".png");
}

void cMap::ClearLayers() {
  std::fill(std::begin(groundLayer), std::end(groundLayer), 0);
  std::fill(std::begin(decoLayer), std::end(decoLayer), 0);
  std::fill(std::begin(coinLayer), std::end(coinLayer), 0);
  std::fill(std::begin(blockLayer), std::end(blockLayer), 0);
  std::fill(std::begin(revealLayer), std::end(revealLayer), 0);
  std::fill(std::begin(triggerLayer), std::end(triggerLayer), kNoTrigger);
  std::fill(std::begin(unitLayer), std::end(unitLayer), 0);
  std::fill(std::begin(labelLayer), std::end(labelLayer), 0);
}

void cMap::ResetMap() {
  if (gPlayer) {
    gPlayer->x = kResetPlayerX;
    gPlayer->y = kResetPlayerY;
  }
  gBump.frame = kBumpIdleFrame;
  DeactivateBonuses();
  tileTextureCount = 1;
  ClearLayers();
  // No pipe stays from an earlier level, even when the next one cannot be loaded: an old
  // entry in the emptied map would take the player again and again.
  for (WarpRecord& warp : warps) warp = WarpRecord{};
  hasGoal = false;
  backdrops.clear();
  checkpoints.clear();
  DeleteAllUnits();
  if (gFireField) gFireField->Clear();
  if (gBurst) gBurst->Clear();
  coinFrame = kCoinFrameStart;
}

void cMap::AddTileTexture(const char* name) {
  // Every load asks for the same five pictures; LoadTexture hands back the records it made
  // the first time.
  if (tileTextureCount < 0 || tileTextureCount >= kTileTextureSlots) return;
  tileTextures[tileTextureCount++] = LoadTexture(name);
}

bool cMap::LoadLevel(const char* fileName, int32_t startIndex) {
  // Restarts reload the first level, and they must be able to name it even when this load is
  // refused. The name may be levelName itself, so it is copied before levelName is replaced.
  const std::string name = fileName;
  levelName = kRestartLevelName;
  ResetMap();
  if (gPlayer) {
    gPlayer->speedX = 0.0f;
    gPlayer->speedY = kLoadSpeedY;
    gPlayer->blinkTimer = 0;
  }
  for (const char* picture : kGroundPictures) AddTileTexture(picture);

  const bool firstLevel = name == kRestartLevelName;
  LevelData level;
  std::string error;
  if (firstLevel && gPlayedLevel) {
    level = *gPlayedLevel;
  } else if (!ReadLevelFile(name, level, error)) {
    std::fprintf(stderr, "%s: %s\n", name.c_str(), error.c_str());
    ++refusedLoads;
    return false;
  }

  const size_t cells = size_t(level.CellCount());
  for (int layer = 0; layer < kFileLayerCount; ++layer)
    std::copy_n(level.layers[layer].begin(), cells, MapLayerOf(*this, layer));
  for (size_t i = 0; i < level.triggers.size(); ++i) {
    const LevelTrigger& t = level.triggers[i];
    triggers[i] = {true, t.column0, t.row0, t.column1, t.row1, t.onlyCode, t.kind, t.unitType};
  }
  for (size_t i = 0; i < level.warps.size() && i < size_t(kWarps); ++i) {
    const LevelWarp& w = level.warps[i];
    if (WarpFileNameUsable(w.fileName))
      warps[i] = {w.x, w.y, w.fileName, w.direction, w.startIndex};
  }
  loadedName = name;
  static uint32_t loadsEver = 0;
  loads = ++loadsEver;
  // `check` reports a goal off the grid; play has none, as the gate's pixels would not fit.
  hasGoal = level.hasGoal && level.goal.OnGrid();
  goal = level.goal;
  backdrops = level.backdrops;
  // `check` reports checkpoints off the grid; play leaves them out, as their pixels would not
  // fit the game's numbers.
  for (const LevelCell& cell : level.checkpoints)
    if (CellInGrid(cell.column, cell.row)) checkpoints.push_back(cell);
  for (size_t i = 0; i < level.texts.size(); ++i) {
    const std::string& text = level.texts[i].text;
    std::memcpy(labels[i], text.data(), text.size());
    labels[i][text.size()] = '\0';
  }

  // The start point is the last marked cell of the highest start trigger that marks any.
  int32_t startTrigger = -1;
  size_t startCell = 0;
  for (size_t cell = 0; cell < size_t(kMapCells); ++cell) {
    const int32_t link = triggerLayer[cell];
    if (link < 0) continue;
    const int32_t index = link & kLinkIndexMask;
    if (index < kMaxTriggers && triggers[index].kind == kTriggerStart && index >= startTrigger) {
      startTrigger = index;
      startCell = cell;
    }
  }
  if (startTrigger >= 0)
    startPoints[0] = {int32_t(startCell / kMapRows) * kCellSize,
                      int32_t(startCell % kMapRows) * kCellSize};

  for (int32_t column = 0; column < kMapColumns; ++column)
    groundLayer[CellIndex(column, kGroundRow)] = 0;

  for (int32_t column = 0; column < kMapColumns; ++column)
    for (int32_t row = 0; row < kMapRows; ++row) {
      const int32_t unit = unitLayer[CellIndex(column, row)];
      if (unit > 0) SpawnUnit(column, row, unit - 1);
    }

  if (gPlayer) {
    // Levels mark only start point 0; a warp naming another comes out there too rather than
    // in the top-left corner.
    StartPoint start = startPoints[0];
    if (firstLevel && startIndex == 0 && gStartCell.column >= 0)
      start = {gStartCell.column * kCellSize, gStartCell.row * kCellSize};
    gPlayer->x = float(start.x);
    gPlayer->y = float(start.y);
  }
  return true;
}

void cMap::FireTrigger(int32_t column, int32_t row) {
  if (!CellInGrid(column, row)) return;
  int32_t& link = triggerLayer[CellIndex(column, row)];
  const int32_t index = link & kLinkIndexMask;
  // Links past the trigger table act as no link at all.
  if (link < 0 || index >= kMaxTriggers) return;
  TriggerRecord& trigger = triggers[index];
  const int32_t flags = link;
  if (flags & kLinkRearmBits) trigger.active = true;
  if (trigger.active && trigger.kind >= 0 && trigger.kind < int32_t(std::size(kTriggerEffects)))
    kTriggerEffects[trigger.kind](*this, trigger, index);
  if (flags & kLinkDisarmBits) trigger.active = false;
  if (!(flags & kLinkKeepBits)) link = kNoTrigger;
}

void cMap::RevealCell(int32_t column, int32_t row) {
  if (CellInGrid(column, row)) revealLayer[CellIndex(column, row)] = 1;
}
