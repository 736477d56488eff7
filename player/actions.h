// The action flags: one byte per action, rebuilt every frame from the touches, keys and
// gamepad; the player reads them through its key layout.
#pragma once

constexpr int kActionCount = 8;  // both key layouts use indices 0 to 6

enum Action : int {
  kActionJump = 0,   // the jump button
  kActionRight = 1,  // the right button
  kActionSpare = 2,
  kActionLeft = 3,  // the left button
  kActionDown = 4,  // crouch (keyboard and gamepad only)
  kActionFire = 5,  // run and fire (keyboard and gamepad only)
};

extern bool gActions[kActionCount];

void ClearActions(int count);
