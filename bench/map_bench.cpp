// Loading a full 4096 x 64 level into the map (what every start, restart and retry costs),
// and the map's pass of one frame over a busy screen.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <memory>

#include "engine/sprite_batch.h"
#include "player/player.h"
#include "world/camera.h"
#include "world/level_file.h"
#include "world/map.h"

namespace {

std::string WriteFullLevel() {
  LevelData level = EmptyLevel();
  for (int c = 0; c < kMapColumns; ++c)
    for (int r = 0; r < kMapRows; ++r) {
      const size_t cell = size_t(CellIndex(c, r));
      level.layers[kFileGround][cell] = r > 12 ? 1 + (c + r) % 5 : 0;
      level.layers[kFileCoin][cell] = r == 9 && c % 3 == 0;
      level.layers[kFileBlock][cell] = r == 8 && c % 7 == 0 ? 2 : 0;
      level.layers[kFileTrigger][cell] = r == 11 && c % 50 == 0 ? c / 50 % 1000 : -1;
    }
  level.triggers.assign(1000, LevelTrigger{4, 0, 0, 0, 0, 0, 0});
  level.triggers[3].kind = 3;
  level.texts.assign(1000, LevelText{0, "A LEVEL TEXT OF SOME LENGTH"});
  const std::string path = "/tmp/brinkhop-bench-level";
  const std::vector<uint8_t> bytes = SerializeLevel(level);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return path;
}

void BM_LoadFullLevel(benchmark::State& state) {
  const std::string path = WriteFullLevel();
  auto map = std::make_unique<cMap>();
  for (auto _ : state) map->LoadLevel(path.c_str(), 0);
  std::remove(path.c_str());
}
BENCHMARK(BM_LoadFullLevel)->Unit(benchmark::kMillisecond);

void BM_MapPassBusyScreen(benchmark::State& state) {
  const std::string path = WriteFullLevel();
  auto map = std::make_unique<cMap>();
  map->LoadLevel(path.c_str(), 0);
  std::fill(std::begin(map->revealLayer), std::end(map->revealLayer), 1);
  gCamera[0] = 2000;
  gCamera[1] = 300;
  cSpriteBatch& batch = cSpriteBatch::Instance();
  for (auto _ : state) {
    batch.Begin(false);
    map->UpdateAndDraw();
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_MapPassBusyScreen);

}  // namespace
