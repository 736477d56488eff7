// Text is queued into the sprite batch like any sprite, in the coordinates of the current pass.
#include "engine/font.h"

#include <cmath>
#include <cstring>

#include "engine/sprite_batch.h"

Texture* gFontTexture = nullptr;

namespace {

// Toward zero; positions too far off to draw (or not numbers) come out as 0.
int32_t TruncatePosition(float value) {
  if (!(value > -1e9f && value < 1e9f)) return 0;
  return int32_t(value);
}

}  // namespace

void DrawChar(int32_t x, int32_t y, unsigned char c) {
  // Control characters have no cell; drawing them would sample left of the image.
  if (c < kFirstGlyph) return;
  constexpr DrawColour kWhite = {1.0f, 1.0f, 1.0f, 1.0f};
  cSpriteBatch::Instance().AddQuad(gFontTexture, {x, y, kGlyphSize, kGlyphSize},
                                   {(c - kFirstGlyph) * kGlyphSize, 0, kGlyphSize, kGlyphSize},
                                   kWhite, 0.0f, 0);
}

int DrawText(int32_t x, int32_t y, const char* text) {
  const size_t length = std::strlen(text);
  for (size_t i = 0; i < length; ++i)
    DrawChar(int32_t(int64_t(x) + kGlyphSize * int64_t(i)), y, static_cast<unsigned char>(text[i]));
  return 0;
}

void DrawCharF(float x, float y, unsigned char c) {
  DrawChar(TruncatePosition(x), TruncatePosition(y), c);
}

int DrawTextF(float x, float y, const char* text) {
  return DrawText(TruncatePosition(x), TruncatePosition(y), text);
}
