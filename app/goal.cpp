// The goal: reaching it, its gate, and the walk in.
#include "app/goal.h"

#include "app/results.h"
#include "engine/music.h"
#include "engine/sprite_batch.h"
#include "engine/texture.h"
#include "player/actions.h"
#include "player/player.h"
#include "world/map.h"

bool gGoalReached = false;
int32_t gGoalFrame = 0;
int32_t gPlayFrames = 0;

namespace {

constexpr int32_t kGateWidth = 64;    // px: two cells
constexpr int32_t kGateHeight = 128;  // px: the gate's three cells and its pennant
// Frames of the walk on after which the player is inside even if a wall stopped it short of
// the gate's middle.
constexpr int32_t kInsideAfter = 24;

Texture* gGatePicture = nullptr;
int32_t gWalkedFrames = 0;

bool PlayerInGoal() {
  if (!gMap || !gMap->hasGoal || !gPlayer || gPlayer->dying) return false;
  const int32_t column = PixelToCell(int32_t(gPlayer->x) + gPlayer->width / 2);
  const int32_t row = PixelToCell(int32_t(gPlayer->y) + gPlayer->height / 2);
  return gMap->goal.Contains(column, row);
}

// The gate's left edge and its foot, in world px.
int32_t GateLeft() {
  const LevelArea& goal = gMap->goal;
  return (goal.column0 + goal.column1 + 1) * kCellSize / 2 - kGateWidth / 2;
}
int32_t GateFoot() { return (gMap->goal.row1 + 1) * kCellSize; }

}  // namespace

void ResetGoal() {
  gGoalReached = false;
  gGoalFrame = gPlayFrames = 0;
  gWalkedFrames = 0;
}

void SteerAfterGoal() {
  if (!gGoalReached) return;
  ClearActions(kActionCount);
  // Inside the gate the player stops: whatever lies beyond is no longer its business.
  gActions[kActionRight] = !PlayerWentIn();
}

void UpdateGoal() {
  if (gResultsShown) return;
  if (!gGoalReached) {
    ++gPlayFrames;
    if (!PlayerInGoal()) return;
    gGoalReached = true;
    gGoalFrame = gPlayFrames;
    PlayTune(kTuneJingle, false);
    return;
  }
  if (++gWalkedFrames < kWalkOnFrames) return;
  ShowResults();
}

bool PlayerWentIn() {
  if (!gGoalReached || !gPlayer || !gMap) return false;
  const int32_t middle = int32_t(gPlayer->x) + gPlayer->width / 2;
  return gWalkedFrames >= kInsideAfter || middle >= GateLeft() + kGateWidth / 2;
}

void DrawGoal() {
  if (!gMap || !gMap->hasGoal || !gGatePicture) return;
  DrawSprite(gGatePicture, GateLeft(), GateFoot() - kGateHeight, kGateWidth, kGateHeight, 0);
}

void LoadGoalPicture() { gGatePicture = LoadTexture("goal.png"); }
