// The tile queries every moving thing asks: solid, pit below, block and decoration codes.
// Cells outside the grid are empty for all of them.
#include "world/map.h"

int32_t cMap::SolidValue(int32_t column, int32_t row) const {
  const int cell = CellIndex(column, row);
  const int32_t ground = groundLayer[cell];
  // A code out of the table is no block at all.
  const int32_t block = KnownBlockCode(blockLayer[cell]) ? blockLayer[cell] : kBlockNone;
  // Hidden boxes are found only from below.
  if (block == kBlockHiddenCoinBox || block == kBlockHiddenBonusBox) return ground;
  // Level values are untrusted: add without signed overflow.
  return int32_t(uint32_t(ground) + uint32_t(block));
}

int32_t cMap::SolidAt(int32_t x, int32_t y) const {
  const int32_t column = PixelToCell(x), row = PixelToCell(y);
  return CellInGrid(column, row) ? SolidValue(column, row) : 0;
}

bool cMap::OpenBelow(int32_t x, int32_t y) const {
  const int32_t column = PixelToCell(x), row = PixelToCell(y);
  if (!CellInGrid(column, row)) return false;
  for (int32_t r = row; r < kMapRows; ++r)
    if (SolidValue(column, r) > 0) return false;
  return true;
}

int32_t cMap::BlockCodeAt(int32_t x, int32_t y) const {
  const int32_t column = PixelToCell(x), row = PixelToCell(y);
  return CellInGrid(column, row) ? blockLayer[CellIndex(column, row)] : 0;
}

int32_t cMap::DecoCodeAt(int32_t x, int32_t y) const {
  const int32_t column = PixelToCell(x), row = PixelToCell(y);
  return CellInGrid(column, row) ? decoLayer[CellIndex(column, row)] : 0;
}
