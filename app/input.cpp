// The frame's input step. Touches follow the phone's rules exactly; the device's held actions
// (keys and gamepads on the desktop) are another way into the same action flags.
#include "app/input.h"

#include <iterator>

#include "app/button.h"
#include "app/game.h"
#include "app/hud.h"
#include "app/results.h"
#include "engine/music.h"
#include "player/player.h"

FingerSlot gFingers[kFingerSlots];
bool gTouchControlsVisible = true;

namespace {

constexpr int kSources = 3;
constexpr int kInputActions = int(InputAction::kCount);

// The held actions and the flag each sets; down and fire have no touch button.
struct HeldAction {
  InputAction action;
  int flag;
};
constexpr HeldAction kHeldActions[] = {
    {InputAction::kLeft, kActionLeft}, {InputAction::kRight, kActionRight},
    {InputAction::kJump, kActionJump}, {InputAction::kDown, kActionDown},
    {InputAction::kFire, kActionFire},
};

bool gHeld[kSources][kInputActions];
bool gSpent[kFingerSlots];
bool gPausedByKey = false;
bool gPausedByFocus = false;

bool IsHeldAction(InputAction action) {
  for (const HeldAction& h : kHeldActions)
    if (h.action == action) return true;
  return false;
}

bool ButtonContains(ButtonId id, int32_t x, int32_t y) {
  return gButtons[id] && gButtons[id]->Contains(x, y);
}

bool Dying() { return gPlayer && gPlayer->dying; }

// Restart and retry act on release, on their button or their key.
void Release(bool retry) {
  if (gGoalReached) return;  // the level is over; nothing to restart
  const bool dying = Dying();
  if (retry && dying) {
    gPausedByKey = false;  // a pause that came with the death ends with it
    RestartAfterDeath();
  }
  if (!retry && !dying) RestartLevel();
}

void HandleAction(const InputEvent& e) {
  const bool pressed = e.type == InputType::kActionPressed;
  bool& held = gHeld[int(e.source)][int(e.action)];
  const bool wasHeld = held;
  held = pressed;
  switch (e.action) {
    case InputAction::kRestart:
    case InputAction::kRetry:
      if (wasHeld && !pressed && !GamePaused()) Release(e.action == InputAction::kRetry);
      break;
    case InputAction::kPause:
      // The death screen waits for a retry: a pad's Start retries there instead.
      if (pressed && !wasHeld && !Dying()) gPausedByKey = !gPausedByKey;
      break;
    case InputAction::kMute:
      if (pressed && !wasHeld) ToggleMute();
      break;
    default:
      if (pressed && IsHeldAction(e.action)) gTouchControlsVisible = false;
      break;
  }
}

// One event of the queue; touches act only while the game runs.
void HandleEvent(const InputEvent& e, bool paused) {
  const bool fingerEvent = e.type == InputType::kFingerDown || e.type == InputType::kFingerMove ||
                           e.type == InputType::kFingerUp;
  // Events from a slot past the last have nowhere to go and are dropped.
  if (fingerEvent && (e.finger < 0 || e.finger >= kFingerSlots)) return;
  FingerSlot* slot = fingerEvent ? &gFingers[e.finger] : nullptr;
  if (slot) DeviceToLandscape(e.x, e.y, &slot->x, &slot->y);
  switch (e.type) {
    case InputType::kFingerDown:
      slot->down = true;
      gSpent[e.finger] = false;
      gTouchControlsVisible = true;
      if (SpeakerContains(slot->x, slot->y)) ToggleMute();
      break;
    case InputType::kFingerUp: {
      slot->down = false;
      const bool dying = Dying();
      const ButtonId button = dying ? kButtonRetry : kButtonRestart;
      if (!paused && ButtonContains(button, slot->x, slot->y)) Release(dying);
      break;
    }
    case InputType::kActionPressed:
    case InputType::kActionReleased:
      HandleAction(e);
      break;
    case InputType::kFocusLost:
    case InputType::kFocusGained:
      gPausedByFocus = e.type == InputType::kFocusLost;
      break;
    default:
      break;  // a move only moves; a quit request during play is the device's business
  }
}

bool ActionHeld(InputAction action) {
  for (const auto& source : gHeld)
    if (source[int(action)]) return true;
  return false;
}

}  // namespace

void ClearFingers() {
  for (FingerSlot& slot : gFingers) slot.down = false;
}

void ResetHeldInput() {
  for (auto& source : gHeld)
    for (bool& held : source) held = false;
  for (bool& spent : gSpent) spent = false;
  gPausedByKey = gPausedByFocus = false;
  gTouchControlsVisible = true;
}

void DeviceToLandscape(int deviceX, int deviceY, int32_t* x, int32_t* y) {
  *x = deviceY;
  *y = kDeviceScreenWidth - deviceX;
}

void SpendFinger(int slot) {
  if (slot >= 0 && slot < kFingerSlots) gSpent[slot] = true;
}

// A pause pressed in the very frame the player began to die would hold the death screen with
// its retry refused and the pause key ignored: the death screen is never paused by a key.
bool GamePaused() { return (gPausedByKey && !Dying()) || gPausedByFocus; }

void HandlePausedInput() {
  InputEvent event;
  while (gPlatform.PollEvent(&event)) HandleEvent(event, true);
}

void HandleInput() {
  InputEvent event;
  while (gPlatform.PollEvent(&event)) HandleEvent(event, false);

  gActions[kActionLeft] = gActions[kActionRight] = gActions[kActionJump] = false;
  for (int i = 0; i < kFingerSlots; ++i) {
    int deviceX = 0, deviceY = 0;
    FingerSlot& slot = gFingers[i];
    slot.down = gPlatform.ReadFinger(i, &deviceX, &deviceY);
    if (slot.down) DeviceToLandscape(deviceX, deviceY, &slot.x, &slot.y);
    if (gSpent[i]) {
      gSpent[i] = slot.down;
      slot.down = false;
    }
    if (!slot.down) continue;
    // All three are tested: overlapping buttons could set several flags.
    if (ButtonContains(kButtonLeft, slot.x, slot.y)) gActions[kActionLeft] = true;
    if (ButtonContains(kButtonRight, slot.x, slot.y)) gActions[kActionRight] = true;
    if (ButtonContains(kButtonJump, slot.x, slot.y)) gActions[kActionJump] = true;
  }

  // Held actions add to the touches.
  gActions[kActionDown] = gActions[kActionFire] = false;
  for (const HeldAction& h : kHeldActions)
    if (ActionHeld(h.action)) gActions[h.flag] = true;
}
