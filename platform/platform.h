// What the game asks of its device, as one table: the screen, the clock, the game's own input
// events and finger slots, sound, and the end of the process. The desktop fills it with SDL 2,
// tests and tools with a scripted stand-in (platform/headless.h); nothing else is needed.
#pragma once

#include <cstdint>

constexpr int kFingerSlots = 11;

// What a key, a pad button or a touch means to the game. Devices bind their keys and buttons
// to these; one key may stand for several (Enter retries on the death screen and starts).
enum class InputAction : uint8_t {
  kLeft,
  kRight,
  kJump,
  kDown,
  kFire,
  kRestart,
  kRetry,
  kStart,
  kPause,
  kMute,        // music and sounds off and on again
  kFullScreen,  // the device's own business; the game ignores it
  kCount
};

enum class InputType : uint8_t {
  kFingerDown,
  kFingerMove,
  kFingerUp,
  kActionPressed,
  kActionReleased,
  kFocusLost,
  kFocusGained,
  kQuit,
};

// Where an event came from: the touch buttons hide while keys or a pad play.
enum class InputSource : uint8_t { kTouch, kKeyboard, kPad };

struct InputEvent {
  InputType type = InputType::kQuit;
  InputSource source = InputSource::kTouch;
  int finger = 0;    // slot 0 to 10, for finger events
  int x = 0, y = 0;  // portrait device pixels, for finger events
  InputAction action = InputAction::kLeft;
};

// A device's press and release of an action come in pairs per source: a second key bound to a
// held action sends nothing, and pulling out a pad releases what it held.

struct SoundChunk;  // a loaded sound effect, owned by the device
struct MusicTune;   // a loaded tune, owned by the device

struct PlatformApi {
  // The window (or screen) showing a portrait picture of this size, with a GL context current.
  // False, after one line on the error stream saying what is missing, when there is none.
  bool (*OpenScreen)(int portraitWidth, int portraitHeight, const char* caption);
  // Silent play when there is no sound device.
  void (*OpenAudio)();
  void (*CloseAudio)();

  uint32_t (*GetTicks)();  // milliseconds
  void (*Delay)(uint32_t milliseconds);

  // The next event, oldest first; false when the queue is empty.
  bool (*PollEvent)(InputEvent* event);
  // Whether a finger slot is down, and its last portrait device point either way. A press that
  // came and went since the last read counts once, so a quick tap is never lost.
  bool (*ReadFinger)(int slot, int* x, int* y);

  // Shows the picture drawn since the last swap.
  void (*SwapBuffers)();

  // Null when the file is missing or there is no sound device; playing null does nothing.
  SoundChunk* (*LoadSound)(const char* file);
  void (*PlaySound)(SoundChunk* chunk);
  // One tune plays at a time, from its start: loops -1 repeats it until stopped, 0 plays it
  // once. A stop with no fade silences it at once; volume is 0 to 128. Null tunes as sounds.
  MusicTune* (*LoadMusic)(const char* file);
  void (*PlayMusic)(MusicTune* tune, int loops);
  void (*StopMusic)(int fadeMilliseconds);
  void (*SetMusicVolume)(int volume);
  // Whether a tune is still heard: a fade or a single play has ended when it is not.
  bool (*MusicPlaying)();

  void (*Exit)(int status);
};

extern PlatformApi gPlatform;
