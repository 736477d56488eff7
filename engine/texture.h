// Images loaded once by file name into GL textures; the record keeps the sizes for drawing.
// Pictures larger than 4096 x 4096 are refused before they are decoded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Texture {
  uint32_t glName;  // 0 when loading failed
  uint32_t width;
  uint32_t height;
  int32_t imageWidth;
  int32_t imageHeight;
};

// Result codes of DecodeImage.
enum ImageResult : int {
  kImageOk = 0,
  kImageNoName = 1,
  kImageCannotOpen = 2,
  kImageOutOfMemory = 3,
  kImageUnknownExtension = 4,
  kImageCorrupt = 5,
  kImageUnreadable = 6,  // not a regular file, or a file far too large for any picture
  kImageTooLarge = 7,    // wider or taller than kMaxPictureSide
};

constexpr int kMaxPictureSide = 4096;  // px
// Room for a 4096 x 4096 picture stored without compression, with its headers.
constexpr size_t kMaxPictureFileBytes = size_t(kMaxPictureSide) * kMaxPictureSide * 4 + (1 << 20);

struct DecodedImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // 8-bit RGBA rows, top row first
};

// Decodes a .png, .bmp or .tga file (extension compared in lower case) into RGBA. A picture
// refused as too large keeps its declared size in `image` and no pixels.
int DecodeImage(const std::string& path, DecodedImage& image);

// Always returns a record: filled, or all zero when the file could not be used. Every name is
// decoded once; asking again returns the same record. A file that is there but unusable is
// refused with one line on stderr; a missing one silently.
Texture* LoadTexture(const std::string& name);

uint32_t TextureWidth(const Texture* texture);
uint32_t TextureHeight(const Texture* texture);
