// The level source text: the form in which a designer writes and reviews a level, compiled to
// the binary level file and written back from it without losing a byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "world/level_file.h"

// A level source is a few tens of kilobytes; a larger file is not one.
constexpr size_t kMaxLevelSourceBytes = 64 << 20;

// Reads level source text. On failure returns false with one "FILE:LINE:COLUMN: message" line
// per fault in `errors` (the first few dozen); `out` is then unspecified.
bool CompileLevelText(std::string_view text, const std::string& fileName, LevelData& out,
                      std::vector<std::string>& errors);

// Whether a file's first bytes are source text: a binary level opens with its sizes as
// little-endian integers, so it has zero bytes at once; source text never holds one.
bool LooksLikeLevelText(std::string_view head);

// Reads a level the game can play from a file: a binary level file, or source text compiled
// in memory. False with one line per fault in `errors`: "FILE:LINE:COLUMN: message" for source
// text, "FILE: message" otherwise.
bool ReadPlayableLevel(const std::string& path, LevelData& out, std::vector<std::string>& errors);

// Writes a level as source text; CompileLevelText of the result gives back the same level.
std::string DecompileLevel(const LevelData& level);

// A designer's reference to the source text, with the default characters and the names.
std::string LevelTextReference();

// The names the source text gives to codes; nullptr for a code without one.
const char* BlockCodeName(int32_t code);
const char* DecoCodeName(int32_t code);
const char* UnitTypeName(int32_t typeCode);  // type codes as triggers hold them (0 = crawler)
const char* TriggerKindName(int32_t kind);
// The on-screen message a kind-5 trigger at this index shows, nullptr if none.
const char* TriggerMessage(int32_t triggerIndex);

// A default character of the map grid and the cell it stands for.
struct LevelSymbol {
  char symbol;
  int32_t ground, coin, block, unit, deco, reveal;
  const char* note;
};
std::vector<LevelSymbol> DefaultLevelSymbols();

// Layer values of a cell nothing was written to: no trigger, no label, zero elsewhere.
constexpr int32_t ResetValue(int layer) {
  return layer == kFileTrigger || layer == kFileLabel ? -1 : 0;
}
