// The cost of a headless frame on a level whose unit table is full: 258 units of every kind
// spread along the ground around the player; and of the frame in which one trigger spawns 258
// more into that full table.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "player/player.h"
#include "app/sim.h"
#include "units/base_unit.h"
#include "world/level_file.h"
#include "world/map.h"

namespace {

constexpr int kGroundRow = 20;
constexpr int kColumns = 400;
// Walkers, shells, fire chains, a cannon, a board, plants, flies and hammers.
constexpr int kCodes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 12, 13, 14, 15, 16, 17, 18};

constexpr int kSpawnTrigger = 1;
// 43 x 6 cells of crawlers in the sky: 258 spawns, each into a full table.
constexpr LevelTrigger kCrowdSpawner{kTriggerSpawn, 0, 0, 100, 142, 0, 5};

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
  level.triggers = {LevelTrigger{kTriggerStart, 0, 0, 0, 0, 0, 0}, kCrowdSpawner};
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

void BM_FrameInWhichOneTriggerSpawns258Units(benchmark::State& state) {
  cSimulation sim;
  std::string error;
  if (!sim.Start(MakeCrowdedLevel(), error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  const std::vector<SimEvent> none;
  sim.RunFrame(none);
  for (auto _ : state) {
    state.PauseTiming();
    // The player stands on a fresh link to the spawner; the table is still full.
    gPlayer->dying = false;
    const int32_t column = int32_t((gPlayer->x + 16) / 32), row = int32_t((gPlayer->y + 16) / 32);
    gMap->triggerLayer[CellIndex(column, row)] = kSpawnTrigger;
    state.ResumeTiming();
    sim.RunFrame(none);
  }
}
BENCHMARK(BM_FrameInWhichOneTriggerSpawns258Units)->Unit(benchmark::kMicrosecond);

}  // namespace
