// The map's pass of each frame: reveal cells near the player, collect coins, turn the coins,
// shuffle the ground once a second, and draw the cells around the camera.
#include <cmath>
#include <cstdlib>

#include "engine/font.h"
#include "engine/random.h"
#include "engine/sprite_batch.h"
#include "player/player.h"
#include "world/camera.h"
#include "world/effects.h"
#include "world/map.h"
#include "world/messages.h"
#include "world/rect.h"
#include "world/score.h"
#include "world/sounds.h"

uint32_t gLastShuffle = 0;

namespace {

constexpr double kCoinFrameStep = 0.13;  // coin frames per frame
constexpr float kCoinFrameLast = 33.0f;
constexpr int32_t kWindowHalfColumns = 18;
constexpr int32_t kWindowHalfRows = 13;
constexpr uint32_t kShuffleMilliseconds = 1000;
constexpr float kRevealDistance = 50.0f;  // px from the player's top-left to a cell centre
constexpr int32_t kCoinScore = 200;
constexpr int32_t kCoinsForALife = 100;

// Camera positions far off the map would not fit an int; they see nothing anyway.
int32_t CameraCell(float eye) {
  const float cell = eye / 32.0f;
  if (!(cell > -1e6f && cell < 1e6f)) return -1000000;
  return int32_t(cell);
}

Texture* TableEntry(Texture* const* table, int size, int32_t index) {
  return index >= 0 && index < size ? table[index] : nullptr;
}

void DrawCell(Texture* texture, int32_t column, int32_t row) {
  DrawSprite(texture, column * kCellSize, row * kCellSize, kCellSize, kCellSize, 0);
}

int32_t ShuffledGround() { return Random() % kGroundVariants + 1; }

// The walkway's belt moves with the frame clock; a map without its frames draws the table's.
Texture* BlockPicture(const cMap& map, int32_t block) {
  const bool walkway = block == kBlockWalkwayLeft || block == kBlockWalkwayRight;
  if (walkway) {
    const uint32_t frame = gFrameTime / kWalkwayFrameMilliseconds % kWalkwayFrames;
    if (Texture* t = map.walkwayTextures[block - kBlockWalkwayLeft][frame]) return t;
  }
  return TableEntry(map.blockTextures, kBlockTextureSlots, block);
}

}  // namespace

void cMap::UpdateAndDraw() {
  const int32_t cameraColumn = CameraCell(gCamera[0]);
  const int32_t cameraRow = CameraCell(gCamera[1]);

  coinFrame = float(double(coinFrame) + kCoinFrameStep);
  if (coinFrame > kCoinFrameLast) coinFrame = kCoinFrameFirst;

  // Ends are exclusive, so the last column and the last row are never drawn.
  const int32_t column0 = std::max(cameraColumn - kWindowHalfColumns, 0);
  const int32_t column1 = std::min(cameraColumn + kWindowHalfColumns, kMapColumns - 1);
  const int32_t row0 = std::max(cameraRow - kWindowHalfRows, 0);
  const int32_t row1 = std::min(cameraRow + kWindowHalfRows, kMapRows - 1);

  bool shuffle = false;
  if (gFrameTime - gLastShuffle > kShuffleMilliseconds) {
    gLastShuffle = gFrameTime;
    shuffle = true;
  }

  for (int32_t c = column0; c < column1; ++c)
    for (int32_t r = row0; r < row1; ++r) {
      const int cell = CellIndex(c, r);
      if (gPlayer && revealLayer[cell] == 0 &&
          std::fabs(gPlayer->x - float(c * kCellSize + kCellSize / 2)) < kRevealDistance &&
          std::fabs(gPlayer->y - float(r * kCellSize + kCellSize / 2)) < kRevealDistance)
        revealLayer[cell] = 1;
      const bool revealed = revealLayer[cell] != 0;

      if (coinLayer[cell] != 0 && revealed) {
        DrawCell(
            TableEntry(coinTextures, kCoinFrames, int32_t(coinFrame) - int32_t(kCoinFrameFirst)), c,
            r);
        const Rect cellRect = {c * kCellSize, r * kCellSize, kCellSize, kCellSize};
        if (gPlayer && RectsOverlap(cellRect, gPlayer->rect)) {
          coinLayer[cell] = 0;
          PlaySound(kSoundCoin);
          ++gCoins;
          gScore += kCoinScore;
          CoinEffect(c, r, 0, 0);
          if (gCoins >= kCoinsForALife) {
            gCoins = 0;
            ++gLives;
            PlaySound(kSoundOneUp);
          }
        }
      }

      const int32_t deco = decoLayer[cell];
      if (groundLayer[cell] != 0 && revealed) {
        if (shuffle) groundLayer[cell] = ShuffledGround();
        // Spikes stand on their own steel: bricks drawn behind them read as a safe floor with
        // spikes buried in it.
        if (deco != kDecoDeadlyA)
          DrawCell(TableEntry(tileTextures, kTileTextureSlots, groundLayer[cell]), c, r);
      }

      const bool hiddenTrap = deco == kDecoDeadlyA || deco == kDecoDeadlyB || deco == kDecoJumpPad;
      if (deco != 0) {
        if (hiddenTrap && !revealed) continue;
        DrawCell(TableEntry(decoTextures, kDecoTextureSlots, deco), c, r);
      }

      const int32_t block = blockLayer[cell];
      if (block != 0 && revealLayer[cell] == 1) {
        if (block == kBlockCracked) {
          // A cracked platform passes for ground, shuffle included.
          if (shuffle) groundLayer[cell] = ShuffledGround();
          DrawCell(TableEntry(tileTextures, kTileTextureSlots, groundLayer[cell]), c, r);
        } else {
          DrawCell(BlockPicture(*this, block), c, r);
        }
      }
    }

  for (int32_t c = column0; c < column1; ++c)
    for (int32_t r = row0; r < row1; ++r) {
      const int cell = CellIndex(c, r);
      const int32_t label = labelLayer[cell];
      if (label >= 0 && label < kMaxLabels && revealLayer[cell] == 1)
        DrawTextF(float(c * kCellSize), float(r * kCellSize), labels[label]);
    }
}
