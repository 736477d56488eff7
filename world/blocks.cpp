// Block strikes, head bumps and the bump animation, as one table of what each code does.
#include "world/blocks.h"

#include "engine/sprite_batch.h"
#include "player/player.h"
#include "units/unit_table.h"
#include "world/bonus.h"
#include "world/effects.h"
#include "world/map.h"
#include "world/numbers.h"
#include "world/score.h"
#include "world/sounds.h"

BumpAnimation gBump;
int32_t gBlockHitCooldown = 0;

namespace {

constexpr int32_t kBumpLastFrame = 16;
constexpr int32_t kBumpRiseFrames = 8;  // up for frames 1..7, down after
constexpr int32_t kBumpStep = 2;        // px per frame
constexpr float kKickSpeed = -3.0f;     // px per step, an item kicked by a bump

int32_t& BlockAt(int32_t column, int32_t row) { return gMap->blockLayer[CellIndex(column, row)]; }

void Release(int32_t column, int32_t row, int32_t kind) {
  if (cBonus* bonus = FirstFreeBonus()) bonus->Spawn(column, row, kind);
}

// Bricks and stones bounce under a small player and break under a big one or a shell.
void StrikeBreakable(int32_t column, int32_t row, int32_t debris) {
  if (gMap->shellHit == 0 && gPlayer && gPlayer->power == kPowerSmall) {
    BumpBlock(column, row);
    return;
  }
  BlockAt(column, row) = kBlockNone;
  if (gDebris) gDebris->Break(column, row, debris);
}

void StrikeBrick(int32_t c, int32_t r) { StrikeBreakable(c, r, 0); }
void StrikeStone(int32_t c, int32_t r) { StrikeBreakable(c, r, 1); }

void StrikeCoinBox(int32_t c, int32_t r) {
  BlockAt(c, r) = kBlockUsedBox;
  PlaySound(kSoundCoin);
  ++gCoins;
  CoinEffect(c, r - 1, 0, -1);
  BumpBlock(c, r);
}

// A box with an item: used, bumped, the item out, a tock.
template <int32_t kKind>
void StrikeItemBox(int32_t c, int32_t r) {
  gBlockHitCooldown = kBoxCooldown;
  BlockAt(c, r) = kBlockUsedBox;
  BumpBlock(c, r);
  Release(c, r, kKind);
  PlaySound(kSoundTock);
}

void StrikeGrowthBox(int32_t c, int32_t r) {
  gBlockHitCooldown = kBoxCooldown;
  BlockAt(c, r) = kBlockUsedBox;
  BumpBlock(c, r);
  Release(c, r, gPlayer && gPlayer->power == kPowerSmall ? kBonusGrow : kBonusFire);
  PlaySound(kSoundTock);
}

void StrikeVanishingBox(int32_t c, int32_t r) {
  gBlockHitCooldown = kBoxCooldown;
  BlockAt(c, r) = kBlockNone;
  Release(c, r, kBonusFalling);
  PlaySound(kSoundTock);
}

void StrikeStarBox(int32_t c, int32_t r) {
  gBlockHitCooldown = kBoxCooldown;
  BlockAt(c, r) = kBlockUsedBox;
  Release(c, r, kBonusStar);
  BumpBlock(c, r);
  PlaySound(kSoundTock);
}

void StrikeUsedBox(int32_t, int32_t) {
  gBlockHitCooldown = kBoxCooldown;
  PlaySound(kSoundTock);
}

void StrikeCracked(int32_t c, int32_t r) {
  BlockAt(c, r) = kBlockNone;
  gMap->groundLayer[CellIndex(c, r)] = 0;
}

using Strike = void (*)(int32_t column, int32_t row);
struct BlockRule {
  int32_t code;
  Strike strike;
};
const BlockRule kBlockRules[] = {
    {kBlockBrick, StrikeBrick},
    {kBlockStone, StrikeStone},
    {kBlockCoinBox, StrikeCoinBox},
    {kBlockHiddenCoinBox, StrikeCoinBox},
    {kBlockGrowthBox, StrikeGrowthBox},
    {kBlockPoisonBox, StrikeItemBox<kBonusPoison>},
    {kBlockVanishingBox, StrikeVanishingBox},
    {kBlockStarBox, StrikeStarBox},
    {kBlockLifeBox, StrikeItemBox<kBonusLife>},
    {kBlockHiddenBonusBox, StrikeItemBox<kBonusLife>},
    {kBlockUsedBox, StrikeUsedBox},
    {kBlockCracked, StrikeCracked},
};

}  // namespace

void cMap::HitBlock(int32_t column, int32_t row, int32_t onlyCode) {
  if (!CellInGrid(column, row)) return;
  const int32_t code = blockLayer[CellIndex(column, row)];
  if (onlyCode != 0 && code != onlyCode) return;
  for (const BlockRule& rule : kBlockRules)
    if (rule.code == code) {
      rule.strike(column, row);
      return;
    }
}

void cMap::HeadBump(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const int32_t c1 = PixelToCell(x1), r1 = PixelToCell(y1);
  const int32_t c2 = PixelToCell(x2), r2 = PixelToCell(y2);
  // The block layer itself, not the solid value: hidden boxes are found from below.
  auto code = [&](int32_t c, int32_t r) {
    return CellInGrid(c, r) ? int64_t(blockLayer[CellIndex(c, r)]) : 0;
  };
  if (code(c1, r1) + code(c2, r2) == 0) return;
  HitBlock(c1, r1, 0);
  HitBlock(c2, r2, 0);
  if (shellHit == 0 && gPlayer) gPlayer->jumpTimer = kJumpReady;
}

void BumpBlock(int32_t column, int32_t row) {
  if (gBump.frame <= kBumpLastFrame - 1 || !gMap) return;
  int32_t& block = BlockAt(column, row);
  gBump = {0, block, column, row, column * 32, row * 32};
  block = kBlockBumping;

  for (cBonus* bonus : gBonuses) {
    if (!bonus || !bonus->active) continue;
    const int32_t ix = Trunc(bonus->x), iy = Trunc(bonus->y);
    if ((ix / 32 == column && (iy + 5) / 32 == row - 1) ||
        ((ix + 32) / 32 == column && iy / 32 == row - 1)) {
      bonus->speedY = kKickSpeed;
      bonus->speedX = -bonus->speedX;
    }
  }
  KnockUnitsOnBlock(column, row);
}

void DrawBump() {
  if (gBump.frame >= kBumpLastFrame || !gMap) return;
  ++gBump.frame;
  gBump.y += gBump.frame < kBumpRiseFrames ? -kBumpStep : kBumpStep;
  const int32_t code = gBump.code;
  if (code >= 0 && code < kBlockTextureSlots)
    DrawSprite(gMap->blockTextures[code], gBump.x, gBump.y, 32, 32, 0);
  if (gBump.frame == kBumpLastFrame && CellInGrid(gBump.column, gBump.row))
    BlockAt(gBump.column, gBump.row) = gBump.code;
}
