// The bitmap font: one 16 x 16 cell per character from the space on, 16-pixel advance.
#include "engine/font.h"

#include <gtest/gtest.h>

#include "engine/sprite_batch.h"
#include "engine/texture.h"
#include "tests/support/kept_globals.h"

namespace {

class FontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kept.Keep(gFontTexture);
    gFontTexture = &font;
    batch.Begin(false);
  }
  void TearDown() override { batch.Begin(false); }
  int Quads() const { return batch.Bucket(0).count / kVerticesPerQuad; }
  const SpriteVertex& Corner(int quad, int vertex) const {
    return batch.Bucket(0).vertices[quad * kVerticesPerQuad + vertex];
  }

  Texture font{77, 1520, 16, 1520, 16};
  cKeptGlobals kept;
  cSpriteBatch& batch = cSpriteBatch::Instance();
};

TEST_F(FontTest, TextQueuesOneCellPerCharacterSixteenPixelsApart) {
  EXPECT_EQ(DrawText(0, 0, "AB"), 0);
  ASSERT_EQ(Quads(), 2);
  EXPECT_EQ(batch.BucketTexture(0), 77);
  EXPECT_EQ(Corner(0, 0).x, 0);
  EXPECT_EQ(Corner(1, 0).x, 16);
  EXPECT_EQ(Corner(1, 5).x, 32);
  EXPECT_EQ(Corner(1, 5).y, 16);
  // 'A' is cell 33, 528 pixels in; 'B' cell 34 at 544.
  EXPECT_FLOAT_EQ(Corner(0, 0).u, 528.0f / 1520.0f);
  EXPECT_FLOAT_EQ(Corner(0, 5).u, 544.0f / 1520.0f);
  EXPECT_FLOAT_EQ(Corner(1, 0).u, 544.0f / 1520.0f);
  EXPECT_FLOAT_EQ(Corner(0, 0).v, 0.0f);
  EXPECT_FLOAT_EQ(Corner(0, 5).v, 1.0f);
}

TEST_F(FontTest, SpacesDrawButControlCharactersAndEmptyTextDoNot) {
  DrawText(0, 0, "");
  EXPECT_EQ(Quads(), 0);
  DrawText(10, 20, " ");
  ASSERT_EQ(Quads(), 1);
  EXPECT_FLOAT_EQ(Corner(0, 0).u, 0.0f);  // the space is the first cell
  DrawText(0, 0, "A\nB\t");
  EXPECT_EQ(Quads(), 3);
  EXPECT_EQ(Corner(2, 0).x, 32);  // the newline still takes its place
  DrawChar(0, 0, 0x1f);
  EXPECT_EQ(Quads(), 3);
  // Without a font nothing is queued at all.
  batch.Begin(false);
  gFontTexture = nullptr;
  DrawText(0, 0, "SCORE");
  EXPECT_EQ(batch.BucketTexture(0), kFreeBucket);
}

TEST_F(FontTest, PositionsTruncateAndReachTheMapsFarEnd) {
  DrawTextF(-3.7f, 10.9f, "X");
  EXPECT_EQ(Corner(0, 0).x, -3);
  EXPECT_EQ(Corner(0, 0).y, 10);
  DrawText(32760, 0, "AB");
  EXPECT_EQ(Corner(1, 0).x, 32760);
  EXPECT_EQ(Corner(2, 0).x, 32776);          // past 16 bits, no wrap
  DrawTextF(4000 * 32 + 0.5f, 608.0f, "C");  // a text at column 4000
  EXPECT_EQ(Corner(3, 0).x, 128000);
}

}  // namespace
