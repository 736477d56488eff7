// The cost of the game on its demonstration level, headless: one simulation sub-step, one
// whole frame (input, two sub-steps, world pass, heads-up pass) with the player running, and a
// long scripted run, whose time must grow with its length, not with frames times events.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/game.h"
#include "platform/data_dir.h"
#include "player/actions.h"
#include "player/player.h"
#include "app/sim.h"

namespace {

// Starts the game on the shipped level (working from its data folder, as the game does);
// false, and the benchmark skips, without it.
bool StartDemo(benchmark::State& state, cSimulation& sim) {
  const std::string data = FindDataDirectory();
  std::string error;
  const bool started = !data.empty() && sim.Start(data, error);
  if (!started) state.SkipWithError(("no demonstration level: " + error).c_str());
  return started;
}

// Keeps the player running right and hopping, back at the start whenever it dies.
void KeepRunning() {
  gActions[kActionRight] = true;
  gActions[kActionJump] = (gSimulationSteps / 40) % 2 == 0;
  if (gPlayer->dying) RestartLevel();
}

void BM_DemoSubStep(benchmark::State& state) {
  cSimulation sim;
  if (!StartDemo(state, sim)) return;
  for (auto _ : state) {
    KeepRunning();
    SimulationStep();
  }
}
BENCHMARK(BM_DemoSubStep);

void BM_DemoFrame(benchmark::State& state) {
  cSimulation sim;
  if (!StartDemo(state, sim)) return;
  const std::vector<SimEvent> script = {{0, SimEvent::kKey, 0, 0, 0, InputAction::kRight, true, 1}};
  for (auto _ : state) {
    sim.RunFrame(script);
    if (gPlayer->dying) RestartLevel();
  }
}
BENCHMARK(BM_DemoFrame);

// A recorded run of range(0) frames with range(1) events spread evenly over it: right held
// throughout, and releases of a key never pressed, so the play is the same with any number of
// events and the difference is the cost of the script itself.
void BM_ScriptedRun(benchmark::State& state) {
  const int frames = int(state.range(0));
  const int events = int(state.range(1));
  std::vector<SimEvent> script = {{0, SimEvent::kKey, 0, 0, 0, InputAction::kRight, true, 1}};
  for (int i = 0; i < events; ++i)
    script.push_back({int(int64_t(i) * frames / std::max(events, 1)), SimEvent::kKey, 0, 0, 0,
                      InputAction::kLeft, false, i + 2});
  for (auto _ : state) {
    cSimulation sim;
    if (!StartDemo(state, sim)) return;
    for (int f = 0; f < frames; ++f) {
      sim.RunFrame(script);
      if (gPlayer->dying) RestartLevel();
    }
  }
  state.counters["frames"] = frames;
  state.counters["events"] = double(script.size());
}
BENCHMARK(BM_ScriptedRun)
    ->Args({40000, 0})
    ->Args({40000, 13000})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
