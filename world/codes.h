// The codes a level file stores, in one place: unit types, trigger kinds, trigger link bits,
// block and decoration codes. The game, the level file and its text, and the tools all read
// them from here; a new code starts here (and gets its name in the level text).
#pragma once

#include <cstdint>

// Unit type codes, as a spawn trigger holds them; the unit layer holds the code plus one
// (0: no unit). A unit keeps its code in `type`, except that every hammer keeps the fly's 12:
// other code only looks for crawlers, turtles, winged turtles, spikies, killer plants and the
// boss.
constexpr int32_t kUnitCrawler = 0;
constexpr int32_t kUnitTurtle = 1;
constexpr int32_t kUnitTurtleFly = 2;
constexpr int32_t kUnitSpiky = 3;
constexpr int32_t kUnitFireCircle = 4;
constexpr int32_t kUnitFireCircle2 = 5;
constexpr int32_t kUnitFireCircle3 = 6;
constexpr int32_t kUnitCannon = 7;
constexpr int32_t kUnitBrett = 8;
constexpr int32_t kUnitNothing = 9;  // spawns nothing
constexpr int32_t kUnitKillerBlume = 10;
constexpr int32_t kUnitFire = 11;  // a flame of the fire field, not a unit of the table
constexpr int32_t kUnitFly = 12;
constexpr int32_t kUnitHammer = 12;
// Hammer throwers by their range, 0 to 9.
constexpr int32_t kUnitHammerRange0 = 13;
constexpr int32_t kUnitHammerRange2 = 14;
constexpr int32_t kUnitHammerRange3 = 15;
constexpr int32_t kUnitHammerRange5 = 16;
constexpr int32_t kUnitHammerRange7 = 17;
constexpr int32_t kUnitHammerRange9 = 18;
constexpr int32_t kUnitBoss = 19;       // the finale's boss, two cells wide and tall
constexpr int32_t kUnitTypeCodes = 20;  // codes 0..19

// What a trigger does when the player reaches a cell linked to it.
enum TriggerKind : int32_t {
  kTriggerStrike = 0,    // strikes the blocks in its rectangle
  kTriggerSpawn = 1,     // spawns its unit type in its rectangle
  kTriggerTeleport = 2,  // moves the player to its cell
  kTriggerStart = 3,     // a start point
  kTriggerNothing = 4,
  kTriggerMessage = 5,  // shows its text
  kTriggerKinds
};

// A trigger-layer cell: the trigger's index in the low bits, then three groups of four flag
// bits; any bit of a group sets it, and the level text writes the group's lowest.
constexpr int32_t kLinkIndexMask = 0xffff;
constexpr int32_t kLinkDisarmBits = 0xf << 16;  // disarm after firing
constexpr int32_t kLinkRearmBits = 0xf << 20;   // re-arm before firing
constexpr int32_t kLinkKeepBits = 0xf << 24;    // the link stays after firing
constexpr int32_t kLinkDisarmFlag = 1 << 16;
constexpr int32_t kLinkRearmFlag = 1 << 20;
constexpr int32_t kLinkKeepFlag = 1 << 24;

// Block codes. Codes without a name of their own are inert look-alikes of a named one.
enum BlockCode : int32_t {
  kBlockNone = 0,
  kBlockBrick = 1,
  kBlockCoinBox = 2,
  kBlockHiddenCoinBox = 3,
  kBlockGrowthBox = 4,
  kBlockPoisonBox = 5,
  kBlockVanishingBox = 6,
  kBlockStarBox = 7,
  kBlockLifeBox = 8,
  kBlockHiddenBonusBox = 9,  // a hidden life box
  kBlockInertBox = 10,
  kBlockUsedBox = 11,
  kBlockCracked = 12,
  kBlockStone = 14,
  kBlockInvisible = 15,
  // A green pipe lying down, its mouth to the left, then its body.
  kBlockPipeSideMouth = 25,
  kBlockPipeSideBody = 26,
  // The coin's spinning pictures sit in the block table after the last code a level uses
  // before them.
  kBlockCoinPictureA = 30,
  kBlockCoinPictureB = 31,
  // The walkways: the player's conveyor rule reads 32 and 33 as a cell's solid value, ground
  // plus block, so a walkway cell holds no ground.
  kBlockWalkwayLeft = 32,
  kBlockWalkwayRight = 33,
  kBlockBumping = 34,
  // Pipes: plain solid blocks drawn as a rim over a body, in three colours so that pipes
  // leading to different places look different. Each colour is a top then a body.
  kBlockPipeFirst = 35,
  kBlockPipeLast = 40,
};
enum PipeColour : int32_t { kPipeGreen, kPipeOrange, kPipeBlue, kPipeColours };
constexpr int32_t kPipePiecesPerColour = 2;  // top, body
constexpr int32_t PipeTop(PipeColour colour) {
  return kBlockPipeFirst + colour * kPipePiecesPerColour;
}
constexpr int32_t PipeBody(PipeColour colour) { return PipeTop(colour) + 1; }
static_assert(PipeBody(PipeColour(kPipeColours - 1)) == kBlockPipeLast);

// Decoration codes the player reacts to; they stay hidden until their cell is revealed.
constexpr int32_t kDecoDeadlyA = 3;  // kills from below (ground)
constexpr int32_t kDecoDeadlyB = 4;  // kills from above (ceiling)
constexpr int32_t kDecoJumpPad = 5;
// Bones by a trap: drawn only, a tell for a careful player (someone did not make it here).
constexpr int32_t kDecoBones = 7;
constexpr int32_t kDecoCodes = 7;  // decorations 1..7 have pictures (deco1.png .. deco7.png)
