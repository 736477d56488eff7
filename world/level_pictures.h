// The pictures the level is drawn with outside the game (the level tool's picture of a level,
// the browser's editor): which of the game's picture files stands for each code, and a colour
// for each that stands in where the file is missing.
#pragma once

#include <cstdint>
#include <iterator>
#include <string>

#include "world/codes.h"
#include "world/level_file.h"

namespace level_pictures {

struct Colour {
  uint8_t r, g, b, a;
};

inline constexpr Colour kMissingFont = {255, 255, 255, 160};
// A picture by name with the colour that stands in for it when the file is missing.
struct PictureRef {
  const char* name;
  Colour fallback;
};

inline constexpr Colour kBrickColour = {180, 80, 40, 255};
inline constexpr Colour kBoxColour = {230, 170, 30, 255};
inline constexpr Colour kStoneColour = {140, 140, 150, 255};
inline constexpr Colour kHiddenColour = {255, 255, 255, 60};
inline constexpr Colour kCoinColour = {255, 220, 40, 255};
inline constexpr Colour kWalkwayColour = {80, 80, 100, 255};
inline constexpr Colour kPipeColour = {60, 170, 70, 255};

inline constexpr PictureRef kGroundPictures[] = {
    {"tile.png", kBrickColour},  {"tile1.png", kBrickColour}, {"tile2.png", kBrickColour},
    {"tile3.png", kBrickColour}, {"tile4.png", kBrickColour},
};
inline constexpr PictureRef kDecoPictures[] = {
    {"deco1.png", {60, 170, 60, 255}},   {"deco2.png", {200, 230, 255, 255}},
    {"deco3.png", {200, 30, 30, 255}},   {"deco4.png", {200, 30, 30, 255}},
    {"deco5.png", {60, 200, 200, 255}},  {"deco6.png", {120, 200, 80, 255}},
    {"deco7.png", {230, 230, 230, 255}},
};
inline constexpr PictureRef kCoinPicture = {"coin1.png", kCoinColour};
inline constexpr PictureRef kFontPicture = {"font.png", kMissingFont};
inline constexpr PictureRef kPlayerPicture = {"player1.png", {255, 255, 255, 255}};

// Block pictures as the resource loader fills the block table; code 12 draws the cell's ground.
struct BlockPicture {
  int32_t code;
  PictureRef picture;
};
inline constexpr BlockPicture kBlockPictures[] = {
    {kBlockBrick, {"tile.png", kBrickColour}},
    {kBlockCoinBox, {"box.png", kBoxColour}},
    {kBlockHiddenCoinBox, {"invisible.png", kHiddenColour}},
    {kBlockGrowthBox, {"box.png", kBoxColour}},
    {kBlockPoisonBox, {"box.png", kBoxColour}},
    {kBlockVanishingBox, {"box.png", kBoxColour}},
    {kBlockStarBox, {"box.png", kBoxColour}},
    {kBlockLifeBox, {"box.png", kBoxColour}},
    {kBlockHiddenBonusBox, {"invisible.png", kHiddenColour}},
    {kBlockInertBox, {"box.png", kBoxColour}},
    {kBlockUsedBox, {"boxempty.png", {150, 110, 60, 255}}},
    {kBlockStone, {"stone.png", kStoneColour}},
    {kBlockInvisible, {"invisible.png", kHiddenColour}},
    {16, {"box.png", kBoxColour}},
    {18, {"stone.png", kStoneColour}},
    {19, {"stone.png", kStoneColour}},
    {20, {"tile.png", kBrickColour}},
    {21, {"box.png", kBoxColour}},
    {22, {"box.png", kBoxColour}},
    {23, {"tile.png", kBrickColour}},
    {24, {"tile.png", kBrickColour}},
    {kBlockCoinPictureA, {"coin1.png", kCoinColour}},
    {kBlockCoinPictureB, {"coin2.png", kCoinColour}},
    {kBlockWalkwayLeft, {"walkwayl1.png", kWalkwayColour}},
    {kBlockWalkwayRight, {"walkwayr1.png", kWalkwayColour}},
    {kBlockBumping, {"invisible.png", kHiddenColour}},
    {PipeTop(kPipeGreen), {"pipe_green.png", kPipeColour}},
    {PipeBody(kPipeGreen), {"pipe_green_body.png", kPipeColour}},
    {PipeTop(kPipeOrange), {"pipe_orange.png", {230, 120, 30, 255}}},
    {PipeBody(kPipeOrange), {"pipe_orange_body.png", {230, 120, 30, 255}}},
    {PipeTop(kPipeBlue), {"pipe_blue.png", {70, 130, 230, 255}}},
    {PipeBody(kPipeBlue), {"pipe_blue_body.png", {70, 130, 230, 255}}},
    {kBlockPipeSideMouth, {"pipe_green_side.png", kPipeColour}},
    {kBlockPipeSideBody, {"pipe_green_side_body.png", kPipeColour}},
};

// Unit markers by type code: the picture the unit draws first, or a colour of its family.
inline constexpr Colour kWalkerColour = {150, 70, 20, 255};
inline constexpr Colour kFireColour = {255, 110, 0, 255};
inline constexpr PictureRef kUnitPictures[] = {
    {"crawler1.png", kWalkerColour},      {"turtle1.png", {40, 160, 40, 255}},
    {"fly1.png", {40, 200, 120, 255}},    {"spiky1.png", {200, 40, 40, 255}},
    {"fire2.png", kFireColour},           {"fire2.png", kFireColour},
    {"fire2.png", kFireColour},           {"cannon.png", {40, 40, 40, 255}},
    {"brett.png", {150, 100, 50, 255}},   {nullptr, {255, 0, 255, 255}},
    {"blume1.png", {30, 150, 30, 255}},   {"fire.png", kFireColour},
    {"fire2.png", kFireColour},           {"hammer.png", {110, 110, 120, 255}},
    {"hammer.png", {110, 110, 120, 255}}, {"hammer.png", {110, 110, 120, 255}},
    {"hammer.png", {110, 110, 120, 255}}, {"hammer.png", {110, 110, 120, 255}},
    {"hammer.png", {110, 110, 120, 255}}, {"boss1.png", {200, 40, 40, 255}},
};
static_assert(std::size(kUnitPictures) == kUnitTypeCodes);

}  // namespace level_pictures

// The same tables as one JSON object, for a renderer in the browser: {"ground": [variant
// 1...], "deco": [code 1...], "block": {"code": name, "12": "cracked"}, "unit": [type code
// 0...], "coin", "font", "player"}; null where a code has no picture.
std::string PictureTableJson();
