// The headless device. The game's Exit only records the status here, so a test survives it.
#include "platform/headless.h"

#include "platform/view.h"

namespace {

HeadlessDevice gDevice;
// A tune handed to the game is the address of one of these, its place in the loaded files.
constexpr size_t kHeadlessTunes = 16;
char gTuneTokens[kHeadlessTunes];

PlatformApi HeadlessTable() {
  PlatformApi api{};
  api.OpenScreen = [](int width, int height, const char* caption) {
    if (gDevice.noScreen) return false;
    gDevice.screenWidth = width;
    gDevice.screenHeight = height;
    gDevice.caption = caption ? caption : "";
    return true;
  };
  api.OpenAudio = [] { gDevice.audioOpen = true; };
  api.CloseAudio = [] { gDevice.audioOpen = false; };
  api.GetTicks = [] { return gDevice.ticks; };
  api.Delay = [](uint32_t milliseconds) {
    gDevice.ticks += milliseconds;
    gDevice.slept += milliseconds;
    ++gDevice.delayCalls;
  };
  api.PollEvent = [](InputEvent* event) {
    if (gDevice.events.empty()) return false;
    *event = gDevice.events.front();
    gDevice.events.pop_front();
    return true;
  };
  api.ReadFinger = [](int slot, int* x, int* y) {
    if (slot < 0 || slot >= kFingerSlots) return false;
    const HeadlessFinger& f = gDevice.fingers[slot];
    if (x) *x = f.x;
    if (y) *y = f.y;
    return f.down;
  };
  api.SwapBuffers = [] { ++gDevice.swaps; };
  // Nothing is ever heard here; the game counts what it asked for itself.
  api.LoadSound = [](const char*) -> SoundChunk* { return nullptr; };
  api.PlaySound = [](SoundChunk*) {};
  // Every tune loads, so the game's music can be followed; it is only counted.
  api.LoadMusic = [](const char* file) {
    HeadlessMusic& music = gDevice.music;
    size_t index = 0;
    while (index < music.files.size() && music.files[index] != file) ++index;
    if (index == music.files.size()) {
      if (index == kHeadlessTunes) return static_cast<MusicTune*>(nullptr);
      music.files.push_back(file);
    }
    return reinterpret_cast<MusicTune*>(&gTuneTokens[index]);
  };
  api.PlayMusic = [](MusicTune* tune, int loops) {
    if (!tune) return;
    // A tune loaded before the device was last reset has lost its name.
    const size_t index = size_t(reinterpret_cast<char*>(tune) - gTuneTokens);
    const std::vector<std::string>& files = gDevice.music.files;
    gDevice.music.plays.emplace_back(index < files.size() ? files[index] : "", loops);
    gDevice.music.playing = true;
  };
  api.StopMusic = [](int fadeMilliseconds) {
    gDevice.music.stopFades.push_back(fadeMilliseconds);
    gDevice.music.playing = false;
  };
  api.SetMusicVolume = [](int volume) { gDevice.music.volumes.push_back(volume); };
  api.MusicPlaying = [] { return gDevice.music.playing; };
  api.Exit = [](int status) { gDevice.exitStatus = status; };
  return api;
}

}  // namespace

PlatformApi gPlatform = HeadlessTable();

HeadlessDevice& UseHeadlessPlatform() {
  gDevice = HeadlessDevice{};
  gPlatform = HeadlessTable();
  return gDevice;
}

HeadlessDevice& Headless() { return gDevice; }

void HeadlessTouch(int finger, int landscapeX, int landscapeY, bool down) {
  if (finger < 0 || finger >= kFingerSlots) return;
  HeadlessFinger& f = gDevice.fingers[finger];
  LandscapeToDevice(landscapeX, landscapeY, &f.x, &f.y);
  f.down = down;
}

void HeadlessFingerEvent(int finger, InputType type) {
  InputEvent event;
  event.type = type;
  event.source = InputSource::kTouch;
  event.finger = finger;
  if (finger >= 0 && finger < kFingerSlots) {
    event.x = gDevice.fingers[finger].x;
    event.y = gDevice.fingers[finger].y;
  }
  gDevice.events.push_back(event);
}

void HeadlessAction(InputAction action, bool pressed, InputSource source) {
  InputEvent event;
  event.type = pressed ? InputType::kActionPressed : InputType::kActionReleased;
  event.source = source;
  event.action = action;
  gDevice.events.push_back(event);
}
