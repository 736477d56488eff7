// Parses the pixel-art sources of data/art and rasterises their pictures; the format is
// described at the top of data/art/palette.txt.
#include "tools/art_source.h"

#include <stb_image_write.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

constexpr ArtColour kTransparent = {0, 0, 0, 0};
constexpr char kTransparentChar = '.';
constexpr int kMaxSidePixels = 4096;  // keeps a typo from allocating gigabytes
constexpr int kMaxScaleFactor = 16;

// The canvas text font: 5 x 7 cells, '#' marks ink. Glyphs advance by 6 cells.
constexpr int kGlyphColumns = 5;
constexpr int kGlyphRows = 7;
constexpr int kGlyphAdvanceColumns = 6;
struct Glyph {
  char c;
  const char* rows[kGlyphRows];
};
constexpr Glyph kGlyphs[] = {
    {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"}},
    {'J', {"..###", "...#.", "...#.", "...#.", "#..#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "##..#", "##..#", "#.#.#", "#..##", "#..##", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {".###.", "#....", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."}},
    {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
    {'?', {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".....", "..#.."}},
    {'-', {".....", ".....", ".....", ".###.", ".....", ".....", "....."}},
};

const Glyph* FindGlyph(char c) {
  for (const Glyph& glyph : kGlyphs)
    if (glyph.c == c) return &glyph;
  return nullptr;
}

struct Token {
  std::string text;
  int column;  // 1-based, where the token starts in its line
  bool quoted;
};

// Splits a command line into words and "quoted strings"; '#' outside quotes starts a comment.
// Returns false with the column of an unclosed quote.
bool Tokenise(const std::string& line, std::vector<Token>& tokens, int& badColumn) {
  size_t i = 0;
  while (i < line.size()) {
    if (std::isspace(uint8_t(line[i]))) {
      ++i;
    } else if (line[i] == '#') {
      break;
    } else if (line[i] == '"') {
      const size_t close = line.find('"', i + 1);
      if (close == std::string::npos) {
        badColumn = int(i) + 1;
        return false;
      }
      tokens.push_back({line.substr(i + 1, close - i - 1), int(i) + 1, true});
      i = close + 1;
    } else {
      size_t end = i;
      while (end < line.size() && !std::isspace(uint8_t(line[end]))) ++end;
      tokens.push_back({line.substr(i, end - i), int(i) + 1, false});
      i = end;
    }
  }
  return true;
}

bool IsPaletteChar(char c) {
  return c > ' ' && c < 127 && c != kTransparentChar && c != '#' && c != '"';
}

bool ParseHexColour(const std::string& text, ArtColour& colour) {
  if (text.size() != 6 && text.size() != 8) return false;
  uint8_t bytes[4] = {0, 0, 0, 255};
  for (size_t i = 0; i < text.size(); i += 2) {
    int value = 0;
    for (size_t k = i; k < i + 2; ++k) {
      const char c = char(std::tolower(uint8_t(text[k])));
      if (c >= '0' && c <= '9') {
        value = value * 16 + (c - '0');
      } else if (c >= 'a' && c <= 'f') {
        value = value * 16 + (c - 'a' + 10);
      } else {
        return false;
      }
    }
    bytes[i / 2] = uint8_t(value);
  }
  colour = {bytes[0], bytes[1], bytes[2], bytes[3]};
  return true;
}

}  // namespace

ArtColour ArtImage::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return kTransparent;
  const uint8_t* p = &rgba[(size_t(y) * width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

void ArtImage::Put(int x, int y, ArtColour colour) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  uint8_t* p = &rgba[(size_t(y) * width + x) * 4];
  p[0] = colour.r;
  p[1] = colour.g;
  p[2] = colour.b;
  p[3] = colour.a;
}

// One source file being read: the parser walks its lines and builds into the book.
class cArtParser {
 public:
  cArtParser(cArtBook& book, const std::string& fileName) : book_(book), fileName_(fileName) {}

  bool Run(const std::string& text, std::string& error) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
      ++lineNumber_;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!Line(line)) break;
    }
    if (error_.empty() && mode_ != kTop) {
      lineNumber_ = blockLine_;
      Fail(1, "'" + blockKind_ + "' block is not closed with 'end'");
    }
    error = error_;
    return error_.empty();
  }

 private:
  enum Mode { kTop, kPalette, kGrid, kCanvas };

  bool Fail(int column, const std::string& message) {
    error_ = fileName_ + ":" + std::to_string(lineNumber_) + ":" + std::to_string(column) + ": " +
             message;
    return false;
  }

  static std::string Trim(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
  }

  bool Line(const std::string& line) {
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == '#') return true;
    if (mode_ == kGrid) return GridRow(line, trimmed);
    std::vector<Token> tokens;
    int badColumn = 0;
    if (!Tokenise(line, tokens, badColumn)) return Fail(badColumn, "unclosed quote");
    if (tokens.empty()) return true;
    switch (mode_) {
      case kPalette:
        return PaletteLine(tokens);
      case kCanvas:
        return CanvasLine(tokens);
      default:
        return TopLine(tokens);
    }
  }

  // --- arguments -------------------------------------------------------------------------

  bool Count(const std::vector<Token>& t, size_t least, size_t most, const char* usage) {
    if (t.size() < least || t.size() > most) {
      const int column = t.size() > most ? t[most].column : t.back().column;
      return Fail(column, std::string("expected: ") + usage);
    }
    return true;
  }

  bool Number(const Token& t, int low, int high, int& value) {
    char* end = nullptr;
    const long parsed = std::strtol(t.text.c_str(), &end, 10);
    if (t.quoted || t.text.empty() || *end != '\0')
      return Fail(t.column, "'" + t.text + "' is not a number");
    if (parsed < low || parsed > high)
      return Fail(t.column, "number " + t.text + " is outside " + std::to_string(low) + ".." +
                                std::to_string(high));
    value = int(parsed);
    return true;
  }

  bool Colour(const Token& t, ArtColour& colour) {
    if (t.quoted || t.text.size() != 1) return Fail(t.column, "expected one colour character");
    return ColourOf(t.text[0], t.column, colour);
  }

  bool ColourOf(char c, int column, ArtColour& colour) {
    if (c == kTransparentChar) {
      colour = kTransparent;
      return true;
    }
    const auto found = colours_.find(c);
    if (found == colours_.end())
      return Fail(column, std::string("colour '") + c + "' is not in the palette");
    colour = found->second;
    return true;
  }

  bool Picture(const Token& t, const ArtImage*& image) {
    const auto found = book_.byName_.find(t.text);
    if (found == book_.byName_.end()) return Fail(t.column, "no picture named " + t.text);
    image = &found->second->image;
    return true;
  }

  bool NewName(const Token& t) {
    if (t.quoted || t.text.empty()) return Fail(t.column, "expected a picture name");
    if (book_.byName_.count(t.text)) return Fail(t.column, t.text + " is already defined");
    return true;
  }

  bool PaletteEntry(const Token& key, const Token& value, std::map<char, ArtColour>& into) {
    if (key.text.size() != 1 || !IsPaletteChar(key.text[0]))
      return Fail(key.column,
                  "'" + key.text + "' cannot name a colour (one character; not . # \")");
    ArtColour colour{};
    if (!ParseHexColour(value.text, colour))
      return Fail(value.column, "'" + value.text + "' is not RRGGBB or RRGGBBAA");
    into[key.text[0]] = colour;
    return true;
  }

  // --- blocks --------------------------------------------------------------------------------

  bool Open(Mode mode, const std::string& kind) {
    mode_ = mode;
    blockKind_ = kind;
    blockLine_ = lineNumber_;
    return true;
  }

  bool TopLine(const std::vector<Token>& t) {
    const std::string& word = t[0].text;
    if (word == "palette") {
      if (!Count(t, 2, 2, "palette NAME")) return false;
      if (book_.palettes_.count(t[1].text))
        return Fail(t[1].column, "palette " + t[1].text + " is already defined");
      paletteName_ = t[1].text;
      book_.palettes_[paletteName_];
      return Open(kPalette, "palette");
    }
    if (word == "use") {
      if (!Count(t, 2, 2, "use PALETTE")) return false;
      const auto found = book_.palettes_.find(t[1].text);
      if (found == book_.palettes_.end()) return Fail(t[1].column, "no palette named " + t[1].text);
      colours_ = found->second;
      return true;
    }
    if (word == "colour") {
      if (!Count(t, 3, 3, "colour CHAR RRGGBB[AA]")) return false;
      return PaletteEntry(t[1], t[2], colours_);
    }
    if (word == "picture") {
      int w = 0, h = 0, scale = 1;
      if (!Count(t, 4, 6, "picture NAME WIDTH HEIGHT [scale N]") || !NewName(t[1]) ||
          !Number(t[2], 1, kMaxSidePixels, w) || !Number(t[3], 1, kMaxSidePixels, h))
        return false;
      if (t.size() > 4) {
        if (t[4].text != "scale" || t.size() != 6) return Fail(t[4].column, "expected: scale N");
        if (!Number(t[5], 1, kMaxScaleFactor, scale)) return false;
        if (std::max(w, h) * scale > kMaxSidePixels)
          return Fail(t[5].column, "scaled picture is larger than " +
                                       std::to_string(kMaxSidePixels) + " pixels");
      }
      Begin(t[1].text, w * scale, h * scale);
      gridWidth_ = w;
      gridHeight_ = h;
      gridScale_ = scale;
      gridRows_ = 0;
      return Open(kGrid, "picture");
    }
    if (word == "canvas") {
      int w = 0, h = 0;
      if (!Count(t, 4, 5, "canvas NAME WIDTH HEIGHT [BACKGROUND]") || !NewName(t[1]) ||
          !Number(t[2], 1, kMaxSidePixels, w) || !Number(t[3], 1, kMaxSidePixels, h))
        return false;
      ArtColour background = kTransparent;
      if (t.size() == 5 && !Colour(t[4], background)) return false;
      Begin(t[1].text, w, h);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) current_->image.Put(x, y, background);
      return Open(kCanvas, "canvas");
    }
    if (word == "end") return Fail(t[0].column, "'end' without a block");
    return Fail(t[0].column, "unknown command '" + word + "'");
  }

  void Begin(const std::string& name, int w, int h) {
    auto picture = std::make_unique<ArtPicture>();
    picture->name = name;
    picture->image = ArtImage(w, h);
    current_ = picture.get();
    book_.pictures_.push_back(std::move(picture));
  }

  // The picture is usable by name only once it is complete, so it cannot stamp itself.
  bool Close() {
    if (current_) book_.byName_[current_->name] = current_;
    current_ = nullptr;
    mode_ = kTop;
    return true;
  }

  bool PaletteLine(const std::vector<Token>& t) {
    if (t[0].text == "end" && t.size() == 1) {
      mode_ = kTop;
      return true;
    }
    if (!Count(t, 2, 2, "CHAR RRGGBB[AA] or end")) return false;
    return PaletteEntry(t[0], t[1], book_.palettes_[paletteName_]);
  }

  bool GridRow(const std::string& line, const std::string& trimmed) {
    const int indent = int(line.find_first_not_of(" \t"));
    if (trimmed == "end") {
      if (gridRows_ != gridHeight_)
        return Fail(indent + 1, "picture has " + std::to_string(gridRows_) + " rows, expected " +
                                    std::to_string(gridHeight_));
      return Close();
    }
    if (gridRows_ == gridHeight_)
      return Fail(indent + 1,
                  "more than " + std::to_string(gridHeight_) + " rows (missing 'end'?)");
    for (int x = 0; x < int(trimmed.size()); ++x) {
      const int column = indent + x + 1;
      if (x >= gridWidth_)
        return Fail(column, "row is longer than " + std::to_string(gridWidth_) + " pixels");
      ArtColour colour{};
      if (!ColourOf(trimmed[x], column, colour)) return false;
      for (int dy = 0; dy < gridScale_; ++dy)
        for (int dx = 0; dx < gridScale_; ++dx)
          current_->image.Put(x * gridScale_ + dx, gridRows_ * gridScale_ + dy, colour);
    }
    if (int(trimmed.size()) < gridWidth_)
      return Fail(indent + int(trimmed.size()) + 1, "row has " + std::to_string(trimmed.size()) +
                                                        " pixels, expected " +
                                                        std::to_string(gridWidth_));
    ++gridRows_;
    return true;
  }

  // --- canvas drawing ---------------------------------------------------------------------

  struct Area {
    int x, y, w, h;
  };

  bool AreaAt(const std::vector<Token>& t, size_t first, Area& a) {
    return Number(t[first], -kMaxSidePixels, kMaxSidePixels, a.x) &&
           Number(t[first + 1], -kMaxSidePixels, kMaxSidePixels, a.y) &&
           Number(t[first + 2], 0, kMaxSidePixels, a.w) &&
           Number(t[first + 3], 0, kMaxSidePixels, a.h);
  }

  bool CanvasLine(const std::vector<Token>& t) {
    ArtImage& image = current_->image;
    const std::string& word = t[0].text;
    if (word == "end" && t.size() == 1) return Close();
    if (word == "fill") {
      ArtColour c{};
      Area a{};
      if (!Count(t, 6, 6, "fill C X Y W H") || !Colour(t[1], c) || !AreaAt(t, 2, a)) return false;
      for (int y = a.y; y < a.y + a.h; ++y)
        for (int x = a.x; x < a.x + a.w; ++x) image.Put(x, y, c);
      return true;
    }
    if (word == "gradient") {
      ArtColour top{}, bottom{};
      Area a{};
      int steps = 0;
      if (!Count(t, 7, 8, "gradient C1 C2 X Y W H [STEPS]") || !Colour(t[1], top) ||
          !Colour(t[2], bottom) || !AreaAt(t, 3, a))
        return false;
      if (t.size() == 8 && !Number(t[7], 2, kMaxSidePixels, steps)) return false;
      if (steps == 0) steps = std::max(a.h, 2);
      for (int y = 0; y < a.h; ++y) {
        // Banded rather than smooth: each band is one flat colour, as pixel art wants.
        const int band = a.h > 1 ? y * steps / a.h : 0;
        const float f = float(band) / float(steps - 1);
        auto mix = [f](uint8_t p, uint8_t q) { return uint8_t(std::lround(p + (q - p) * f)); };
        const ArtColour c = {mix(top.r, bottom.r), mix(top.g, bottom.g), mix(top.b, bottom.b),
                             mix(top.a, bottom.a)};
        for (int x = a.x; x < a.x + a.w; ++x) image.Put(x, a.y + y, c);
      }
      return true;
    }
    if (word == "ellipse") {
      ArtColour c{};
      Area a{};
      if (!Count(t, 6, 6, "ellipse C X Y W H") || !Colour(t[1], c) || !AreaAt(t, 2, a))
        return false;
      const float rx = a.w / 2.0f, ry = a.h / 2.0f;
      for (int y = 0; y < a.h; ++y)
        for (int x = 0; x < a.w; ++x) {
          const float dx = (x + 0.5f - rx) / rx, dy = (y + 0.5f - ry) / ry;
          if (dx * dx + dy * dy <= 1.0f) image.Put(a.x + x, a.y + y, c);
        }
      return true;
    }
    if (word == "recolour") {
      ArtColour from{}, to{};
      Area a{};
      if (!Count(t, 7, 7, "recolour C1 C2 X Y W H") || !Colour(t[1], from) || !Colour(t[2], to) ||
          !AreaAt(t, 3, a))
        return false;
      for (int y = a.y; y < a.y + a.h; ++y)
        for (int x = a.x; x < a.x + a.w; ++x)
          if (x >= 0 && y >= 0 && x < image.width && y < image.height && image.At(x, y) == from)
            image.Put(x, y, to);
      return true;
    }
    if (word == "dots") {
      ArtColour c{};
      if (t.size() < 4 || t.size() % 2 != 0)
        return Fail(t.back().column, "expected: dots C X Y [X Y]...");
      if (!Colour(t[1], c)) return false;
      for (size_t i = 2; i < t.size(); i += 2) {
        int x = 0, y = 0;
        if (!Number(t[i], 0, kMaxSidePixels, x) || !Number(t[i + 1], 0, kMaxSidePixels, y))
          return false;
        image.Put(x, y, c);
      }
      return true;
    }
    if (word == "text") return Text(t);
    if (word == "stamp") return Stamp(t);
    if (word == "tile") {
      const ArtImage* source = nullptr;
      Area a{};
      if (!Count(t, 6, 6, "tile PICTURE X Y W H") || !Picture(t[1], source) || !AreaAt(t, 2, a))
        return false;
      for (int y = 0; y < a.h; ++y)
        for (int x = 0; x < a.w; ++x) {
          const ArtColour c = source->At(x % source->width, y % source->height);
          if (c.a) image.Put(a.x + x, a.y + y, c);
        }
      return true;
    }
    return Fail(t[0].column, "unknown drawing command '" + word + "'");
  }

  bool Text(const std::vector<Token>& t) {
    ArtColour ink{}, border = kTransparent;
    int x0 = 0, y0 = 0, scale = 1, borderWidth = 0;
    if (!Count(t, 6, 9, "text C X Y SCALE \"TEXT\" [border C WIDTH]") || !Colour(t[1], ink) ||
        !Number(t[2], -kMaxSidePixels, kMaxSidePixels, x0) ||
        !Number(t[3], -kMaxSidePixels, kMaxSidePixels, y0) ||
        !Number(t[4], 1, kMaxScaleFactor, scale))
      return false;
    if (!t[5].quoted) return Fail(t[5].column, "expected the text in double quotes");
    if (t.size() > 6) {
      if (t[6].text != "border" || t.size() != 9)
        return Fail(t[6].column, "expected: border C WIDTH");
      if (!Colour(t[7], border) || !Number(t[8], 1, kMaxScaleFactor, borderWidth)) return false;
    }
    const std::string& text = t[5].text;
    for (size_t i = 0; i < text.size(); ++i)
      if (!FindGlyph(text[i]))
        return Fail(t[5].column + 1 + int(i), std::string("the font has no '") + text[i] + "'");
    // The border goes down first so the ink of neighbouring letters stays on top of it.
    for (int pass = borderWidth > 0 ? 0 : 1; pass < 2; ++pass) {
      const int grow = pass == 0 ? borderWidth : 0;
      for (size_t i = 0; i < text.size(); ++i) {
        const Glyph* glyph = FindGlyph(text[i]);
        const int left = x0 + int(i) * kGlyphAdvanceColumns * scale;
        for (int gy = 0; gy < kGlyphRows; ++gy)
          for (int gx = 0; gx < kGlyphColumns; ++gx) {
            if (glyph->rows[gy][gx] != '#') continue;
            for (int y = -grow; y < scale + grow; ++y)
              for (int x = -grow; x < scale + grow; ++x)
                current_->image.Put(left + gx * scale + x, y0 + gy * scale + y,
                                    pass == 0 ? border : ink);
          }
      }
    }
    return true;
  }

  bool Stamp(const std::vector<Token>& t) {
    const ArtImage* source = nullptr;
    int x0 = 0, y0 = 0, scale = 1;
    bool flipX = false, flipY = false;
    if (!Count(t, 4, 8, "stamp PICTURE X Y [scale N] [flipx] [flipy]") || !Picture(t[1], source) ||
        !Number(t[2], -kMaxSidePixels, kMaxSidePixels, x0) ||
        !Number(t[3], -kMaxSidePixels, kMaxSidePixels, y0))
      return false;
    for (size_t i = 4; i < t.size(); ++i) {
      if (t[i].text == "flipx") {
        flipX = true;
      } else if (t[i].text == "flipy") {
        flipY = true;
      } else if (t[i].text == "scale" && i + 1 < t.size()) {
        if (!Number(t[++i], 1, kMaxScaleFactor, scale)) return false;
      } else {
        return Fail(t[i].column, "expected scale N, flipx or flipy");
      }
    }
    for (int y = 0; y < source->height * scale; ++y)
      for (int x = 0; x < source->width * scale; ++x) {
        const int sx = flipX ? source->width - 1 - x / scale : x / scale;
        const int sy = flipY ? source->height - 1 - y / scale : y / scale;
        const ArtColour c = source->At(sx, sy);
        if (c.a) current_->image.Put(x0 + x, y0 + y, c);
      }
    return true;
  }

  cArtBook& book_;
  std::string fileName_;
  std::string error_;
  int lineNumber_ = 0;
  Mode mode_ = kTop;
  std::string blockKind_;
  int blockLine_ = 0;
  std::string paletteName_;
  std::map<char, ArtColour> colours_;  // this file's palette
  ArtPicture* current_ = nullptr;
  int gridWidth_ = 0, gridHeight_ = 0, gridScale_ = 1, gridRows_ = 0;
};

