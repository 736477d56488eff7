// The sprite batch: buckets per texture, draw order, capacity limits, texture coordinates,
// flips and turned quads, and the GL state of a flush.
#include "engine/sprite_batch.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "engine/gl_record.h"
#include "engine/texture.h"

namespace {

constexpr DrawColour kWhite = {1, 1, 1, 1};
constexpr DrawRect kWhole = {0, 0, 0, 0};

class SpriteBatchTest : public ::testing::Test {
 protected:
  Texture MakeTexture(uint32_t name, uint32_t w = 64, uint32_t h = 32) {
    return Texture{name, w, h, int32_t(w), int32_t(h)};
  }
  void TearDown() override { cSpriteBatch::Instance().Begin(false); }

  cGlRecorder gl;
  cSpriteBatch& batch = cSpriteBatch::Instance();
};

TEST_F(SpriteBatchTest, TexturesShareBucketsAndDrawInOrderOfFirstUse) {
  Texture a = MakeTexture(5), b = MakeTexture(9);
  batch.Begin(false);
  batch.AddQuad(&a, {0, 0, 10, 10}, kWhole, kWhite, 0, 0);
  batch.AddQuad(&b, {20, 0, 10, 10}, kWhole, kWhite, 0, 0);
  batch.AddQuad(&a, {40, 0, 10, 10}, kWhole, kWhite, 0, 0);
  EXPECT_EQ(batch.BucketTexture(0), 5);
  EXPECT_EQ(batch.BucketTexture(1), 9);
  EXPECT_EQ(batch.Bucket(0).count, 12);
  EXPECT_EQ(batch.Bucket(1).count, 6);

  batch.Flush();
  ASSERT_EQ(gl.draws.size(), 2u);  // one draw call per texture
  EXPECT_EQ(gl.draws[0].texture, 5u);
  ASSERT_EQ(gl.draws[0].vertices.size(), 12u);
  EXPECT_EQ(gl.draws[0].vertices[0].x, 0);  // the first A quad, then the second
  EXPECT_EQ(gl.draws[0].vertices[6].x, 40);
  EXPECT_EQ(gl.draws[1].texture, 9u);
  EXPECT_EQ(gl.draws[1].vertices[0].x, 20);
  EXPECT_EQ(gl.CountCalls("BindTexture"), 2);

  // A flush empties the buckets but keeps their textures; only Begin frees them.
  EXPECT_EQ(batch.Bucket(0).count, 0);
  EXPECT_EQ(batch.BucketTexture(0), 5);
  EXPECT_TRUE(batch.Begun());
}

TEST_F(SpriteBatchTest, TheThirtyThirdTextureIsDroppedAndOthersStillDraw) {
  std::vector<Texture> textures;
  for (uint32_t i = 0; i < 33; ++i) textures.push_back(MakeTexture(100 + i));
  batch.Begin(false);
  for (const Texture& t : textures) batch.AddQuad(&t, {0, 0, 8, 8}, kWhole, kWhite, 0, 0);
  batch.AddQuad(&textures[0], {8, 0, 8, 8}, kWhole, kWhite, 0, 0);
  batch.Flush();
  ASSERT_EQ(gl.draws.size(), 32u);
  for (const auto& draw : gl.draws) EXPECT_NE(draw.texture, 132u);
  EXPECT_EQ(gl.draws[0].vertices.size(), 12u);
}

TEST_F(SpriteBatchTest, AFullBucketDropsTheQuadInsteadOfOverrunning) {
  Texture a = MakeTexture(3), b = MakeTexture(4);
  batch.Begin(false);
  const int wholeQuads = kBucketVertices / kVerticesPerQuad;  // 1,706
  for (int i = 0; i < wholeQuads + 5; ++i) batch.AddQuad(&a, {i, 0, 1, 1}, kWhole, kWhite, 0, 0);
  batch.AddQuad(&b, {0, 0, 1, 1}, kWhole, kWhite, 0, 0);
  EXPECT_EQ(batch.Bucket(0).count, wholeQuads * kVerticesPerQuad);
  EXPECT_EQ(batch.Bucket(1).count, kVerticesPerQuad);
  EXPECT_EQ(batch.Bucket(0).vertices[batch.Bucket(0).count - 1].x, wholeQuads);  // last kept
}

TEST_F(SpriteBatchTest, TextureCoordinatesComeFromTheSourceOrTheWholeTexture) {
  Texture strip = MakeTexture(11, 256, 16);
  batch.Begin(false);
  batch.AddQuad(&strip, {0, 0, 16, 16}, {0, 0, 16, 16}, kWhite, 0, 0);
  batch.AddQuad(&strip, {0, 0, 16, 16}, kWhole, kWhite, 0, 0);
  batch.AddQuad(&strip, {0, 0, 16, 16}, {64, 4, 32, 8}, kWhite, 0, 0);
  const SpriteVertex* v = batch.Bucket(0).vertices;
  // Two triangles: corners 0, 1, 2, 1, 2, 3.
  const float uv[][3] = {
      {0, 0, 0}, {5, 0.0625f, 1}, {11, 1, 1}, {12, 0.25f, 0.25f}, {17, 0.375f, 0.75f}};
  for (const auto& [i, u, vv] : uv) {
    EXPECT_FLOAT_EQ(v[int(i)].u, u) << i;
    EXPECT_FLOAT_EQ(v[int(i)].v, vv) << i;
  }
  const int corners[6][2] = {{0, 0}, {16, 0}, {0, 16}, {16, 0}, {0, 16}, {16, 16}};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(v[i].x, corners[i][0]);
    EXPECT_EQ(v[i].y, corners[i][1]);
    EXPECT_EQ(v[i].z, 0);
  }
}

