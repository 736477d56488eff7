// Touch input: eleven finger slots read every frame in landscape coordinates, and the
// action flags the player reads.
#pragma once

#include <cstdint>

#include "platform/platform.h"

struct FingerSlot {
  bool down;
  int32_t x;  // landscape pixels
  int32_t y;
};

constexpr int kActionCount = 8;          // both key layouts use indices 0 to 6
constexpr int kRetryClearedActions = 5;  // the retry clears actions 0 to 4

extern FingerSlot gFingers[kFingerSlots];
extern bool gActions[kActionCount];

void ClearFingers();
void ClearActions(int count);

// A portrait device point as a landscape point.
void DeviceToLandscape(int deviceX, int deviceY, int32_t* x, int32_t* y);

// The frame's input step: the event queue, then every finger slot.
void HandleInput();
