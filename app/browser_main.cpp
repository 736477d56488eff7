// The browser's entry: the browser device and GL, then the game as the player plays it, or a
// simulator script replayed (?replay=) frame for frame as brinkhop-sim plays it. The page reads the
// last frame's trace through brinkhop_trace.
#include <emscripten.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/device_layers.h"
#include "app/game.h"
#include "app/sim.h"
#include "engine/gl_api.h"
#include "engine/random.h"
#include "platform/browser.h"
#include "platform/platform.h"
#include "world/sounds.h"

// The page's ?replay= and &frames= (the script itself is at kReplayFile); -1 frames: no replay.
EM_JS(int, brinkhop_replay_frames, (),
      { return Module.brinkhopReplay ? Module.brinkhopReplay.frames : -1; });
// Frames a replay runs per animation frame (&speed=); 1 plays at the game's own pace or near.
EM_JS(int, brinkhop_replay_speed, (),
      { return Module.brinkhopReplay ? Module.brinkhopReplay.speed : 1; });
EM_JS(void, brinkhop_report, (const char* text), {
  if (Module.onGameMessage) Module.onGameMessage(UTF8ToString(text));
});

namespace {

constexpr const char* kDataDir = "/data";
constexpr const char* kReplayFile = "/replay.txt";

// The last frame run (-1: none yet) and its sounds; the trace is made when the page asks.
int gTraceFrame = -1;
std::vector<int> gTraceSounds;
std::string gTrace;
int gFramesRun = 0;

// Live play's sounds of the frame under way.
std::vector<SoundId> gRecordedSounds;
uint32_t gStepsAtLastSwap = 0;
void (*gDeviceSwap)() = nullptr;

bool ReadText(const std::string& path, std::string& text) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  text.assign(std::istreambuf_iterator<char>(file), {});
  return true;
}

// Live play: a swap after sub-steps ends a frame of play, the trace's frame.
void SwapAndTrace() {
  if (gSimulationSteps != gStepsAtLastSwap) {
    gStepsAtLastSwap = gSimulationSteps;
    gTraceSounds.assign(gRecordedSounds.begin(), gRecordedSounds.end());
    gRecordedSounds.clear();
    gTraceFrame = gFramesRun;
    ++gFramesRun;
  }
  gDeviceSwap();
}

// The device layer of live play's trace: a swap after sub-steps ends a frame.
PlatformApi TraceLayer(const PlatformApi& below) {
  gDeviceSwap = below.SwapBuffers;
  PlatformApi above = below;
  above.SwapBuffers = SwapAndTrace;
  return above;
}

int PlayLive() {
  UseBrowserPlatform();
  ComposeDevice({nullptr, nullptr, TraceLayer});
  gSoundRecorder = &gRecordedSounds;
  return RunGame();
}

// The simulator's own start and frames on its scripted device, shown on the canvas.
int PlayReplay(int frames, int speed) {
  std::string script, error;
  std::vector<SimEvent> events;
  if (!ReadText(kReplayFile, script) || !ParseSimScript(script, events, error)) {
    brinkhop_report(("The replay script cannot be read: " + error).c_str());
    return 1;
  }
  if (!OpenBrowserScreen(kDeviceScreenWidth, kDeviceScreenHeight)) return 1;
  WaitForLevels();
  cSimulation sim;
  if (!sim.Start(kDataDir, error)) {
    brinkhop_report(error.c_str());
    return 1;
  }
  AnnounceFirstFrame();
  for (int frame = 0; frame < frames; ++frame) {
    sim.RunFrame(events);
    gTraceSounds = sim.FrameSounds();
    gTraceFrame = frame;
    gFramesRun = frame + 1;
    if (gFramesRun % speed == 0) WaitForAnimationFrame();
  }
  // The last frame stays on screen.
  return 0;
}

}  // namespace

extern "C" {
// The last frame's trace, as one JSON object (brinkhop-sim's --trace line; with its --units
// too when `withUnits` is not 0).
EMSCRIPTEN_KEEPALIVE const char* brinkhop_trace(int withUnits) {
  gTrace = gTraceFrame < 0 ? "{}" : TraceJson(gTraceFrame, gTraceSounds, withUnits != 0);
  return gTrace.c_str();
}
// The first `count` numbers of the game's generator after the seed 1, space-separated; the
// game's own sequence goes on undisturbed.
EMSCRIPTEN_KEEPALIVE const char* brinkhop_random_sequence(int count) {
  static std::string text;
  text.clear();
  for (int32_t number : RandomSequence(1, count)) text += std::to_string(number) + " ";
  return text.c_str();
}
// Frames of play run so far.
EMSCRIPTEN_KEEPALIVE int brinkhop_frame() { return gFramesRun; }
}

int main() {
  UseBrowserGL();
  const int replayFrames = brinkhop_replay_frames();
  if (replayFrames >= 0) return PlayReplay(replayFrames, std::max(1, brinkhop_replay_speed()));
  if (chdir(kDataDir) != 0) brinkhop_report("The game's data is missing.");
  return PlayLive();
}
