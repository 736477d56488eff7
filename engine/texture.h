// Images loaded once by file name into GL textures; the record keeps the sizes for drawing.
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
};

struct DecodedImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // 8-bit RGBA rows, top row first
};

// Decodes a .png, .bmp or .tga file (extension compared in lower case) into RGBA.
int DecodeImage(const std::string& path, DecodedImage& image);

// Always returns a record: filled, or all zero when the file could not be used.
Texture* LoadTexture(const std::string& name);

uint32_t TextureWidth(const Texture* texture);
uint32_t TextureHeight(const Texture* texture);
