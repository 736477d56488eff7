// The pixel-art source format of data/art: palettes, character-grid pictures and drawn
// canvases, parsed into RGBA images that brinkhop-makeart writes out as the game's PNGs.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct ArtColour {
  uint8_t r, g, b, a;
  bool operator==(const ArtColour&) const = default;
};

struct ArtImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // rows top first, 4 bytes a pixel

  ArtImage() = default;
  ArtImage(int w, int h) : width(w), height(h), rgba(size_t(w) * h * 4, 0) {}
  ArtColour At(int x, int y) const;
  // Pixels outside the image are ignored, so drawings may run over the edges.
  void Put(int x, int y, ArtColour colour);
};

struct ArtPicture {
  std::string name;  // a name ending in ".png" is written out; others are building blocks
  ArtImage image;
};

// Every picture of a set of source files. Palettes and pictures are shared across the files
// of one book, in the order the files are read, so a file may use what an earlier one made.
class cArtBook {
 public:
  // Reads one source. On failure returns false and sets `error` to one
  // "file:line:column: message" line.
  bool Parse(const std::string& fileName, const std::string& text, std::string& error);
  bool ParseFile(const std::string& path, std::string& error);

  const ArtImage* Find(const std::string& name) const;
  // The pictures to be written, in source order.
  std::vector<const ArtPicture*> Outputs() const;

 private:
  friend class cArtParser;
  std::map<std::string, std::map<char, ArtColour>> palettes_;
  std::vector<std::unique_ptr<ArtPicture>> pictures_;
  std::map<std::string, const ArtPicture*> byName_;
};

// Writes every output picture into `directory`; on failure sets `error` and returns false.
bool WriteArtBook(const cArtBook& book, const std::string& directory, std::string& error);
