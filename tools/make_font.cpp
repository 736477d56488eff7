// Draws the game's bitmap font, font.png: one row of 16 x 16 cells from the space to '~',
// white strokes with a dark outline so text reads over the sky and over the level.
#include <stb_easy_font.h>
#include <stb_image_write.h>

#include <cstdio>
#include <vector>

namespace {

constexpr int kCell = 16;        // pixels
constexpr int kFirst = 32;       // the space
constexpr int kLast = 126;       // '~'
constexpr int kStrokeScale = 2;  // stroke pixels per font unit
constexpr int kMargin = 1;       // room for the outline
constexpr unsigned char kInk[4] = {255, 255, 255, 255};
constexpr unsigned char kOutline[4] = {24, 20, 40, 255};

struct Image {
  int width, height;
  std::vector<unsigned char> rgba;
  unsigned char* At(int x, int y) { return &rgba[(size_t(y) * width + x) * 4]; }
};

// Marks the glyph of one character in a cell-sized coverage mask.
void Rasterise(char c, bool mask[kCell][kCell]) {
  char text[2] = {c, 0};
  static char vertices[4096];
  const int quads = stb_easy_font_print(0, 0, text, nullptr, vertices, sizeof vertices);
  const auto* v = reinterpret_cast<const float*>(vertices);
  for (int q = 0; q < quads; ++q) {
    // Each vertex is x, y, z and a packed colour: four floats' worth.
    const float* corner = v + q * 16;
    const int x0 = int(corner[0]) * kStrokeScale + kMargin;
    const int y0 = int(corner[1]) * kStrokeScale + kMargin;
    const int x1 = int(corner[8]) * kStrokeScale + kMargin;
    const int y1 = int(corner[9]) * kStrokeScale + kMargin;
    for (int y = y0; y < y1 && y < kCell; ++y)
      for (int x = x0; x < x1 && x < kCell; ++x) mask[y][x] = true;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
    return 2;
  }
  Image font{(kLast - kFirst + 1) * kCell, kCell, {}};
  font.rgba.assign(size_t(font.width) * font.height * 4, 0);
  for (int c = kFirst; c <= kLast; ++c) {
    bool mask[kCell][kCell] = {};
    Rasterise(char(c), mask);
    const int left = (c - kFirst) * kCell;
    for (int y = 0; y < kCell; ++y)
      for (int x = 0; x < kCell; ++x) {
        bool nearInk = false;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx, ny = y + dy;
            if (nx >= 0 && ny >= 0 && nx < kCell && ny < kCell && mask[ny][nx]) nearInk = true;
          }
        const unsigned char* colour = mask[y][x] ? kInk : nearInk ? kOutline : nullptr;
        if (colour)
          for (int i = 0; i < 4; ++i) font.At(left + x, y)[i] = colour[i];
      }
  }
  if (!stbi_write_png(argv[1], font.width, font.height, 4, font.rgba.data(), font.width * 4)) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
    return 1;
  }
  return 0;
}
