// Texture loading through stb_image; failures leave a zero record and say nothing.
#include "engine/texture.h"

#include <stb_image.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>

#include "engine/gl_api.h"

namespace {

// Files are named relative to the working directory.
const char* const kResourcePrefix = "";

// Textures live until the process ends. They are held here so that a record is never lost
// when the object that loaded it goes (a replaced player, a test's map).
std::vector<std::unique_ptr<Texture>>& AllTextures() {
  static std::vector<std::unique_ptr<Texture>> textures;
  return textures;
}

std::string LowerExtension(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string extension = path.substr(dot);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return extension;
}

}  // namespace

int DecodeImage(const std::string& path, DecodedImage& image) {
  if (path.empty()) return kImageNoName;
  const std::string extension = LowerExtension(path);
  if (extension != ".png" && extension != ".bmp" && extension != ".tga")
    return kImageUnknownExtension;

  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) return kImageCannotOpen;

  int width = 0, height = 0, channels = 0;
  stbi_uc* pixels = stbi_load_from_file(file.get(), &width, &height, &channels, 4);
  if (!pixels) {
    const char* reason = stbi_failure_reason();
    return reason && std::string(reason) == "outofmem" ? kImageOutOfMemory : kImageCorrupt;
  }
  image.width = width;
  image.height = height;
  image.pixels.assign(pixels, pixels + size_t(width) * size_t(height) * 4);
  stbi_image_free(pixels);
  return kImageOk;
}

Texture* LoadTexture(const std::string& name) {
  Texture* texture = AllTextures().emplace_back(std::make_unique<Texture>()).get();
  DecodedImage image;
  if (DecodeImage(kResourcePrefix + name, image) != kImageOk) return texture;

  texture->width = uint32_t(image.width);
  texture->height = uint32_t(image.height);
  texture->imageWidth = image.width;
  texture->imageHeight = image.height;
  gGL.GenTextures(1, &texture->glName);
  gGL.BindTexture(GL_TEXTURE_2D, texture->glName);
  gGL.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 image.pixels.data());
  gGL.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  gGL.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  return texture;
}

uint32_t TextureWidth(const Texture* texture) { return texture ? texture->width : 0; }
uint32_t TextureHeight(const Texture* texture) { return texture ? texture->height : 0; }
