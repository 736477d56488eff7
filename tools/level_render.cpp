// Level pictures: each cell drawn like the game's map pass draws it (coin, ground, decoration,
// block, then the texts), scaled down from 32 px cells by averaging, with markers on top.
#include "tools/level_render.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

#include "engine/texture.h"
#include "world/level_pictures.h"
#include "world/level_text.h"

namespace {

using namespace level_pictures;

constexpr int kWorldCellPixels = 32;
constexpr int kGlyphPixels = 16;        // font.png cells, and the advance of a level text
constexpr int kFirstGlyph = 32;         // font.png starts at the space
constexpr int kLastRow = kMapRows - 1;  // falling into it kills

constexpr Colour kSky = {107, 140, 255, 255};
// Behind cells: the sky, a cave, a castle, in the order of the backdrop kinds.
constexpr Colour kBackdropColours[kBackdropKinds] = {kSky, {48, 36, 40, 255}, {40, 40, 64, 255}};
constexpr Colour kGoalColour = {255, 215, 0, 255};
constexpr Colour kCheckpointPoleColour = {226, 228, 238, 255};
constexpr Colour kCheckpointFlagColour = {224, 57, 62, 255};
constexpr Colour kStripGap = {24, 20, 40, 255};
constexpr Colour kDeathRowTint = {160, 0, 0, 70};
constexpr Colour kNoPictureSolid = {90, 90, 90, 140};  // solid, but the game draws nothing

// Trigger markers by kind; links to triggers that do not exist get the last colour.
constexpr Colour kKindColours[] = {
    {255, 140, 0, 255},    // strike
    {230, 30, 30, 255},    // spawn
    {200, 60, 255, 255},   // teleport
    {0, 230, 0, 255},      // start
    {160, 160, 160, 255},  // none
    {255, 240, 0, 255},    // message
};
static_assert(std::size(kKindColours) == kTriggerKinds);
constexpr Colour kUnknownKindColour = {255, 255, 255, 255};
constexpr Colour kStartColour = {0, 230, 0, 255};

struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;
};

class PictureCache {
 public:
  PictureCache(std::string dir, std::vector<std::string>* missing)
      : mDir(std::move(dir)), mMissing(missing) {}

  const Picture* Get(const char* name) {
    if (!name) return nullptr;
    auto [it, added] = mPictures.emplace(name, nullptr);
    if (added) {
      DecodedImage image;
      if (DecodeImage(mDir + "/" + name, image) == kImageOk) {
        it->second = std::make_unique<Picture>();
        it->second->width = image.width;
        it->second->height = image.height;
        it->second->rgba = std::move(image.pixels);
      } else if (mMissing) {
        mMissing->push_back(name);
      }
    }
    return it->second.get();
  }

 private:
  std::string mDir;
  std::vector<std::string>* mMissing;
  std::map<std::string, std::unique_ptr<Picture>> mPictures;
};

class Canvas {
 public:
  explicit Canvas(RgbaImage& image) : mImage(image) {}

