// Texture loading through stb_image, one record per file name. The picture's declared size is
// read from its header first, so a small file claiming a huge picture costs nothing.
#include "engine/texture.h"

#include <stb_image.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <map>
#include <memory>

#include "engine/file_read.h"
#include "engine/gl_api.h"

namespace {

// Files are named relative to the working directory.
const char* const kResourcePrefix = "";

// Textures live until the process ends. They are held here so that a record is never lost
// when the object that loaded it goes (a replaced player, a test's map).
std::map<std::string, std::unique_ptr<Texture>>& AllTextures() {
  static std::map<std::string, std::unique_ptr<Texture>> textures;
  return textures;
}

struct RefusalText {
  int result;
  const char* text;
};
const RefusalText kRefusals[] = {
    {kImageOutOfMemory, "out of memory"},
    {kImageUnknownExtension, "not a .png, .bmp or .tga picture"},
    {kImageCorrupt, "not a picture that can be read"},
    {kImageUnreadable, "not a regular file, or far too large for a picture"},
    {kImageTooLarge, "larger than 4096 x 4096 pixels"},
};

void SayRefused(const std::string& path, int result, const DecodedImage& image) {
  for (const RefusalText& refusal : kRefusals) {
    if (refusal.result != result) continue;
    if (result == kImageTooLarge)
      std::fprintf(stderr, "%s: the picture is %d x %d pixels, %s\n", path.c_str(), image.width,
                   image.height, refusal.text);
    else
      std::fprintf(stderr, "%s: %s\n", path.c_str(), refusal.text);
  }
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

  std::string bytes, error;
  if (const FileReadResult read = ReadWholeFile(path, kMaxPictureFileBytes, bytes, error))
    return read == kFileCannotOpen ? kImageCannotOpen : kImageUnreadable;
  const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
  const int size = int(bytes.size());

  int width = 0, height = 0, channels = 0;
  if (!stbi_info_from_memory(data, size, &width, &height, &channels)) return kImageCorrupt;
  if (width > kMaxPictureSide || height > kMaxPictureSide) {
    image.width = width;
    image.height = height;
    image.pixels.clear();
    return kImageTooLarge;
  }
  stbi_uc* pixels = stbi_load_from_memory(data, size, &width, &height, &channels, 4);
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
  // Names are relative to the working directory, which the simulator and tests change between
  // runs: the record is kept under the file's full path.
  std::string key = kResourcePrefix + name;
  if (key.empty() || key[0] != '/') {
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd)) key = std::string(cwd) + "/" + key;
  }
  std::unique_ptr<Texture>& record = AllTextures()[key];
  if (record) return record.get();
  record = std::make_unique<Texture>();
  Texture* texture = record.get();
  DecodedImage image;
  const std::string path = kResourcePrefix + name;
  if (const int result = DecodeImage(path, image); result != kImageOk) {
    SayRefused(path, result, image);
    return texture;
  }

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
