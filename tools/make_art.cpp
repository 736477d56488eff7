// brinkhop-makeart OUTPUT-DIR SOURCE...: reads the pixel-art sources of data/art in the order
// given (palettes first) and writes every picture named *.png into OUTPUT-DIR.
#include <cstdio>
#include <string>

#include "tools/art_source.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s OUTPUT-DIR SOURCE...\n", argv[0]);
    return 2;
  }
  cArtBook book;
  std::string error;
  for (int i = 2; i < argc; ++i)
    if (!book.ParseFile(argv[i], error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 1;
    }
  if (!WriteArtBook(book, argv[1], error)) {
    std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
    return 1;
  }
  return 0;
}