  void Blend(int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= mImage.width || y >= mImage.height || c.a == 0) return;
    uint8_t* p = &mImage.pixels[(size_t(y) * mImage.width + x) * 4];
    const int a = c.a;
    p[0] = uint8_t((c.r * a + p[0] * (255 - a)) / 255);
    p[1] = uint8_t((c.g * a + p[1] * (255 - a)) / 255);
    p[2] = uint8_t((c.b * a + p[2] * (255 - a)) / 255);
    p[3] = 255;
  }

  void Fill(int x, int y, int w, int h, Colour c) {
    for (int dy = 0; dy < h; ++dy)
      for (int dx = 0; dx < w; ++dx) Blend(x + dx, y + dy, c);
  }

  void Frame(int x, int y, int w, int h, int thickness, Colour c) {
    Fill(x, y, w, thickness, c);
    Fill(x, y + h - thickness, w, thickness, c);
    Fill(x, y + thickness, thickness, h - 2 * thickness, c);
    Fill(x + w - thickness, y + thickness, thickness, h - 2 * thickness, c);
  }

  // Draws a part of a picture into a rectangle, each target pixel the average of the source
  // pixels it covers, so a 32 px cell shrunk to 8 px keeps its colours.
  void Blit(const Picture& picture, int sx, int sy, int sw, int sh, int x, int y, int w, int h) {
    if (sx < 0 || sy < 0) return;  // e.g. a glyph before the font's first character
    sw = std::min(sw, picture.width - sx);
    sh = std::min(sh, picture.height - sy);
    if (sw <= 0 || sh <= 0 || w <= 0 || h <= 0) return;
    for (int dy = 0; dy < h; ++dy) {
      const int y0 = sy + dy * sh / h;
      const int y1 = std::max(y0 + 1, sy + (dy + 1) * sh / h);
      for (int dx = 0; dx < w; ++dx) {
        const int x0 = sx + dx * sw / w;
        const int x1 = std::max(x0 + 1, sx + (dx + 1) * sw / w);
        uint32_t r = 0, g = 0, b = 0, a = 0, n = 0;
        for (int py = y0; py < y1; ++py)
          for (int px = x0; px < x1; ++px) {
            const uint8_t* p = &picture.rgba[(size_t(py) * picture.width + px) * 4];
            r += p[0] * p[3];
            g += p[1] * p[3];
            b += p[2] * p[3];
            a += p[3];
            ++n;
          }
        if (a == 0) continue;
        Blend(x + dx, y + dy,
              Colour{uint8_t(r / a), uint8_t(g / a), uint8_t(b / a), uint8_t(a / n)});
      }
    }
  }

 private:
  RgbaImage& mImage;
};

class Renderer {
 public:
  Renderer(const LevelData& level, const RenderOptions& options, std::vector<std::string>* missing)
      : mLevel(level),
        mScale(std::max(1, options.cellPixels)),
        mStripColumns(std::max(1, options.stripColumns)),
        mPictures(options.dataDir, missing),
        mCanvas(mImage) {}

  RgbaImage Run();

 private:
  int32_t At(int layer, int column, int row) const {
    const size_t index = size_t(CellIndex(column, row));
    return index < mLevel.layers[layer].size() ? mLevel.layers[layer][index] : ResetValue(layer);
  }
  // Top-left picture pixel of a cell; strips of mStripColumns are stacked with a gap row.
  int CellX(int column) const { return column % mStripColumns * mScale; }
  int CellY(int column, int row) const {
    return (column / mStripColumns * (kMapRows + 1) + row) * mScale;
  }
  void DrawPicture(const PictureRef& ref, int column, int row, int inset = 0);
  void DrawCell(int column, int row);
  void DrawText(int column, int row, const std::string& text);
  void DrawMarkers();

  const LevelData& mLevel;
  int mScale;
  int mStripColumns;
  int mColumns = 1;
  PictureCache mPictures;
  RgbaImage mImage;
  Canvas mCanvas;
};

void Renderer::DrawPicture(const PictureRef& ref, int column, int row, int inset) {
  const int x = CellX(column) + inset, y = CellY(column, row) + inset;
  const int size = mScale - 2 * inset;
  if (const Picture* picture = mPictures.Get(ref.name))
    mCanvas.Blit(*picture, 0, 0, picture->width, picture->height, x, y, size, size);
  else
    mCanvas.Fill(x, y, size, size, ref.fallback);
}

void Renderer::DrawCell(int column, int row) {
  const int32_t ground = At(kFileGround, column, row);
  const auto groundPicture = [&](int32_t value) -> const PictureRef* {
    return value >= 1 && value <= int32_t(std::size(kGroundPictures)) ? &kGroundPictures[value - 1]
                                                                      : nullptr;
  };
  if (At(kFileCoin, column, row) != 0) DrawPicture(kCoinPicture, column, row);
  if (ground != 0) {
    if (const PictureRef* picture = groundPicture(ground))
      DrawPicture(*picture, column, row);
    else
      mCanvas.Fill(CellX(column), CellY(column, row), mScale, mScale, kNoPictureSolid);
  }
  const int32_t deco = At(kFileDeco, column, row);
  if (deco >= 1 && deco <= int32_t(std::size(kDecoPictures)))
    DrawPicture(kDecoPictures[deco - 1], column, row);
  const int32_t block = At(kFileBlock, column, row);
  if (block == 0) return;
  if (block == kBlockCracked) {
    // A cracked platform shows the cell's ground; on bare air the game gives it one within a
    // second, so the first ground picture stands in.
    const PictureRef* picture = groundPicture(ground);
    DrawPicture(picture ? *picture : kGroundPictures[0], column, row);
    return;
  }
  for (const BlockPicture& entry : kBlockPictures)
    if (entry.code == block) {
      DrawPicture(entry.picture, column, row);
      return;
    }
  mCanvas.Fill(CellX(column), CellY(column, row), mScale, mScale, kNoPictureSolid);
}

