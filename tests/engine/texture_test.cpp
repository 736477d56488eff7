// Texture loading: decoded sizes and pixels, the GL upload once a file, the size limit with
// the memory it spares, and every way a file can fail leaving a zero record.
#include "engine/texture.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
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
  ASSERT_EQ(gl.uploads.size(), 1u);
  EXPECT_EQ(gl.uploads[0], (std::array<int, 3>{int(texture->glName), 3, 2}));
  EXPECT_EQ(gl.CountCalls("TexParameteri 3553 10241 9728"), 1);  // minifying: nearest
  EXPECT_EQ(gl.CountCalls("TexParameteri 3553 10240 9728"), 1);  // magnifying: nearest

  // A file is decoded and uploaded once; asking again shares its record.
  EXPECT_EQ(LoadTexture(path), texture);
  EXPECT_EQ(gl.uploads.size(), 1u);

  // Extensions are compared in lower case; pictures decode without any GL context too.
  UseHeadlessGL();
  texture = LoadTexture(WriteTestPng(Scratch("SHOUTING.PNG"), 5, 7, [](int, int) { return ~0u; }));
  EXPECT_NE(texture->glName, 0u);
  EXPECT_EQ(texture->width, 5u);
  EXPECT_EQ(texture->height, 7u);
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

  testing::internal::CaptureStderr();
  for (const std::string& name : {std::string(), Scratch("missing.png"), garbage}) {
    const Texture* t = LoadTexture(name);
    EXPECT_TRUE(!t->glName && !t->width && !t->height && !t->imageWidth && !t->imageHeight) << name;
  }
  // Only the file that is there but unusable is worth a line.
  EXPECT_EQ(testing::internal::GetCapturedStderr(), garbage + ": not a picture that can be read\n");
  EXPECT_EQ(gl.CountCalls("GenTextures"), 0);
  EXPECT_EQ(TextureWidth(nullptr), 0u);
}

// Peak resident memory of this process so far, in bytes.
size_t PeakResidentBytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return size_t(usage.ru_maxrss) * 1024;
}

TEST(TextureTest, PicturesLargerThan4096SquareAreRefusedBeforeDecoding) {
  cGlRecorder gl;
  // A small file that decodes to 4097 x 4097: 64 MB of pixels, more counting the copies.
  const std::string huge = WriteBlankPng(Scratch("huge.png"), 4097, 4097);
  const size_t peakBefore = PeakResidentBytes();
  testing::internal::CaptureStderr();
  Texture* texture = LoadTexture(huge);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            huge + ": the picture is 4097 x 4097 pixels, larger than 4096 x 4096 pixels\n");
  EXPECT_LT(PeakResidentBytes() - peakBefore, size_t(16) << 20);
  EXPECT_EQ(texture->glName, 0u);
  EXPECT_EQ(texture->width, 0u);
  EXPECT_EQ(gl.CountCalls("GenTextures"), 0);
  // Asked again (tile.png is three block codes), it is neither read nor reported again.
  testing::internal::CaptureStderr();
  EXPECT_EQ(LoadTexture(huge), texture);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

  DecodedImage image;
  EXPECT_EQ(DecodeImage(huge, image), kImageTooLarge);
  EXPECT_EQ(image.width, 4097);
  EXPECT_TRUE(image.pixels.empty());
  // The limit is on each side: a long strip is refused, one at the limit is drawn.
  const auto white = [](int, int) { return 0xffffffffu; };
  EXPECT_EQ(DecodeImage(WriteTestPng(Scratch("wide.png"), 4097, 1, white), image), kImageTooLarge);
  EXPECT_EQ(DecodeImage(WriteTestPng(Scratch("tall.png"), 1, 4097, white), image), kImageTooLarge);
  ASSERT_EQ(DecodeImage(WriteTestPng(Scratch("edge.png"), 4096, 2, white), image), kImageOk);
  EXPECT_EQ(image.pixels.size(), 4096u * 2 * 4);
}

TEST(TextureTest, FoldersAndFifosNamedLikePicturesAreRefusedWithOneLine) {
  const std::string dir = Scratch("folder.png");
  std::filesystem::create_directories(dir);
  const std::string fifo = Scratch("fifo.png");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {dir, fifo}) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(LoadTexture(path)->glName, 0u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              path + ": not a regular file, or far too large for a picture\n");
  }
}

}  // namespace
