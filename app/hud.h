// The heads-up display, drawn in landscape pixels inside the frame's 2D pass: the buttons,
// the status and distance lines, and the trembling message.
#pragma once

#include <string>

// A line for the player from outside the level (why an edited level source did not load),
// shown under the status lines, wrapped; empty shows nothing.
extern std::string gHudNotice;

void FormatStatusLine(char* out, int size);
void FormatDistanceLine(char* out, int size);

// The speaker under the restart button: its picture shows the mute, a touch on it toggles it.
constexpr int kSpeakerX = 426, kSpeakerY = 88, kSpeakerSize = 32;  // landscape px
bool SpeakerContains(int x, int y);
void LoadHudPictures();

void DrawHud();