void Renderer::DrawText(int column, int row, const std::string& text) {
  const Picture* font = mPictures.Get(kFontPicture.name);
  const double perWorldPixel = double(mScale) / kWorldCellPixels;
  const int glyph = std::max(1, int(std::lround(kGlyphPixels * perWorldPixel)));
  const int x = CellX(column), y = CellY(column, row);
  for (size_t i = 0; i < text.size(); ++i) {
    const int gx = x + int(std::lround(double(i) * kGlyphPixels * perWorldPixel));
    if (gx >= mImage.width) break;
    const int code = static_cast<unsigned char>(text[i]);
    if (font)
      mCanvas.Blit(*font, (code - kFirstGlyph) * kGlyphPixels, 0, kGlyphPixels, kGlyphPixels, gx, y,
                   glyph, glyph);
    else if (code != ' ')
      mCanvas.Fill(gx, y, glyph, glyph, kFontPicture.fallback);
  }
}

void Renderer::DrawMarkers() {
  const int thickness = std::max(1, mScale / 8);
  std::vector<bool> linked(mLevel.triggers.size(), false);
  for (int column = 0; column < mColumns; ++column)
    for (int row = 0; row < kMapRows; ++row) {
      const int32_t unit = At(kFileUnit, column, row);
      if (unit > 0 && unit <= kUnitTypeCodes)
        DrawPicture(kUnitPictures[unit - 1], column, row, thickness);
      else if (unit > 0)
        mCanvas.Frame(CellX(column), CellY(column, row), mScale, mScale, thickness,
                      kUnknownKindColour);

      const int32_t link = At(kFileTrigger, column, row);
      if (link < 0) continue;
      const size_t index = size_t(link & kLinkIndexMask);
      Colour colour = kUnknownKindColour;
      if (index < mLevel.triggers.size()) {
        linked[index] = true;
        const int32_t kind = mLevel.triggers[index].kind;
        if (kind >= 0 && kind < int32_t(std::size(kKindColours))) colour = kKindColours[kind];
      }
      mCanvas.Frame(CellX(column), CellY(column, row), mScale, mScale, thickness, colour);
    }

  // What linked triggers act on: the cells they strike or fill, where they teleport to.
  for (size_t i = 0; i < mLevel.triggers.size(); ++i) {
    if (!linked[i]) continue;
    const LevelTrigger& t = mLevel.triggers[i];
    const Colour colour = kKindColours[std::clamp(t.kind, 0, int32_t(kTriggerNothing))];
    const bool rectangle = t.kind == kTriggerStrike || t.kind == kTriggerSpawn;
    const int c0 = std::clamp(t.column0, 0, mColumns - 1), r0 = std::clamp(t.row0, 0, kLastRow);
    const int c1 = rectangle ? std::clamp(t.column1, 0, mColumns - 1) : c0;
    const int r1 = rectangle ? std::clamp(t.row1, 0, kLastRow) : r0;
    if (!rectangle && t.kind != kTriggerTeleport) continue;
    for (int column = c0; column <= c1; ++column)
      for (int row = r0; row <= r1; ++row)
        mCanvas.Fill(CellX(column) + mScale / 2 - thickness / 2,
                     CellY(column, row) + mScale / 2 - thickness / 2, thickness, thickness, colour);
  }

  // The goal: a gold frame round its cells, a checker of gold inside.
  if (mLevel.hasGoal) {
    const LevelArea& g = mLevel.goal;
    const int c0 = std::clamp(g.column0, 0, mColumns - 1), r0 = std::clamp(g.row0, 0, kLastRow);
    const int c1 = std::clamp(g.column1, 0, mColumns - 1), r1 = std::clamp(g.row1, 0, kLastRow);
    for (int column = c0; column <= c1; ++column)
      for (int row = r0; row <= r1; ++row) {
        if ((column + row) % 2 == 0)
          mCanvas.Fill(CellX(column) + mScale / 4, CellY(column, row) + mScale / 4, mScale / 2,
                       mScale / 2, kGoalColour);
        const int x = CellX(column), y = CellY(column, row);
        if (row == r0) mCanvas.Fill(x, y, mScale, thickness, kGoalColour);
        if (row == r1) mCanvas.Fill(x, y + mScale - thickness, mScale, thickness, kGoalColour);
        if (column == c0) mCanvas.Fill(x, y, thickness, mScale, kGoalColour);
        if (column == c1) mCanvas.Fill(x + mScale - thickness, y, thickness, mScale, kGoalColour);
      }
  }

  // Checkpoints: a pole two cells high from the ground up, its red flag at the top.
  for (const LevelCell& cell : mLevel.checkpoints) {
    if (cell.column < 0 || cell.column >= mColumns || cell.row < 1 || cell.row > kLastRow) continue;
    const int x = CellX(cell.column) + mScale / 3, y = CellY(cell.column, cell.row - 1);
    mCanvas.Fill(x, y, std::max(1, thickness), 2 * mScale, kCheckpointPoleColour);
    mCanvas.Fill(x + std::max(1, thickness), y, mScale / 2, mScale / 2, kCheckpointFlagColour);
  }

  if (const auto start = StartCell(mLevel); start && start->first < mColumns) {
    const auto [column, row] = *start;
    DrawPicture(kPlayerPicture, column, row, thickness);
    mCanvas.Frame(CellX(column) - thickness, CellY(column, row) - thickness, mScale + 2 * thickness,
                  mScale + 2 * thickness, 2 * thickness, kStartColour);
  }
}

