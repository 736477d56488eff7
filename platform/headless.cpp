// The headless device. The game's Exit only records the status here, so a test survives it.
#include "platform/headless.h"

#include "platform/view.h"

namespace {

HeadlessDevice gDevice;

uint8_t MultiMouseState(int finger, int* x, int* y) {
  if (finger < 0 || finger >= kFingerSlots) return 0;
  const HeadlessFinger& f = gDevice.fingers[finger];
  if (x) *x = f.x;
  if (y) *y = f.y;
  return f.down ? SDL_BUTTON(1) : 0;
}

PlatformApi HeadlessTable() {
  PlatformApi api{};
  api.Init = [](uint32_t) {};
  api.DeviceInit = [](int) {};
  api.SetGLAttribute = [](int, int) {};
  api.SetVideoMode = [](int width, int height) {
    gDevice.videoWidth = width;
    gDevice.videoHeight = height;
  };
  api.SetOrientation = [](int orientation) { gDevice.orientation = orientation; };
  api.OpenAudio = [](int, uint16_t, int, int) { gDevice.audioOpen = true; };
  api.SetCaption = [](const char* title) { gDevice.caption = title ? title : ""; };
  api.PollEvent = [](SDL_Event* event) {
    if (gDevice.events.empty()) return 0;
    *event = gDevice.events.front();
    gDevice.events.pop_front();
    const uint8_t which = event->type == SDL_MOUSEMOTION ? event->motion.which
                          : event->type == SDL_MOUSEBUTTONDOWN || event->type == SDL_MOUSEBUTTONUP
                              ? event->button.which
                              : kFingerSlots;
    if (which < kFingerSlots) gDevice.pointerFinger = which;
    return 1;
  };
  api.GetMouseState = [](int* x, int* y) { return MultiMouseState(gDevice.pointerFinger, x, y); };
  api.GetMultiMouseState = MultiMouseState;
  api.GetTicks = [] { return gDevice.ticks; };
  api.Delay = [](uint32_t milliseconds) {
    gDevice.ticks += milliseconds;
    gDevice.slept += milliseconds;
    ++gDevice.delayCalls;
  };
  api.SwapBuffers = [] { ++gDevice.swaps; };
  api.CloseAudio = [] { gDevice.audioOpen = false; };
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