bool cArtBook::Parse(const std::string& fileName, const std::string& text, std::string& error) {
  cArtParser parser(*this, fileName);
  if (parser.Run(text, error)) return true;
  // Drop a half-made picture so the book stays as it was before this source.
  pictures_.erase(std::remove_if(pictures_.begin(), pictures_.end(),
                                 [this](const std::unique_ptr<ArtPicture>& p) {
                                   return !byName_.count(p->name) || byName_.at(p->name) != p.get();
                                 }),
                  pictures_.end());
  return false;
}

bool cArtBook::ParseFile(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot be read";
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return Parse(path, text.str(), error);
}

const ArtImage* cArtBook::Find(const std::string& name) const {
  const auto found = byName_.find(name);
  return found == byName_.end() ? nullptr : &found->second->image;
}

std::vector<const ArtPicture*> cArtBook::Outputs() const {
  std::vector<const ArtPicture*> outputs;
  for (const auto& picture : pictures_) {
    const std::string& name = picture->name;
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0)
      outputs.push_back(picture.get());
  }
  return outputs;
}

bool WriteArtBook(const cArtBook& book, const std::string& directory, std::string& error) {
  for (const ArtPicture* picture : book.Outputs()) {
    const std::string path = directory + "/" + picture->name;
    const ArtImage& image = picture->image;
    if (!stbi_write_png(path.c_str(), image.width, image.height, 4, image.rgba.data(),
                        image.width * 4)) {
      error = path + ": cannot be written";
      return false;
    }
  }
  return true;
}
