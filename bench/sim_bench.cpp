// The cost of the game on its demonstration level, headless: one simulation sub-step and one
// whole frame (input, two sub-steps, world pass, heads-up pass), with the player running.
#include <benchmark/benchmark.h>

#include "app/game.h"
#include "platform/data_dir.h"
#include "player/actions.h"
#include "player/player.h"
#include "tools/sim.h"

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

}  // namespace
