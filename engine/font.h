// The bitmap font: one row of 16 x 16 glyph cells in font.png, starting at the space.
#pragma once

#include <cstdint>

struct Texture;

constexpr int kGlyphSize = 16;   // pixels, both ways; also the advance
constexpr int kFirstGlyph = 32;  // the space is the first cell

// Set by the resource loader.
extern Texture* gFontTexture;

void DrawChar(int32_t x, int32_t y, unsigned char c);
int DrawText(int32_t x, int32_t y, const char* text);
void DrawCharF(float x, float y, unsigned char c);
int DrawTextF(float x, float y, const char* text);
