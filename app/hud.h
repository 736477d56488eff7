// The heads-up display, drawn in landscape pixels inside the frame's 2D pass.
#pragma once

// Metres the player has covered; the player's step writes it.
extern float gMetersMoved;

void FormatStatusLine(char* out, int size);
void FormatDistanceLine(char* out, int size);

void DrawHud();
