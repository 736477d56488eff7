// Checkpoints: reaching them, starting a retry at them, drawing their flags.
#include "app/checkpoints.h"

#include "engine/sprite_batch.h"
#include "engine/texture.h"
#include "player/player.h"
#include "world/map.h"
#include "world/sounds.h"

int32_t gCheckpointReached = kNoCheckpoint;

namespace {

Texture* gFlagDown = nullptr;  // the bare pole: not reached yet
Texture* gFlagUp = nullptr;    // the flag raised

}  // namespace

void ForgetCheckpoints() { gCheckpointReached = kNoCheckpoint; }

void UpdateCheckpoints() {
  if (!gMap || !gPlayer || gPlayer->dying) return;
  const int32_t column = PixelToCell(int32_t(gPlayer->x) + gPlayer->width / 2);
  const int32_t row = PixelToCell(int32_t(gPlayer->y) + gPlayer->height / 2);
  // Two columns wide, so a full run cannot step over one between frames; turning back never
  // hands an earlier one back.
  int32_t reached = gCheckpointReached;
  for (size_t i = size_t(gCheckpointReached + 1); i < gMap->checkpoints.size(); ++i) {
    const LevelCell& cell = gMap->checkpoints[i];
    if (column >= cell.column && column <= cell.column + 1 && row <= cell.row) reached = int32_t(i);
  }
  if (reached == gCheckpointReached) return;
  gCheckpointReached = reached;
  PlaySound(kSoundFlag);
}

bool PlaceAtCheckpoint() {
  if (!gMap || !gPlayer || gCheckpointReached < 0 ||
      size_t(gCheckpointReached) >= gMap->checkpoints.size())
    return false;
  const LevelCell& cell = gMap->checkpoints[size_t(gCheckpointReached)];
  gPlayer->x = float(cell.column * kCellSize);
  gPlayer->y = float(cell.row * kCellSize);
  gPlayer->RefreshRect();
  gPlayer->FollowCamera();
  return true;
}

void DrawCheckpoints() {
  if (!gMap || !gFlagDown || !gFlagUp) return;
  for (size_t i = 0; i < gMap->checkpoints.size(); ++i) {
    const LevelCell& cell = gMap->checkpoints[i];
    const Texture* picture = int32_t(i) <= gCheckpointReached ? gFlagUp : gFlagDown;
    DrawSprite(picture, cell.column * kCellSize, (cell.row - 1) * kCellSize, kCellSize,
               2 * kCellSize, 0);
  }
}

void LoadCheckpointPictures() {
  gFlagDown = LoadTexture("flag_down.png");
  gFlagUp = LoadTexture("flag_up.png");
}
