// The browser's entry: the browser device and GL, then the game as the player plays it, or a
// simulator script replayed (?replay=) frame for frame as brinkhop-sim plays it. Either runs as
// the browser's animation-frame callback, a pass or a few frames at a time. The page reads the
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
#include "app/input.h"
#include "app/sim.h"
#include "app/start_screen.h"
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
// The script's name as the page was given it (?replay=), for messages.
EM_JS(void, brinkhop_replay_name, (char* out, int size), {
  stringToUTF8(Module.brinkhopReplay ? String(Module.brinkhopReplay.file) : "", out, size);
});
EM_JS(void, brinkhop_report, (const char* text), {
  if (Module.onGameMessage) Module.onGameMessage(UTF8ToString(text));
});

namespace {

constexpr const char* kDataDir = "/data";
constexpr const char* kReplayFile = "/replay.txt";
constexpr double kReplayBudgetMs = 8.0;

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

// The game's own loop, a pass at a time: RunGame runs a pass and then waits out the frame's
// period; here the animation frame that finds the period passed runs the pass.
void LivePass() {
  if (!FramePeriodPassed()) return;
  if (gPassHooks.before) gPassHooks.before();
  MainLoopPass();
  if (gPassHooks.after) gPassHooks.after();
  HoldBrowserAudio(kHeldByPause, GamePaused());
  if (!gRunning) Quit();
}

// The rest of the start-up, one animation frame after the start screen's picture showed.
void FinishOpeningPass() {
  FinishOpeningGame();
  RunEveryAnimationFrame(LivePass);
}

// A phone on a slow network waits for nothing but the screen and the start screen's picture:
// it shows (as in a blink of the START button) while the pictures, sounds and units of play
// are read.
void PlayLive() {
  UseBrowserPlatform();
  ComposeDevice({nullptr, nullptr, TraceLayer});
  gSoundRecorder = &gRecordedSounds;
  if (!OpenGameScreen()) return;
  DrawTitlePicture(false);
  gPlatform.SwapBuffers();
  RunEveryAnimationFrame(FinishOpeningPass);
}

// The simulator's own start and frames on its scripted device, shown on the canvas.
struct Replay {
  std::vector<SimEvent> events;
  cSimulation sim;
  int frames = 0;
  int speed = 1;
  bool started = false;
};
Replay gReplay;

void ReplayPass() {
  Replay& r = gReplay;
  if (!r.started) {
    // No level is read before the page has written them.
    if (!LevelsReady(true)) return;
    r.started = true;
    std::string error;
    if (!r.sim.Start(kDataDir, error)) {
      brinkhop_report(error.c_str());
      StopAnimationFrames();
      return;
    }
    AnnounceFirstFrame();
  }
  // However fast the replay is asked to go, the page stays responsive: an animation frame gets
  // at most kReplayBudgetMs of game frames.
  const double began = emscripten_get_now();
  for (int i = 0; i < r.speed && gFramesRun < r.frames; ++i) {
    r.sim.RunFrame(r.events);
    gTraceSounds = r.sim.FrameSounds();
    gTraceFrame = gFramesRun;
    ++gFramesRun;
    if (emscripten_get_now() - began >= kReplayBudgetMs) break;
  }
  // The last frame stays on screen.
  if (gFramesRun >= r.frames) StopAnimationFrames();
}

void PlayReplay(int frames, int speed) {
  std::string script, error;
  // A script the page could not fetch is not there; the page has said why.
  if (!ReadText(kReplayFile, script)) return;
  if (!ParseSimScript(script, gReplay.events, error)) {
    char name[256];
    brinkhop_replay_name(name, sizeof name);
    brinkhop_report(("The replay " + std::string(name) + " cannot be read: line " + error).c_str());
    return;
  }
  if (!OpenBrowserScreen(kDeviceScreenWidth, kDeviceScreenHeight)) return;
  gReplay.frames = frames;
  gReplay.speed = speed;
  RunEveryAnimationFrame(ReplayPass);
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
  if (replayFrames >= 0) {
    PlayReplay(replayFrames, std::max(1, brinkhop_replay_speed()));
    return 0;
  }
  if (chdir(kDataDir) != 0) brinkhop_report("The game's data is missing.");
  PlayLive();
  return 0;
}
