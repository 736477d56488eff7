// PNG writing for tests.
#include "tests/support/png.h"

#include <stb_image_write.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

std::string WriteTestPng(const std::string& path, int width, int height,
                         const PixelFunction& pixel) {
  std::vector<unsigned char> rgba(size_t(width) * height * 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint32_t p = pixel(x, y);
      unsigned char* out = &rgba[(size_t(y) * width + x) * 4];
      out[0] = uint8_t(p >> 24);
      out[1] = uint8_t(p >> 16);
      out[2] = uint8_t(p >> 8);
      out[3] = uint8_t(p);
    }
  stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4);
  return path;
}

namespace {

// Removed when the test run ends.
struct ScratchDir {
  std::filesystem::path path;
  ScratchDir()
      : path(std::filesystem::temp_directory_path() /
             ("brinkhop-tests-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path);
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

}  // namespace

std::string WriteBlankPng(const std::string& path, int width, int height) {
  const std::vector<unsigned char> black(size_t(width) * size_t(height));
  stbi_write_png(path.c_str(), width, height, 1, black.data(), width);
  return path;
}

std::string TestScratchDir() {
  static const ScratchDir dir;
  return dir.path.string();
}
