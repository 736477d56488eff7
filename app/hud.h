// The heads-up display, drawn in landscape pixels inside the frame's 2D pass: the buttons,
// the status and distance lines, and the trembling message.
#pragma once

#include <string>

// A line for the player from outside the level (why an edited level source did not load),
// shown under the status lines, wrapped; empty shows nothing.
extern std::string gHudNotice;

void FormatStatusLine(char* out, int size);
void FormatDistanceLine(char* out, int size);

// The speaker: its picture shows the mute, a touch on it toggles it. It sits under the status
// line's start, left of the distance line, where no level text ever shows: a sign stands at
// most three rows above the ground it is read from, which keeps it lower on the screen.
constexpr int kSpeakerX = 8, kSpeakerY = 26, kSpeakerSize = 32;  // landscape px, under SCORE
// Around the picture, so that a fingertip finds it: at least 48 CSS px on any phone held
// sideways (a landscape pixel is a CSS pixel or more there).
constexpr int kSpeakerTouchMargin = 12;  // landscape px
bool SpeakerContains(int x, int y);
void LoadHudPictures();

void DrawHud();

// Where the heads-up display's text stands this frame, in landscape px: the status line, the
// distance line and the message (zero-sized when none shows; as wide as its trembling
// reaches), so that what the level draws can be kept clear of it.
struct HudBox {
  int x = 0, y = 0, w = 0, h = 0;
};
struct HudTextBoxes {
  HudBox status, distance, message;
};
HudTextBoxes CurrentHudTextBoxes();
