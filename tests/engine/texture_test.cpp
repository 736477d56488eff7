// Texture loading: decoded sizes and pixels, the GL upload, and every way a file can fail
// leaving a zero record.
#include "engine/texture.h"

#include <gtest/gtest.h>

#include <fstream>

#include "engine/gl_record.h"
#include "tests/support/png.h"

namespace {

std::string Scratch(const std::string& name) { return TestScratchDir() + "/" + name; }

TEST(TextureTest, APngDecodesToRgbaAndUploadsWithNearestFiltering) {
  cGlRecorder gl;
  const std::string path = WriteTestPng(Scratch("three_by_two.png"), 3, 2, [](int x, int y) {
    return uint32_t(0x10203000u | uint32_t(x * 16 + y));
  });
  DecodedImage image;
  ASSERT_EQ(DecodeImage(path, image), kImageOk);
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.height, 2);
  ASSERT_EQ(image.pixels.size(), 24u);
  EXPECT_EQ(image.pixels[0], 0x10);  // top row first
  EXPECT_EQ(image.pixels[3], 0x00);
  EXPECT_EQ(image.pixels[(1 * 3 + 2) * 4 + 3], 2 * 16 + 1);

  Texture* texture = LoadTexture(path);
  EXPECT_NE(texture->glName, 0u);
  EXPECT_EQ(texture->width, 3u);
  EXPECT_EQ(texture->height, 2u);
  EXPECT_EQ(texture->imageWidth, 3);
  EXPECT_EQ(texture->imageHeight, 2);
  EXPECT_EQ(TextureWidth(texture), 3u);
  EXPECT_EQ(TextureHeight(texture), 2u);
  ASSERT_EQ(gl.uploads.size(), 1u);
  EXPECT_EQ(gl.uploads[0], (std::array<int, 3>{int(texture->glName), 3, 2}));
  EXPECT_EQ(gl.CountCalls("TexParameteri 3553 10241 9728"), 1);  // minifying: nearest
  EXPECT_EQ(gl.CountCalls("TexParameteri 3553 10240 9728"), 1);  // magnifying: nearest

  // Two loads of one file are two records with two names.
  Texture* again = LoadTexture(path);
  EXPECT_NE(again, texture);
  EXPECT_NE(again->glName, texture->glName);
}

TEST(TextureTest, UnusableFilesLeaveAZeroRecordAndNoGLWork) {
  cGlRecorder gl;
  DecodedImage image;
  EXPECT_EQ(DecodeImage("", image), kImageNoName);
  EXPECT_EQ(DecodeImage(Scratch("missing.png"), image), kImageCannotOpen);
  EXPECT_EQ(DecodeImage(Scratch("picture.gif"), image), kImageUnknownExtension);
  EXPECT_EQ(DecodeImage(Scratch("noextension"), image), kImageUnknownExtension);
  EXPECT_EQ(DecodeImage(Scratch("dotted.dir/noextension"), image), kImageUnknownExtension);

  const std::string garbage = Scratch("garbage.png");
  std::ofstream(garbage) << "this is not a picture";
  EXPECT_EQ(DecodeImage(garbage, image), kImageCorrupt);

  for (const std::string& name : {std::string(), Scratch("missing.png"), garbage}) {
    Texture* texture = LoadTexture(name);
    EXPECT_EQ(texture->glName, 0u);
    EXPECT_EQ(texture->width, 0u);
    EXPECT_EQ(texture->height, 0u);
    EXPECT_EQ(texture->imageWidth, 0);
    EXPECT_EQ(texture->imageHeight, 0);
  }
  EXPECT_EQ(gl.CountCalls("GenTextures"), 0);
  EXPECT_EQ(TextureWidth(nullptr), 0u);
}

TEST(TextureTest, ExtensionsAreComparedInLowerCase) {
  cGlRecorder gl;
  const std::string path =
      WriteTestPng(Scratch("SHOUTING.PNG"), 2, 2, [](int, int) { return 0xffffffffu; });
  Texture* texture = LoadTexture(path);
  EXPECT_EQ(texture->width, 2u);
}

TEST(TextureTest, TexturesDecodeWithoutAnyGLContext) {
  UseHeadlessGL();
  const std::string path =
      WriteTestPng(Scratch("headless.png"), 5, 7, [](int, int) { return 0xff0000ffu; });
  Texture* texture = LoadTexture(path);
  EXPECT_NE(texture->glName, 0u);
  EXPECT_EQ(texture->width, 5u);
  EXPECT_EQ(texture->height, 7u);
}

}  // namespace
