// The sprite batch: quads sorted into one bucket per texture, each bucket sent to GL
// with a single draw call at Flush. Plus the sprite drawing calls the game uses.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/gl_setup.h"

struct Texture;

constexpr int kBatchBuckets = 32;
constexpr int kBucketVertices = 10240;
constexpr int kVerticesPerQuad = 6;
constexpr int32_t kFreeBucket = -1;

// 24 bytes, laid out for glVertexPointer / glColorPointer / glTexCoordPointer. Positions are
// whole world pixels held as floats: exact up to 2^24, far past the map's 131072 px.
struct SpriteVertex {
  float x, y, z;
  uint8_t red, green, blue, alpha;
  float u, v;
};
static_assert(sizeof(SpriteVertex) == 24, "the GL strides assume a 24-byte vertex");

struct SpriteBucket {
  SpriteVertex vertices[kBucketVertices];
  int32_t count;
};

class cSpriteBatch {
 public:
  cSpriteBatch();
  static cSpriteBatch& Instance();

  void Begin(bool blending);
  void AddQuad(const Texture* texture, const DrawRect& destination, const DrawRect& source,
               const DrawColour& colour, float angle, int32_t flipFlags);
  void Flush();

  const SpriteBucket& Bucket(int index) const { return mBuckets[index]; }
  int32_t BucketTexture(int index) const { return mBucketTexture[index]; }
  bool Begun() const { return mBegun; }

 private:
  int FindBucket(uint32_t glName);

  std::unique_ptr<SpriteBucket[]> mBuckets;
  int32_t mBucketTexture[kBatchBuckets];
  int32_t mBoundTexture = -1;
  bool mBlending = false;
  bool mBegun = false;
};

void DrawSprite(const Texture* texture, int32_t x, int32_t y, int32_t w, int32_t h,
                int32_t flipFlags);
void DrawSpriteRotated(const Texture* texture, int32_t x, int32_t y, int32_t w, int32_t h,
                       int32_t flipFlags, int32_t angle);
void DrawImage(const Texture* texture, int32_t x, int32_t y);
