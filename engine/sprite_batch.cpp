// Sprite batch and sprite drawing.
#include "engine/sprite_batch.h"

#include <algorithm>
#include <cmath>

#include "engine/gl_api.h"
#include "engine/texture.h"

namespace {

constexpr float kLargestExactVertex = 16777216.0f;  // 2^24: floats hold every whole pixel
constexpr float kAlphaTestThreshold = 0.1f;         // fragments at or below are discarded
constexpr DrawRect kWholeTexture = {0, 0, 0, 0};

// Out-of-range components are clamped: converting them to a byte would be undefined.
uint8_t ColourByte(float component) { return uint8_t(std::clamp(component, 0.0f, 1.0f) * 255.0f); }

// Vertex positions are whole pixels, truncated toward zero. Positions too far off to draw
// exactly (or not numbers) go to 0 rather than to a wrong place.
float ToVertexCoordinate(float value) {
  if (!(value > -kLargestExactVertex && value < kLargestExactVertex)) return 0.0f;
  return std::trunc(value);
}

}  // namespace

cSpriteBatch::cSpriteBatch() : mBuckets(new SpriteBucket[kBatchBuckets]) {
  for (int i = 0; i < kBatchBuckets; ++i) {
    mBuckets[i].count = 0;
    mBucketTexture[i] = kFreeBucket;
  }
}

cSpriteBatch& cSpriteBatch::Instance() {
  static cSpriteBatch* batch = new cSpriteBatch;
  return *batch;
}

void cSpriteBatch::Begin(bool blending) {
  mBlending = blending;
  for (int i = 0; i < kBatchBuckets; ++i) {
    mBuckets[i].count = 0;
    mBucketTexture[i] = kFreeBucket;
  }
  mBegun = true;
}

int cSpriteBatch::FindBucket(uint32_t glName) {
  for (int i = 0; i < kBatchBuckets; ++i)
    if (mBucketTexture[i] == int32_t(glName)) return i;
  for (int i = 0; i < kBatchBuckets; ++i)
    if (mBucketTexture[i] == kFreeBucket) {
      mBucketTexture[i] = int32_t(glName);
      return i;
    }
  return -1;
}

void cSpriteBatch::AddQuad(const Texture* texture, const DrawRect& destination,
                           const DrawRect& source, const DrawColour& colour, float angle,
                           int32_t flipFlags) {
  if (!mBegun || !texture) return;
  const int bucketIndex = FindBucket(texture->glName);
  if (bucketIndex < 0) return;
  SpriteBucket& bucket = mBuckets[bucketIndex];
  // A full bucket drops the quad rather than writing past its end.
  if (bucket.count + kVerticesPerQuad > kBucketVertices) return;

  float cx[4], cy[4];
  QuadCorners(destination, angle, cx, cy);

  TexCoords t{0.0f, 0.0f, 1.0f, 1.0f};
  const bool wholeTexture =
      source.x == 0 && source.y == 0 && source.width == 0 && source.height == 0;
  if (!wholeTexture) t = SourceTexCoords(*texture, source, 0);
  ApplyFlips(t, flipFlags);

  const uint8_t r = ColourByte(colour.red), g = ColourByte(colour.green),
                b = ColourByte(colour.blue), a = ColourByte(colour.alpha);
  auto put = [&](int corner, float u, float v) {
    bucket.vertices[bucket.count++] = {
        ToVertexCoordinate(cx[corner]), ToVertexCoordinate(cy[corner]), 0.0f, r, g, b, a, u, v};
  };
  put(0, t.uLeft, t.vTop);
  put(1, t.uRight, t.vTop);
  put(2, t.uLeft, t.vBottom);
  put(1, t.uRight, t.vTop);
  put(2, t.uLeft, t.vBottom);
  put(3, t.uRight, t.vBottom);
}

void cSpriteBatch::Flush() {
  if (mBlending) {
    gGL.Enable(GL_BLEND);
    gGL.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  }
  gGL.Enable(GL_TEXTURE_2D);
  gGL.AlphaFunc(GL_GREATER, kAlphaTestThreshold);
  gGL.Enable(GL_ALPHA_TEST);
  gGL.EnableClientState(GL_VERTEX_ARRAY);
  gGL.EnableClientState(GL_TEXTURE_COORD_ARRAY);
  gGL.EnableClientState(GL_COLOR_ARRAY);

  for (int i = 0; i < kBatchBuckets; ++i) {
    SpriteBucket& bucket = mBuckets[i];
    if (bucket.count <= 0) continue;
    if (mBucketTexture[i] != mBoundTexture) {
      gGL.BindTexture(GL_TEXTURE_2D, GLuint(mBucketTexture[i]));
      mBoundTexture = mBucketTexture[i];
    }
    const SpriteVertex* v = bucket.vertices;
    gGL.VertexPointer(3, GL_FLOAT, sizeof(SpriteVertex), &v->x);
    gGL.TexCoordPointer(2, GL_FLOAT, sizeof(SpriteVertex), &v->u);
    gGL.ColorPointer(4, GL_UNSIGNED_BYTE, sizeof(SpriteVertex), &v->red);
    gGL.DrawArrays(GL_TRIANGLES, 0, bucket.count);
    bucket.count = 0;
  }

  mBoundTexture = -1;
  gGL.DisableClientState(GL_VERTEX_ARRAY);
  gGL.DisableClientState(GL_TEXTURE_COORD_ARRAY);
  gGL.DisableClientState(GL_COLOR_ARRAY);
  gGL.Disable(GL_BLEND);
  gGL.Disable(GL_TEXTURE_2D);
  gGL.Disable(GL_ALPHA_TEST);
}

void DrawSprite(const Texture* texture, int32_t x, int32_t y, int32_t w, int32_t h,
                int32_t flipFlags) {
  cSpriteBatch::Instance().AddQuad(texture, {x, y, w, h}, kWholeTexture, kWhite, 0.0f, flipFlags);
}

void DrawSpriteRotated(const Texture* texture, int32_t x, int32_t y, int32_t w, int32_t h,
                       int32_t flipFlags, int32_t angle) {
  cSpriteBatch::Instance().AddQuad(texture, {x, y, w, h}, kWholeTexture, kWhite, float(angle),
                                   flipFlags);
}

void DrawImage(const Texture* texture, int32_t x, int32_t y) {
  if (!texture) return;
  cSpriteBatch::Instance().AddQuad(texture,
                                   {x, y, int32_t(texture->width), int32_t(texture->height)},
                                   kWholeTexture, kWhite, 0.0f, 0);
}