TEST_F(SpriteBatchTest, FlipsMirrorTheImageButNotTheQuad) {
  Texture t = MakeTexture(12);
  batch.Begin(false);
  batch.AddQuad(&t, {10, 20, 30, 40}, kWhole, kWhite, 0, kFlipHorizontal);
  batch.AddQuad(&t, {10, 20, 30, 40}, kWhole, kWhite, 0, kFlipHorizontal | kFlipVertical);
  const SpriteVertex* v = batch.Bucket(0).vertices;
  EXPECT_EQ(v[0].x, 10);  // corner 0 stays top-left
  EXPECT_EQ(v[0].y, 20);
  // But it shows the right edge of the image; flip 3 (from vertex 6) mirrors both ways.
  const float uv[][3] = {{0, 1, 0}, {5, 0, 1}, {6, 1, 1}, {11, 0, 0}};
  for (const auto& [i, u, vv] : uv) {
    EXPECT_FLOAT_EQ(v[int(i)].u, u) << i;
    EXPECT_FLOAT_EQ(v[int(i)].v, vv) << i;
  }
}

TEST_F(SpriteBatchTest, TurnedQuadsTurnClockwiseAboutTheirCentre) {
  Texture t = MakeTexture(13);
  batch.Begin(false);
  DrawSpriteRotated(&t, 0, 0, 40, 20, 0, 90);
  const SpriteVertex* v = batch.Bucket(0).vertices;
  // Centre (20, 10); corner 1's offset (20, -10) turns to (10, 20). Positions are truncated,
  // so a corner that comes out a hair under a whole pixel lands one pixel short.
  const int expected[6][2] = {{30, -10}, {30, 30}, {10, -10}, {30, 30}, {10, -10}, {10, 30}};
  for (int i = 0; i < 6; ++i) {
    EXPECT_NEAR(v[i].x, expected[i][0], 1) << i;
    EXPECT_NEAR(v[i].y, expected[i][1], 1) << i;
  }
}

