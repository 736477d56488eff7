// PNG writing for tests.
#include "tests/support/png.h"

#include <stb_image_write.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
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

class BitWriter {
 public:
  // A Huffman code, most significant bit first.
  void Code(uint32_t code, int bits) {
    for (int i = bits - 1; i >= 0; --i) Bit((code >> i) & 1);
  }
  void Bit(uint32_t bit) {
    if (mUsed == 0) mBytes.push_back(0);
    mBytes.back() |= uint8_t(bit << mUsed);
    mUsed = (mUsed + 1) % 8;
  }
  std::vector<uint8_t>& Bytes() { return mBytes; }

 private:
  std::vector<uint8_t> mBytes;
  int mUsed = 0;
};

uint32_t Crc32(const uint8_t* data, size_t size) {
  uint32_t crc = 0xffffffffu;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(value >> shift));
}

void PutChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
  PutBigEndian(png, uint32_t(data.size()));
  const size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  PutBigEndian(png, Crc32(png.data() + start, png.size() - start));
}

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
  // Every row is a filter byte and width pixels, all zero: one literal zero, then copies of
  // 258 bytes from one byte back, in a single block of the fixed codes.
  const uint64_t raw = uint64_t(height) * (uint64_t(width) + 1);
  BitWriter bits;
  bits.Bytes() = {0x78, 0x01};  // the zlib header: deflate, 32 KB window
  bits.Bit(1);                  // the final block
  bits.Bit(1);                  // fixed codes: type 1, low bit first
  bits.Bit(0);
  const auto literalZero = [&] { bits.Code(0x30, 8); };
  literalZero();
  uint64_t written = 1;
  for (; written + 258 <= raw; written += 258) {
    bits.Code(0xc5, 8);  // length 258
    bits.Code(0, 5);     // distance 1
  }
  for (; written < raw; ++written) literalZero();
  bits.Code(0, 7);  // end of block
  std::vector<uint8_t> idat = bits.Bytes();
  const uint32_t adler = uint32_t(raw % 65521) << 16 | 1;
  PutBigEndian(idat, adler);

  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  std::vector<uint8_t> header;
  PutBigEndian(header, uint32_t(width));
  PutBigEndian(header, uint32_t(height));
  header.insert(header.end(), {8, 0, 0, 0, 0});  // 8-bit grey, no interlace
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", idat);
  PutChunk(png, "IEND", {});
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
  return path;
}

std::string TestScratchDir() {
  static const ScratchDir dir;
  return dir.path.string();
}
