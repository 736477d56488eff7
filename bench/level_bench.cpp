// The cost of a full 4096 x 64 level: reading the binary file (what every level load and
// retry pays), and the level tool's dump to text and build back.
#include <benchmark/benchmark.h>

#include <random>

#include "world/level_file.h"
#include "world/level_text.h"

namespace {

constexpr int kGroundTop = 12;     // row the player walks on top of
constexpr int kGroundBottom = 15;  // deepest ground row
constexpr int kBlockRow = 8;       // boxes and bricks, a jump above the ground
constexpr uint32_t kSeed = 4096;

// A level as a designer fills the whole map: ground with pits, rows of blocks and coins,
// enemies, trigger links and texts, every few columns.
LevelData FullLevel() {
  std::mt19937 random(kSeed);
  const auto chance = [&](uint32_t oneIn) { return random() % oneIn == 0; };
  LevelData level = EmptyLevel();
  auto cell = [&](int layer, int column, int row) -> int32_t& {
    return level.layers[layer][size_t(CellIndex(column, row))];
  };
  for (int column = 0; column < kMapColumns; ++column) {
    const bool pit = column % 37 > 33;
    for (int row = kGroundTop; row <= kGroundBottom && !pit; ++row) {
      cell(kFileGround, column, row) = 1;
      cell(kFileReveal, column, row) = 1;
    }
    if (column % 23 < 5) {
      cell(kFileBlock, column, kBlockRow) = chance(3) ? 2 : 1;
      cell(kFileReveal, column, kBlockRow) = 1;
    }
    if (chance(4)) cell(kFileCoin, column, kBlockRow + 1) = 1;
    if (chance(12)) cell(kFileUnit, column, kGroundTop - 1) = 1 + int32_t(random() % 4);
    if (chance(20)) cell(kFileDeco, column, kGroundTop - 1) = 1 + int32_t(random() % 6);
    if (chance(16)) cell(kFileTrigger, column, kGroundTop - 1) = int32_t(random() % 200);
    if (chance(40)) cell(kFileLabel, column, kBlockRow - 2) = int32_t(random() % 100);
  }
  level.triggers.resize(200, LevelTrigger{0, 0, 0, 10, 12, 8, 8});
  level.texts.resize(100, LevelText{0, "MIND THE GAP"});
  return level;
}

void BM_ParseFullLevel(benchmark::State& state) {
  const std::vector<uint8_t> bytes = SerializeLevel(FullLevel());
  for (auto _ : state) {
    LevelData level;
    std::string error;
    benchmark::DoNotOptimize(ParseLevel(bytes.data(), bytes.size(), level, error));
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(BM_ParseFullLevel)->Unit(benchmark::kMillisecond);

void BM_DumpFullLevel(benchmark::State& state) {
  const LevelData level = FullLevel();
  for (auto _ : state) benchmark::DoNotOptimize(DecompileLevel(level));
}
BENCHMARK(BM_DumpFullLevel)->Unit(benchmark::kMillisecond);

// Text to the bytes of the level file, as `brinkhop-level build` does.
void BM_BuildFullLevel(benchmark::State& state) {
  const std::string text = DecompileLevel(FullLevel());
  for (auto _ : state) {
    LevelData level;
    std::vector<std::string> errors;
    CompileLevelText(text, "full.txt", level, errors);
    benchmark::DoNotOptimize(SerializeLevel(level));
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_BuildFullLevel)->Unit(benchmark::kMillisecond);

void BM_CheckFullLevel(benchmark::State& state) {
  const LevelData level = FullLevel();
  for (auto _ : state) benchmark::DoNotOptimize(LevelProblems(level));
}
BENCHMARK(BM_CheckFullLevel)->Unit(benchmark::kMillisecond);

}  // namespace
