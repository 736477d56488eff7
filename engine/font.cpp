// Text is queued into the sprite batch like any sprite, in the coordinates of the current pass.
#include "engine/font.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/gl_setup.h"
#include "engine/sprite_batch.h"

Texture* gFontTexture = nullptr;

namespace {

// Toward zero; positions too far off to draw (or not numbers) come out as 0.
int32_t TruncatePosition(float value) {
  if (!(value > -1e9f && value < 1e9f)) return 0;
  return int32_t(value);
}

constexpr DrawColour kOutline = {30 / 255.0f, 26 / 255.0f, 43 / 255.0f, 1.0f};  // the sprites' own

void DrawCharTinted(int32_t x, int32_t y, unsigned char c, const DrawColour& tint) {
  // Control characters have no cell; drawing them would sample left of the image.
  if (c < kFirstGlyph) return;
  cSpriteBatch::Instance().AddQuad(gFontTexture, {x, y, kGlyphSize, kGlyphSize},
                                   {(c - kFirstGlyph) * kGlyphSize, 0, kGlyphSize, kGlyphSize},
                                   tint, 0.0f, 0);
}

}  // namespace

void DrawChar(int32_t x, int32_t y, unsigned char c) { DrawCharTinted(x, y, c, kWhite); }

int DrawText(int32_t x, int32_t y, const char* text) { return DrawTextTinted(x, y, text, kWhite); }

int DrawTextTinted(int32_t x, int32_t y, const char* text, const DrawColour& tint, int advance) {
  const size_t length = std::strlen(text);
  for (size_t i = 0; i < length; ++i)
    DrawCharTinted(int32_t(int64_t(x) + advance * int64_t(i)), y,
                   static_cast<unsigned char>(text[i]), tint);
  return 0;
}

int DrawTextOutlined(int32_t x, int32_t y, const char* text) {
  return DrawTextOutlined(x, y, text, kWhite);
}

int DrawTextOutlined(int32_t x, int32_t y, const char* text, const DrawColour& tint, int advance) {
  // The whole outline first: the batch keeps the order within the font's texture.
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (dx != 0 || dy != 0) DrawTextTinted(x + dx, y + dy, text, kOutline, advance);
  return DrawTextTinted(x, y, text, tint, advance);
}

int DrawTextOutlinedCentred(int32_t centreX, int32_t y, const char* text, const DrawColour& tint) {
  const int64_t width = int64_t(std::strlen(text)) * kGlyphSize;
  return DrawTextOutlined(int32_t(centreX - width / 2), y, text, tint);
}

int FittingAdvance(const char* text, int32_t width) {
  constexpr int kTightest = kGlyphSize * 3 / 4;
  const int64_t length = int64_t(std::strlen(text));
  if (length <= 1 || length * kGlyphSize <= width) return kGlyphSize;
  // The last glyph takes its whole cell; the steps before it share the rest.
  const int64_t advance = (int64_t(width) - kGlyphSize) / (length - 1);
  return int(std::clamp<int64_t>(advance, kTightest, kGlyphSize));
}

void DrawCharF(float x, float y, unsigned char c) {
  DrawChar(TruncatePosition(x), TruncatePosition(y), c);
}

int DrawTextF(float x, float y, const char* text) {
  return DrawText(TruncatePosition(x), TruncatePosition(y), text);
}
