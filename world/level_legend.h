// The level source text's legend, shared by its reader and its writer: the names of codes,
// the planes of cells that share a grid, and the default characters of the grids.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "world/codes.h"
#include "world/level_text.h"

namespace level_legend {

struct CodeName {
  int32_t code;
  const char* name;
};

// Only codes with a role of their own get a name; inert look-alikes stay numbers.
constexpr CodeName kBlockNames[] = {
    {kBlockBrick, "brick"},
    {kBlockCoinBox, "coinbox"},
    {kBlockHiddenCoinBox, "hiddencoinbox"},
    {kBlockGrowthBox, "growbox"},
    {kBlockPoisonBox, "deadlybox"},
    {kBlockVanishingBox, "vanishbox"},
    {kBlockStarBox, "starbox"},
    {kBlockLifeBox, "lifebox"},
    {kBlockHiddenBonusBox, "hiddenlifebox"},
    {kBlockInertBox, "inertbox"},
    {kBlockUsedBox, "usedbox"},
    {kBlockCracked, "cracked"},
    {kBlockStone, "stone"},
    {kBlockInvisible, "invisible"},
    {kBlockBumping, "bumping"},
    {kBlockPipeSideMouth, "pipemouth"},
    {kBlockPipeSideBody, "pipelying"},
    {kBlockWalkwayLeft, "walkway-left"},
    {kBlockWalkwayRight, "walkway-right"},
    {PipeTop(kPipeGreen), "greenpipetop"},
    {PipeBody(kPipeGreen), "greenpipe"},
    {PipeTop(kPipeOrange), "orangepipetop"},
    {PipeBody(kPipeOrange), "orangepipe"},
    {PipeTop(kPipeBlue), "bluepipetop"},
    {PipeBody(kPipeBlue), "bluepipe"},
};
constexpr CodeName kDecoNames[] = {
    {1, "bush"},
    {2, "grass"},
    {6, "flower"},
    {kDecoBones, "bones"},
    {kDecoDeadlyA, "deadlyground"},
    {kDecoDeadlyB, "deadlyceiling"},
    {kDecoJumpPad, "jumppad"},
};
constexpr CodeName kUnitNames[] = {
    {kUnitCrawler, "crawler"},
    {kUnitTurtle, "turtle"},
    {kUnitTurtleFly, "wingedturtle"},
    {kUnitSpiky, "spiky"},
    {kUnitFireCircle, "firebar"},
    {kUnitFireCircle2, "swellingfirebar"},
    {kUnitFireCircle3, "bouncingfire"},
    {kUnitCannon, "cannon"},
    {kUnitBrett, "board"},
    {kUnitKillerBlume, "plant"},
    {kUnitFire, "fire"},
    {kUnitFly, "spinningfire"},
    {kUnitHammerRange0, "hammer0"},
    {kUnitHammerRange2, "hammer2"},
    {kUnitHammerRange3, "hammer3"},
    {kUnitHammerRange5, "hammer5"},
    {kUnitHammerRange7, "hammer7"},
    {kUnitHammerRange9, "hammer9"},
    {kUnitBoss, "boss"},
};
constexpr CodeName kKindNames[] = {
    {kTriggerStrike, "strike"}, {kTriggerSpawn, "spawn"},  {kTriggerTeleport, "teleport"},
    {kTriggerStart, "start"},   {kTriggerNothing, "none"}, {kTriggerMessage, "message"},
};

template <size_t N>
const char* NameOf(const CodeName (&table)[N], int64_t code) {
  for (const CodeName& entry : table)
    if (entry.code == code) return entry.name;
  return nullptr;
}

template <size_t N>
std::optional<int32_t> CodeOf(const CodeName (&table)[N], std::string_view name) {
  for (const CodeName& entry : table)
    if (name == entry.name) return entry.code;
  return std::nullopt;
}

// Planes: the layers that share one grid. The map grid holds what a cell shows and whether
// it shows from the start (reveal), so a designer sees the level as one picture; trigger
// links and the placing of texts each get a grid of their own over the same cells.

enum Plane { kMapPlane, kLinksPlane, kLabelsPlane, kPlaneCount };
constexpr int kMaxPlaneLayers = 6;
using Values = std::array<int32_t, kMaxPlaneLayers>;  // one cell's values in one plane

struct PlaneInfo {
  const char* name;
  int layerCount;
  std::array<int, kMaxPlaneLayers> layers;
};
constexpr PlaneInfo kPlanes[kPlaneCount] = {
    {"map", 6, {kFileGround, kFileCoin, kFileBlock, kFileUnit, kFileDeco, kFileReveal}},
    {"links", 1, {kFileTrigger}},
    {"labels", 1, {kFileLabel}},
};

inline Values ResetValues(Plane plane) {
  Values values{};
  for (int k = 0; k < kPlanes[plane].layerCount; ++k)
    values[k] = ResetValue(kPlanes[plane].layers[k]);
  return values;
}

inline Values CellValues(const LevelData& level, Plane plane, size_t index) {
  Values values{};
  for (int k = 0; k < kPlanes[plane].layerCount; ++k)
    values[k] = level.layers[kPlanes[plane].layers[k]][index];
  return values;
}

struct DefaultSymbol {
  char symbol;
  Values values;  // ground, coin, block, unit, deco, reveal
  const char* note;
};

// The map's default characters. Terrain, boxes and coins show from the start; the traps stay
// hidden until the player comes near (a hidden cell draws no ground either).
constexpr DefaultSymbol kDefaultSymbols[] = {
    {'#', {1, 0, 0, 0, 0, 1}, "ground"},
    {'=', {1, 0, 12, 0, 0, 1}, "cracked platform: looks like ground, gives way when stood on"},
    {'B', {0, 0, 1, 0, 0, 1}, "brick"},
    {'S', {0, 0, 14, 0, 0, 1}, "stone"},
    {'?', {0, 0, 2, 0, 0, 1}, "coin box"},
    {'!', {0, 0, 3, 0, 0, 0}, "hidden coin box: only a jump from below finds it"},
    {'G', {0, 0, 4, 0, 0, 1}, "growth box"},
    {'K', {0, 0, 5, 0, 0, 1}, "box with a deadly bonus"},
    {'V', {0, 0, 6, 0, 0, 1}, "box that vanishes and drops a deadly bonus"},
    {'I', {0, 0, 7, 0, 0, 1}, "invincibility box"},
    {'L', {0, 0, 8, 0, 0, 1}, "extra-life box"},
    {'H', {0, 0, 9, 0, 0, 0}, "hidden extra-life box"},
    {'N', {0, 0, 10, 0, 0, 1}, "inert box"},
    {'U', {0, 0, 11, 0, 0, 1}, "used box"},
    {'W', {0, 0, 15, 0, 0, 0}, "invisible wall"},
    {'o', {0, 1, 0, 0, 0, 1}, "coin"},
    {'^', {1, 0, 0, 0, 3, 0}, "deadly ground, hidden: kills the player landing on it"},
    {'v', {0, 0, 0, 0, 4, 0}, "deadly ceiling, hidden: kills the player jumping into it"},
    {'*', {1, 0, 0, 0, 5, 1}, "jump pad in the ground"},
    {'%', {0, 0, 0, 0, 1, 0}, "decoration 1"},
    {'&', {0, 0, 0, 0, 2, 0}, "decoration 2"},
    {'~', {0, 0, 0, 0, 6, 0}, "decoration 6"},
    {'+', {0, 0, 0, 0, 0, 1}, "empty, shown from the start: a text placed here shows at once"},
    {'c', {0, 0, 0, 1, 0, 0}, "crawler"},
    {'t', {0, 0, 0, 2, 0, 0}, "turtle"},
    {'w', {0, 0, 0, 3, 0, 0}, "winged turtle"},
    {'s', {0, 0, 0, 4, 0, 0}, "spiky"},
    {'x', {0, 0, 0, 5, 0, 0}, "fire bar"},
    {'y', {0, 0, 0, 6, 0, 0}, "swelling fire bar"},
    {'z', {0, 0, 0, 7, 0, 0}, "bouncing fire ball"},
    {'k', {0, 0, 0, 8, 0, 0}, "cannon"},
    {'b', {0, 0, 0, 9, 0, 0}, "moving board"},
    {'p', {0, 0, 0, 11, 0, 0}, "killer plant"},
    {'f', {0, 0, 0, 12, 0, 0}, "fire on the ground"},
    {'q', {0, 0, 0, 13, 0, 0}, "spinning fire ball"},
    {'0', {0, 0, 0, 14, 0, 0}, "hammer 0"},
    {'2', {0, 0, 0, 15, 0, 0}, "hammer 2"},
    {'3', {0, 0, 0, 16, 0, 0}, "hammer 3"},
    {'5', {0, 0, 0, 17, 0, 0}, "hammer 5"},
    {'7', {0, 0, 0, 18, 0, 0}, "hammer 7"},
    {'9', {0, 0, 0, 19, 0, 0}, "hammer 9"},
    {'M', {0, 0, 0, 20, 0, 0}, "the boss: two cells wide and tall, its feet in this cell"},
};

// Links and labels: digits and capitals stand for trigger or text 0..35 by default.
constexpr std::string_view kIndexSymbols = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
// Symbols for values no default covers, most readable first.
constexpr std::string_view kSymbolPool =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
    "!\"#$%&'()*+,-/:;<=>?@[\\]^_`{|}~";
constexpr char kEmptySymbol = '.';

using Legend = std::array<std::optional<Values>, 128>;

inline Legend DefaultLegend(Plane plane) {
  Legend legend;
  if (plane == kMapPlane)
    for (const DefaultSymbol& entry : kDefaultSymbols) legend[size_t(entry.symbol)] = entry.values;
  else
    for (size_t i = 0; i < kIndexSymbols.size(); ++i)
      legend[size_t(kIndexSymbols[i])] = Values{int32_t(i)};
  return legend;
}

inline const char* DefaultNote(Plane plane, char symbol, const Values& values) {
  if (plane != kMapPlane) return nullptr;
  for (const DefaultSymbol& entry : kDefaultSymbols)
    if (entry.symbol == symbol && entry.values == values) return entry.note;
  return nullptr;
}

inline bool IsSymbol(char c) { return c > ' ' && c < 127 && c != kEmptySymbol; }

inline std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

inline constexpr std::string_view kBackdropNames[kBackdropKinds] = {"sky", "cave", "castle"};

}  // namespace level_legend
