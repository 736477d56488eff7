// The level pictures' tables written out for the browser's editor.
#include "world/level_pictures.h"

std::string PictureTableJson() {
  using namespace level_pictures;
  const auto quoted = [](const char* name) {
    return name ? "\"" + std::string(name) + "\"" : std::string("null");
  };
  const auto list = [&](const auto& table) {
    std::string out = "[";
    for (const PictureRef& ref : table) out += (out.size() > 1 ? "," : "") + quoted(ref.name);
    return out + "]";
  };
  std::string blocks = "{";
  for (const BlockPicture& entry : kBlockPictures)
    blocks += (blocks.size() > 1 ? ",\"" : "\"") + std::to_string(entry.code) +
              "\":" + quoted(entry.picture.name);
  blocks += ",\"" + std::to_string(kBlockCracked) + "\":\"cracked\"}";
  return "{\"ground\":" + list(kGroundPictures) + ",\"deco\":" + list(kDecoPictures) +
         ",\"block\":" + blocks + ",\"unit\":" + list(kUnitPictures) +
         ",\"coin\":" + quoted(kCoinPicture.name) + ",\"font\":" + quoted(kFontPicture.name) +
         ",\"player\":" + quoted(kPlayerPicture.name) + "}";
}
