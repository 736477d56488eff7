// Finger slots and the frame's input step.
#include "app/input.h"

#include "app/game.h"

FingerSlot gFingers[kFingerSlots];
bool gActions[kActionCount];

namespace {

// Events from a device index past the slots have nowhere to go and are dropped.
FingerSlot* SlotOf(int which) { return which < kFingerSlots ? &gFingers[which] : nullptr; }

void ReadPointerInto(FingerSlot& slot) {
  int deviceX = 0, deviceY = 0;
  gPlatform.GetMouseState(&deviceX, &deviceY);
  DeviceToLandscape(deviceX, deviceY, &slot.x, &slot.y);
}

}  // namespace

void ClearFingers() {
  for (FingerSlot& slot : gFingers) slot.down = false;
}

void ClearActions(int count) {
  for (int i = 0; i < count && i < kActionCount; ++i) gActions[i] = false;
}

void DeviceToLandscape(int deviceX, int deviceY, int32_t* x, int32_t* y) {
  *x = deviceY;
  *y = kDeviceScreenWidth - deviceX;
}

void HandleInput() {
  SDL_Event event;
  while (gPlatform.PollEvent(&event)) {
    switch (event.type) {
      case SDL_MOUSEMOTION:
        if (FingerSlot* slot = SlotOf(event.motion.which)) ReadPointerInto(*slot);
        break;
      case SDL_MOUSEBUTTONDOWN:
        if (FingerSlot* slot = SlotOf(event.button.which)) {
          ReadPointerInto(*slot);
          slot->down = true;
        }
        break;
      case SDL_MOUSEBUTTONUP:
        if (FingerSlot* slot = SlotOf(event.button.which)) {
          ReadPointerInto(*slot);
          slot->down = false;
        }
        break;
      default:
        break;  // a quit request during play is the platform's business
    }
  }

  for (int i = 0; i < kFingerSlots; ++i) {
    int deviceX = 0, deviceY = 0;
    FingerSlot& slot = gFingers[i];
    if (gPlatform.GetMultiMouseState(i, &deviceX, &deviceY) == 0) {
      slot.down = false;
      continue;
    }
    slot.down = true;
    DeviceToLandscape(deviceX, deviceY, &slot.x, &slot.y);
  }
}
