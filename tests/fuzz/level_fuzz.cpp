// libFuzzer target for the level loader. Any bytes must either be refused with a reason or
// read into a level that writes back and reads again to the same data; a level read whole
// must also survive the level tool's dump to text and build back. The same bytes are tried
// as level source text, which must compile or fail with messages, never crash. Every level
// that reads is then played for a few hundred frames, so level values that reach the game's
// arithmetic are checked by the sanitizers too.
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "app/script.h"
#include "app/sim.h"
#include "world/level_file.h"
#include "world/level_text.h"
#include "world/map.h"

namespace {

bool SameLevel(const LevelData& a, const LevelData& b) {
  return a.sizeA == b.sizeA && a.sizeB == b.sizeB && a.layers == b.layers &&
         a.triggers == b.triggers && a.texts == b.texts && a.trailer == b.trailer &&
         a.hasWarpSection == b.hasWarpSection && a.warps == b.warps &&
         a.checkpoints == b.checkpoints && a.extra == b.extra;
}

void Require(bool condition) {
  if (!condition) std::abort();
}

// Right held, jumps, a fireball and a turn back: the player reaches walls, ceilings, boxes
// and the level's first triggers.
constexpr int kPlayedFrames = 300;
constexpr const char* kPlay =
    "0 key right down\n10 key jump down\n30 key jump up\n60 key jump down\n62 key fire down\n"
    "64 key fire up\n90 key jump up\n150 key right up\n150 key left down\n170 key jump down\n"
    "200 key jump up\n240 key left up\n240 key right down\n250 key jump down\n";

void Play(const LevelData& level) {
  static const std::vector<SimEvent> events = [] {
    std::vector<SimEvent> parsed;
    std::string error;
    Require(ParseSimScript(kPlay, parsed, error));
    return parsed;
  }();
  gPlayedLevel = &level;
  cSimulation sim;
  std::string error;
  Require(sim.Start("", error));
  for (int frame = 0; frame < kPlayedFrames; ++frame) sim.RunFrame(events);
  cSimulation::ReleaseGame();
  gPlayedLevel = nullptr;
}

void FuzzBinary(const uint8_t* data, size_t size) {
  LevelData level;
  std::string error;
  std::vector<std::string> clipped;
  if (!ParseLevel(data, size, level, error, &clipped)) {
    Require(!error.empty());
    return;
  }
  LevelProblems(level);
  Play(level);
  const std::vector<uint8_t> bytes = SerializeLevel(level);
  LevelData again;
  Require(ParseLevel(bytes.data(), bytes.size(), again, error));
  Require(SameLevel(level, again));
  if (!clipped.empty()) return;  // cut texts are not the bytes that were read
  Require(bytes.size() == size && std::memcmp(bytes.data(), data, size) == 0);

  LevelData rebuilt;
  std::vector<std::string> errors;
  Require(CompileLevelText(DecompileLevel(level), "dump", rebuilt, errors));
  Require(SameLevel(level, rebuilt));
}

// Text starts on a small map unless it gives its own size: a full map is 8 MB to fill and
// write per input, which would slow the fuzzer down a hundredfold.
constexpr std::string_view kSmallMap = "size 16 64\n";

void FuzzText(const uint8_t* data, size_t size) {
  const std::string text =
      std::string(kSmallMap) + std::string(reinterpret_cast<const char*>(data), size);
  LevelData level;
  std::vector<std::string> errors;
  if (!CompileLevelText(text, "fuzz", level, errors)) {
    Require(!errors.empty());
    return;
  }
  LevelProblems(level);
  Play(level);
  const std::vector<uint8_t> bytes = SerializeLevel(level);
  LevelData again;
  std::string error;
  Require(ParseLevel(bytes.data(), bytes.size(), again, error));
  Require(SameLevel(level, again));
}

// Level files start with a small binary size; inputs that start like text are tried as text
// too, so the fuzzer spends its time on both without mixing them up.
bool LooksLikeText(const uint8_t* data, size_t size) {
  return size > 0 && ((data[0] >= ' ' && data[0] < 127) || data[0] == '\n' || data[0] == '\t');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzBinary(data, size);
  if (LooksLikeText(data, size)) FuzzText(data, size);
  return 0;
}
