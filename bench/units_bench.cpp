// The cost of a headless frame on a level whose unit table is full: 258 units of every kind
// spread along the ground around the player.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "player/player.h"
#include "tools/sim.h"
#include "units/base_unit.h"
#include "world/level_file.h"
#include "world/map.h"

namespace {

constexpr int kGroundRow = 20;
constexpr int kColumns = 400;
// Walkers, shells, fire chains, a cannon, a board, plants, flies and hammers.
constexpr int kCodes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 12, 13, 14, 15, 16, 17, 18};

std::string MakeCrowdedLevel() {
  const std::string dir = std::filesystem::temp_directory_path().string() + "/brinkhop_units_bench";
  std::filesystem::create_directories(dir);
  LevelData level = EmptyLevel();
  for (int c = 0; c < kColumns; ++c)
    level.layers[kFileGround][size_t(CellIndex(c, kGroundRow))] = 1;
  for (int i = 0; i < kUnitSlots; ++i) {
    const int column = 4 + i * (kColumns - 8) / kUnitSlots;
    const int row = kGroundRow - 1 - (i % 3) * 3;
    level.layers[kFileUnit][size_t(CellIndex(column, row))] =
        kCodes[size_t(i) % std::size(kCodes)] + 1;
  }
  level.triggers = {LevelTrigger{kTriggerStart, 0, 0, 0, 0, 0, 0}};
  level.layers[kFileTrigger][size_t(CellIndex(2, kGroundRow - 1))] = 0;
  const std::vector<uint8_t> bytes = SerializeLevel(level);
  std::ofstream(dir + "/level", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return dir;
}

void BM_FrameWithAFullUnitTable(benchmark::State& state) {
  cSimulation sim;
  std::string error;
  if (!sim.Start(MakeCrowdedLevel(), error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  int units = 0;
  for (cBaseUnit* unit : gUnits) units += unit != nullptr;
  state.counters["units"] = units;
  const std::vector<SimEvent> none;
  for (auto _ : state) {
    sim.RunFrame(none);
    // Keep the crowd going: the player never stays dead.
    if (gPlayer->dying) gPlayer->dying = false;
  }
}
BENCHMARK(BM_FrameWithAFullUnitTable);

}  // namespace