RgbaImage Renderer::Run() {
  mColumns = UsedColumns(mLevel);
  const int strips = (mColumns + mStripColumns - 1) / mStripColumns;
  mImage.width = std::min(mColumns, mStripColumns) * mScale;
  mImage.height = (strips * (kMapRows + 1) - 1) * mScale;
  mImage.pixels.resize(size_t(mImage.width) * mImage.height * 4);
  for (size_t i = 0; i < mImage.pixels.size(); i += 4) {
    mImage.pixels[i] = kStripGap.r;
    mImage.pixels[i + 1] = kStripGap.g;
    mImage.pixels[i + 2] = kStripGap.b;
    mImage.pixels[i + 3] = kStripGap.a;
  }
  for (int strip = 0; strip < strips; ++strip) {
    const int first = strip * mStripColumns;
    const int width = std::min(mStripColumns, mColumns - first) * mScale;
    mCanvas.Fill(0, CellY(first, 0), width, kMapRows * mScale, kSky);
    for (int column = first; column < first + width / mScale; ++column)
      for (int row = 0; row < kMapRows; ++row)
        if (const int32_t kind = BackdropAt(mLevel, column, row); kind != kBackdropSky)
          mCanvas.Fill(CellX(column), CellY(column, row), mScale, mScale, kBackdropColours[kind]);
    mCanvas.Fill(0, CellY(first, kLastRow), width, mScale, kDeathRowTint);
  }
  for (int column = 0; column < mColumns; ++column)
    for (int row = 0; row < kMapRows; ++row) DrawCell(column, row);
  for (int column = 0; column < mColumns; ++column)
    for (int row = 0; row < kMapRows; ++row) {
      const int32_t label = At(kFileLabel, column, row);
      if (label >= 0 && size_t(label) < mLevel.texts.size())
        DrawText(column, row, mLevel.texts[size_t(label)].text);
    }
  DrawMarkers();
  return std::move(mImage);
}

}  // namespace

int UsedColumns(const LevelData& level) {
  int columns = 1;
  for (int layer = 0; layer < kFileLayerCount; ++layer) {
    const std::vector<int32_t>& cells = level.layers[layer];
    for (size_t i = cells.size(); i-- > 0;)
      if (cells[i] != ResetValue(layer)) {
        columns = std::max(columns, int(i / kMapRows) + 1);
        break;
      }
  }
  return columns;
}

RgbaImage RenderLevel(const LevelData& level, const RenderOptions& options,
                      std::vector<std::string>* missingPictures) {
  return Renderer(level, options, missingPictures).Run();
}
