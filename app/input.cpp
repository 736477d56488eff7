// The frame's input step. Touches follow the phone's rules exactly; keys and the gamepad are
// the desktop's own way into the same action flags.
#include "app/input.h"

#include "app/button.h"
#include "app/game.h"
#include "app/hud.h"
#include "app/results.h"
#include "engine/music.h"
#include "player/player.h"

FingerSlot gFingers[kFingerSlots];
bool gTouchControlsVisible = true;

namespace {

constexpr int16_t kStickDeadZone = 16000;  // of 32767
constexpr int kStickAxisX = 0, kStickAxisY = 1;
constexpr uint8_t kPadJumpButton = 0, kPadFireButton = 1;

// What a desktop key does.
enum KeyRole {
  kKeyLeft,
  kKeyRight,
  kKeyJump,
  kKeyDown,
  kKeyFire,
  kKeyRestart,
  kKeyRetry,
  kKeyPause,
  kKeyMute,
  kKeyRoleCount
};

struct KeyBinding {
  SDLKey key;
  KeyRole role;
};

const KeyBinding kKeyBindings[] = {
    {SDLK_LEFT, kKeyLeft},    {SDLK_a, kKeyLeft},         {SDLK_RIGHT, kKeyRight},
    {SDLK_d, kKeyRight},      {SDLK_SPACE, kKeyJump},     {SDLK_UP, kKeyJump},
    {SDLK_w, kKeyJump},       {SDLK_DOWN, kKeyDown},      {SDLK_s, kKeyDown},
    {SDLK_LSHIFT, kKeyFire},  {SDLK_x, kKeyFire},         {SDLK_r, kKeyRestart},
    {SDLK_RETURN, kKeyRetry}, {SDLK_KP_ENTER, kKeyRetry}, {SDLK_p, kKeyPause},
    {SDLK_m, kKeyMute},
};
constexpr int kBindingCount = int(std::size(kKeyBindings));

// The action each held role sets.
constexpr int kRoleAction[] = {kActionLeft, kActionRight, kActionJump, kActionDown, kActionFire};
constexpr int kHeldRoles = int(std::size(kRoleAction));

bool gBindingHeld[kBindingCount];
bool gPadHeld[kHeldRoles];  // from the stick, the hat and the buttons
bool gStickLeft, gStickRight, gStickDown, gHatLeft, gHatRight, gHatDown;
bool gPausedByKey = false;
bool gPausedByFocus = false;

// Events from a device index past the slots have nowhere to go and are dropped.
FingerSlot* SlotOf(int which) { return which < kFingerSlots ? &gFingers[which] : nullptr; }

void ReadPointerInto(FingerSlot& slot) {
  int deviceX = 0, deviceY = 0;
  gPlatform.GetMouseState(&deviceX, &deviceY);
  DeviceToLandscape(deviceX, deviceY, &slot.x, &slot.y);
}

bool ButtonContains(ButtonId id, int32_t x, int32_t y) {
  return gButtons[id] && gButtons[id]->Contains(x, y);
}

// Restart and retry act on release, on their button or their key.
void Release(bool retry) {
  if (gGoalReached) return;  // the level is over; nothing to restart
  const bool dying = gPlayer && gPlayer->dying;
  if (retry && dying) RestartAfterDeath();
  if (!retry && !dying) RestartLevel();
}

void HandleKey(SDLKey key, bool down) {
  for (int i = 0; i < kBindingCount; ++i) {
    if (kKeyBindings[i].key != key) continue;
    const bool wasHeld = gBindingHeld[i];
    gBindingHeld[i] = down;
    switch (kKeyBindings[i].role) {
      case kKeyRestart:
      case kKeyRetry:
        if (wasHeld && !down && !GamePaused()) Release(kKeyBindings[i].role == kKeyRetry);
        break;
      case kKeyPause:
        if (down && !wasHeld) gPausedByKey = !gPausedByKey;
        break;
      case kKeyMute:
        if (down && !wasHeld) ToggleMute();
        break;
      default:
        if (down) gTouchControlsVisible = false;
        break;
    }
  }
}

void UpdatePadRoles() {
  gPadHeld[kKeyLeft] = gStickLeft || gHatLeft;
  gPadHeld[kKeyRight] = gStickRight || gHatRight;
  gPadHeld[kKeyDown] = gStickDown || gHatDown;
}

void HandlePad(const SDL_Event& e) {
  switch (e.type) {
    case SDL_JOYAXISMOTION:
      if (e.jaxis.axis == kStickAxisX) {
        gStickLeft = e.jaxis.value < -kStickDeadZone;
        gStickRight = e.jaxis.value > kStickDeadZone;
      } else if (e.jaxis.axis == kStickAxisY) {
        gStickDown = e.jaxis.value > kStickDeadZone;
      }
      break;
    case SDL_JOYHATMOTION:
      gHatLeft = e.jhat.value & SDL_HAT_LEFT;
      gHatRight = e.jhat.value & SDL_HAT_RIGHT;
      gHatDown = e.jhat.value & SDL_HAT_DOWN;
      break;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP: {
      const bool down = e.type == SDL_JOYBUTTONDOWN;
      if (e.jbutton.button == kPadJumpButton) gPadHeld[kKeyJump] = down;
      if (e.jbutton.button == kPadFireButton) gPadHeld[kKeyFire] = down;
      break;
    }
  }
  UpdatePadRoles();
  for (bool held : gPadHeld)
    if (held) gTouchControlsVisible = false;
}

void HandleFocus(const SDL_ActiveEvent& e) {
  if (e.state & (SDL_APPINPUTFOCUS | SDL_APPACTIVE)) gPausedByFocus = e.gain == 0;
}

// One event of the queue; touches act only while the game runs.
void HandleEvent(const SDL_Event& event, bool paused) {
  switch (event.type) {
    case SDL_MOUSEMOTION:
      if (FingerSlot* slot = SlotOf(event.motion.which)) ReadPointerInto(*slot);
      break;
    case SDL_MOUSEBUTTONDOWN:
      if (FingerSlot* slot = SlotOf(event.button.which)) {
        ReadPointerInto(*slot);
        slot->down = true;
        gTouchControlsVisible = true;
        if (SpeakerContains(slot->x, slot->y)) ToggleMute();
      }
      break;
    case SDL_MOUSEBUTTONUP:
      if (FingerSlot* slot = SlotOf(event.button.which)) {
        ReadPointerInto(*slot);
        slot->down = false;
        const bool dying = gPlayer && gPlayer->dying;
        const ButtonId button = dying ? kButtonRetry : kButtonRestart;
        if (!paused && ButtonContains(button, slot->x, slot->y)) Release(dying);
      }
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      HandleKey(event.key.keysym.sym, event.type == SDL_KEYDOWN);
      break;
    case SDL_JOYAXISMOTION:
    case SDL_JOYHATMOTION:
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
      HandlePad(event);
      break;
    case SDL_ACTIVEEVENT:
      HandleFocus(event.active);
      break;
    default:
      break;  // a quit request during play is the platform's business
  }
}

bool RoleHeld(int role) {
  if (gPadHeld[role]) return true;
  for (int i = 0; i < kBindingCount; ++i)
    if (gBindingHeld[i] && kKeyBindings[i].role == role) return true;
  return false;
}

}  // namespace

