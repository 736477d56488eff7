// Replay: the script's events and clock go through the headless device's queue and fingers,
// exactly as the simulator feeds them; the window, sound and the pace stay the desktop's.
#include "app/replay.h"

#include <cstdio>
#include <vector>

#include "app/button.h"
#include "app/input.h"
#include "app/script.h"
#include "app/trace.h"
#include "engine/file_read.h"
#include "platform/headless.h"
#include "player/player.h"
#include "world/sounds.h"

namespace {

struct Replay {
  bool on = false;
  PlatformApi device{};
  PlatformApi script{};  // the headless device, holding the frame's scripted events
  std::vector<SimEvent> events;
  int lastFrame = 0;
  int frame = -1;  // the pass of play under way; -1 before play
  bool startPressed = false;
  bool inPass = false;
  bool userPaused = false;
  bool ended = false;
  uint32_t ticks = kScriptFirstFrameTicks - kScriptFrameTicks;
  std::vector<SoundId> sounds;
};

Replay gReplay;

// The player's quit and pause reach the game; the start screen gets one press of start.
bool ReplayPollEvent(InputEvent* event) {
  Replay& r = gReplay;
  while (r.device.PollEvent(event)) {
    if (event->type == InputType::kQuit) return true;
    const bool action =
        event->type == InputType::kActionPressed || event->type == InputType::kActionReleased;
    if (action && event->action == InputAction::kPause) {
      // The game's own rule: the death screen waits for a retry instead.
      const bool dying = gPlayer && gPlayer->dying;
      if (event->type == InputType::kActionPressed && r.frame >= 0 && !dying)
        r.userPaused = !r.userPaused;
      return true;
    }
  }
  if (r.frame < 0) {
    if (r.startPressed) return false;
    r.startPressed = true;
    *event = InputEvent{};
    event->type = InputType::kActionPressed;
    event->source = InputSource::kKeyboard;
    event->action = InputAction::kStart;
    return true;
  }
  return r.script.PollEvent(event);
}

bool ReplayReadFinger(int slot, int* x, int* y) {
  return gReplay.frame >= 0 && gReplay.script.ReadFinger(slot, x, y);
}

// Inside a pass the game reads the script's clock; the frame limiter between passes paces
// the window by the real one.
uint32_t ReplayGetTicks() { return gReplay.inPass ? gReplay.ticks : gReplay.device.GetTicks(); }

}  // namespace

bool StartReplay(const std::string& path, std::string& error) {
  Replay& r = gReplay;
  std::string text;
  if (ReadWholeFile(path, kMaxScriptBytes, text, error) != kFileReadOk) {
    error = path + ": " + error;
    return false;
  }
  if (!ParseSimScript(text, r.events, error)) {
    error = path + ":" + error;
    return false;
  }
  for (const SimEvent& e : r.events)
    if (e.frame > r.lastFrame) r.lastFrame = e.frame;
  if (SimScriptEnd(r.events) >= 0) r.lastFrame = SimScriptEnd(r.events);
  return true;
}

PlatformApi ReplayLayer(const PlatformApi& below) {
  Replay& r = gReplay;
  r.device = below;
  // The headless device holds the script's events and fingers; only its table is kept, and
  // the device table in use stays as it was.
  const PlatformApi inUse = gPlatform;
  UseHeadlessPlatform();
  // As in the simulator, finger 0 last touched START.
  const ButtonArea start = ButtonPlace(kButtonStart);
  HeadlessTouch(0, start.x + start.width / 2, start.y + start.height / 2, false);
  r.script = gPlatform;
  gPlatform = inUse;
  PlatformApi above = below;
  above.PollEvent = ReplayPollEvent;
  above.ReadFinger = ReplayReadFinger;
  above.GetTicks = ReplayGetTicks;
  r.on = true;
  return above;
}

void ReplayPassStart() {
  Replay& r = gReplay;
  if (!r.on) return;
  r.inPass = true;
  // While the player pauses, or after the end, passes are not frames of the script.
  if (r.userPaused || r.ended) return;
  ++r.frame;
  r.ticks = QueueSimFrame(r.events, r.frame, r.ticks);
  r.sounds.clear();
  gSoundRecorder = &r.sounds;
}

void ReplayPassEnd() {
  Replay& r = gReplay;
  if (!r.on) return;
  r.inPass = false;
  gSoundRecorder = nullptr;
  if (r.ended || r.frame < r.lastFrame) return;
  r.ended = true;
  const std::vector<int> sounds(r.sounds.begin(), r.sounds.end());
  std::printf("%s\n", TraceJson(r.frame, sounds, false).c_str());
  std::fflush(stdout);
  // The picture stands still on the last frame until the window closes.
  InputEvent standStill;
  standStill.type = InputType::kFocusLost;
  Headless().events.push_back(standStill);
  HandlePausedInput();
}
