// The bitmap font: one row of 16 x 16 glyph cells in font.png, starting at the space.
#pragma once

#include <cstdint>

struct Texture;

constexpr int kGlyphSize = 16;   // pixels, both ways; also the advance
constexpr int kFirstGlyph = 32;  // the space is the first cell

// Set by the resource loader.
extern Texture* gFontTexture;

struct DrawColour;

void DrawChar(int32_t x, int32_t y, unsigned char c);
int DrawText(int32_t x, int32_t y, const char* text);
// The glyphs are white: a tint is the colour they show in.
int DrawTextTinted(int32_t x, int32_t y, const char* text, const DrawColour& tint,
                   int advance = kGlyphSize);
// In the tint (white by default) over a dark outline a pixel wide, so that it reads over sky,
// clouds and stone alike.
int DrawTextOutlined(int32_t x, int32_t y, const char* text);
int DrawTextOutlined(int32_t x, int32_t y, const char* text, const DrawColour& tint,
                     int advance = kGlyphSize);
// Outlined and centred on `centreX`.
int DrawTextOutlinedCentred(int32_t centreX, int32_t y, const char* text, const DrawColour& tint);
// The step from glyph to glyph that fits `text` into `width` px: the glyph size, or less for a
// longer text, down to three quarters of it (the glyphs' own blank edges keep them apart).
int FittingAdvance(const char* text, int32_t width);
void DrawCharF(float x, float y, unsigned char c);
int DrawTextF(float x, float y, const char* text);
