// The heads-up display, drawn in landscape pixels inside the frame's 2D pass: the buttons,
// the status and distance lines, and the trembling message.
#pragma once

void FormatStatusLine(char* out, int size);
void FormatDistanceLine(char* out, int size);

void DrawHud();
