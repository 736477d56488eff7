// The start screen: the title picture and a blinking start button, shown once before play.
#pragma once

#include <cstdint>

constexpr int32_t kBlinkCycle = 64;       // the counter runs 0..64: 65 passes a cycle
constexpr int32_t kBlinkShownBelow = 48;  // the button shows while the counter is below

extern bool gStartDone;
extern int32_t gBlinkCounter;

// Passes until the start button is pressed (or the process ends on a quit request).
void RunStartScreen();
// One pass: draw, then the events; pressing start starts the game and returns at once.
void StartScreenStep();
// The title picture over the sky, with the start button over it when `button` is true.
void DrawTitlePicture(bool button);
