// stb_image's implementation for the browser build, where no system library provides it. Only
// the formats the game reads are compiled in.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#include <stb_image.h>
