// What the game asks of its device, as one table: start-up, the clock, events, the pointer
// and finger slots, the screen swap, audio and the end of the process. The desktop fills it
// with SDL and a real window; tests and tools with a scripted stand-in (platform/headless.h).
#pragma once

#include <SDL.h>

#include <cstdint>

struct PlatformApi {
  void (*Init)(uint32_t sdlFlags);
  void (*DeviceInit)(int flags);  // the phone's PDL_Init
  void (*SetGLAttribute)(int attribute, int value);
  void (*SetVideoMode)(int width, int height);  // the portrait screen the game draws into
  void (*SetOrientation)(int orientation);      // the phone's PDL_SetOrientation
  void (*OpenAudio)(int frequency, uint16_t format, int channels, int chunkSize);
  void (*SetCaption)(const char* title);
  int (*PollEvent)(SDL_Event* event);
  // Pointer and finger positions are portrait device pixels; the result is the button state.
  uint8_t (*GetMouseState)(int* x, int* y);
  uint8_t (*GetMultiMouseState)(int finger, int* x, int* y);
  uint32_t (*GetTicks)();
  void (*Delay)(uint32_t milliseconds);
  void (*SwapBuffers)();
  void (*CloseAudio)();
  void (*Exit)(int status);
};

extern PlatformApi gPlatform;

constexpr int kFingerSlots = 11;
constexpr int kOrientationLandscape = 3;  // the phone's code for the orientation the game uses
constexpr int kGLAttributeESMajorVersion = 17;  // the phone's extra SDL GL attribute