TEST_F(SpriteBatchTest, SpriteCallsUseTheWholeTextureAndSkipNullTextures) {
  Texture t = MakeTexture(14, 24, 12);
  batch.Begin(false);
  DrawSprite(nullptr, 0, 0, 10, 10, 0);
  DrawImage(nullptr, 0, 0);
  EXPECT_EQ(batch.BucketTexture(0), kFreeBucket);
  DrawImage(&t, 5, 6);
  DrawSprite(&t, 1, 2, 3, 4, kFlipVertical);
  const SpriteVertex* v = batch.Bucket(0).vertices;
  EXPECT_EQ(v[5].x, 29);  // DrawImage uses the picture's own size
  EXPECT_EQ(v[5].y, 18);
  EXPECT_EQ(v[0].red, 255);
  EXPECT_EQ(v[0].alpha, 255);
  EXPECT_EQ(v[11].x, 4);
  EXPECT_EQ(v[11].y, 6);
  EXPECT_FLOAT_EQ(v[6].v, 1.0f);

  // Quads before a batch's first Begin are ignored.
  cSpriteBatch fresh;
  fresh.AddQuad(&t, {0, 0, 10, 10}, kWhole, kWhite, 0, 0);
  EXPECT_FALSE(fresh.Begun());
  EXPECT_EQ(fresh.BucketTexture(0), kFreeBucket);
}

TEST_F(SpriteBatchTest, ColoursAndFarPositionsAreConvertedSafely) {
  Texture t = MakeTexture(15);
  batch.Begin(false);
  batch.AddQuad(&t, {40000, -5, 1, 1}, kWhole, {0.5f, 2.0f, -1.0f, 1.0f}, 0, 0);
  const SpriteVertex& v = batch.Bucket(0).vertices[0];
  EXPECT_EQ(v.red, 127);
  EXPECT_EQ(v.green, 255);
  EXPECT_EQ(v.blue, 0);
  EXPECT_EQ(v.x, 40000);  // no 16-bit wrap
  EXPECT_EQ(v.y, -5);
  // The map's last pixel, and positions beyond any picture, which go to 0.
  batch.AddQuad(&t, {131071, 0, 1, 1}, kWhole, {1, 1, 1, 1}, 0, 0);
  EXPECT_EQ(batch.Bucket(0).vertices[6].x, 131071);
  EXPECT_EQ(batch.Bucket(0).vertices[7].x, 131072);
  batch.AddQuad(&t, {INT32_MAX - 1, 0, 1, 1}, kWhole, {1, 1, 1, 1}, 0, 0);
  EXPECT_EQ(batch.Bucket(0).vertices[12].x, 0);
}

TEST_F(SpriteBatchTest, FlushSetsUpTheArraysAndAlphaTestAndLeavesThemOff) {
  Texture t = MakeTexture(16);
  batch.Begin(true);
  DrawSprite(&t, 0, 0, 8, 8, 0);
  batch.Flush();
  ASSERT_EQ(gl.draws.size(), 1u);
  EXPECT_TRUE(gl.draws[0].blend);
  EXPECT_TRUE(gl.draws[0].alphaTest);
  EXPECT_TRUE(gl.draws[0].texture2D);
  EXPECT_EQ(gl.draws[0].mode, GLenum(GL_TRIANGLES));
  EXPECT_EQ(gl.CountCalls("AlphaFunc 516 0.1"), 1);        // GL_GREATER
  EXPECT_EQ(gl.CountCalls("VertexPointer 3 5126 24"), 1);  // floats
  EXPECT_EQ(gl.CountCalls("TexCoordPointer 2 5126 24"), 1);
  EXPECT_EQ(gl.CountCalls("ColorPointer 4 5121 24"), 1);
  EXPECT_FALSE(gl.IsEnabled(GL_BLEND));
  EXPECT_FALSE(gl.IsEnabled(GL_ALPHA_TEST));
  EXPECT_TRUE(gl.clientArrays.empty());

  // Begun without blending, the batch leaves the blend state alone.
  gl.ClearLog();
  batch.Begin(false);
  DrawSprite(&t, 0, 0, 8, 8, 0);
  batch.Flush();
  EXPECT_FALSE(gl.draws[0].blend);
  EXPECT_EQ(gl.CountCalls("Enable 3042"), 0);  // GL_BLEND
}

}  // namespace