void ClearFingers() {
  for (FingerSlot& slot : gFingers) slot.down = false;
}

void ResetDesktopInput() {
  for (bool& held : gBindingHeld) held = false;
  for (bool& held : gPadHeld) held = false;
  gStickLeft = gStickRight = gStickDown = gHatLeft = gHatRight = gHatDown = false;
  gPausedByKey = gPausedByFocus = false;
  gTouchControlsVisible = true;
}

void DeviceToLandscape(int deviceX, int deviceY, int32_t* x, int32_t* y) {
  *x = deviceY;
  *y = kDeviceScreenWidth - deviceX;
}

bool GamePaused() { return gPausedByKey || gPausedByFocus; }

void HandlePausedInput() {
  SDL_Event event;
  while (gPlatform.PollEvent(&event)) HandleEvent(event, true);
}

void HandleInput() {
  SDL_Event event;
  while (gPlatform.PollEvent(&event)) HandleEvent(event, false);

  gActions[kActionLeft] = gActions[kActionRight] = gActions[kActionJump] = false;
  for (int i = 0; i < kFingerSlots; ++i) {
    int deviceX = 0, deviceY = 0;
    FingerSlot& slot = gFingers[i];
    if (gPlatform.GetMultiMouseState(i, &deviceX, &deviceY) == 0) {
      slot.down = false;
    } else {
      slot.down = true;
      DeviceToLandscape(deviceX, deviceY, &slot.x, &slot.y);
    }
    if (!slot.down) continue;
    // All three are tested: overlapping buttons could set several flags.
    if (ButtonContains(kButtonLeft, slot.x, slot.y)) gActions[kActionLeft] = true;
    if (ButtonContains(kButtonRight, slot.x, slot.y)) gActions[kActionRight] = true;
    if (ButtonContains(kButtonJump, slot.x, slot.y)) gActions[kActionJump] = true;
  }

  // Keys and the gamepad add to the touches; down and fire have no button.
  gActions[kActionDown] = gActions[kActionFire] = false;
  for (int role = 0; role < kHeldRoles; ++role)
    if (RoleHeld(role)) gActions[kRoleAction[role]] = true;
}
