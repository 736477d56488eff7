// The death record: the unseen killers of the loaded level, the player's recent path, the
// markers and the tells, and their drawing.
#include "app/death_marks.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "engine/sprite_batch.h"
#include "engine/texture.h"
#include "player/player.h"
#include "world/camera.h"
#include "world/map.h"

std::vector<DeathMark> gDeathMarks;
std::vector<KillerTell> gKillerTells;

namespace {

constexpr size_t kMaxMarks = 256;      // a run that dies more often marks its first deaths
constexpr size_t kPathFrames = 60;     // the player's way of the last two seconds
constexpr int32_t kTouchReach = 2;     // cells round a point of that way that count
constexpr int32_t kMarkerSize = 16;    // px
constexpr int32_t kDeepFall = 4 * 32;  // px below the last footing: out of a walker's view
constexpr float kTellAlpha = 0.45f;    // how faintly a deadly cell shows once it has killed
constexpr int32_t kDrawReach = 20;     // cells from the camera that get drawn

struct PathPoint {
  int32_t x, y;  // world px
};

std::vector<UnseenKiller> gUnseen;  // one per cell of the loaded level
std::string gUnseenLevel;           // the level gUnseen describes
uint32_t gUnseenLoad = 0;           // and the map's load it was taken from
std::array<PathPoint, kPathFrames> gPath;
size_t gPathLength = 0, gPathNext = 0;
int32_t gFootingY = -1;  // world px: the middle of the player when last on the ground
bool gWasDying = false;

Texture* gMarkerPicture = nullptr;
Texture* gCrackPicture = nullptr;
Texture* gHiddenBoxPicture = nullptr;

UnseenKiller KillerAt(const cMap& map, int cell) {
  const bool hidden = map.revealLayer[cell] == 0;
  const int32_t block = map.blockLayer[cell], deco = map.decoLayer[cell];
  if (block == kBlockCracked) return UnseenKiller::kCracked;
  if (hidden && deco == kDecoDeadlyA) return UnseenKiller::kDeadlyGround;
  if (hidden && deco == kDecoDeadlyB) return UnseenKiller::kDeadlyCeiling;
  if (hidden && block != kBlockNone) return UnseenKiller::kHiddenBox;
  return UnseenKiller::kNone;
}

void ScanLevel() {
  gUnseen.assign(size_t(kMapCells), UnseenKiller::kNone);
  gUnseenLevel = gMap->loadedName;
  gUnseenLoad = gMap->loads;
  for (int cell = 0; cell < kMapCells; ++cell) gUnseen[size_t(cell)] = KillerAt(*gMap, cell);
  gPathLength = gPathNext = 0;
  gFootingY = -1;
  gWasDying = false;
}

// An unseen killer the player found: a hidden cell shown since, a cracked platform given way.
bool Touched(const cMap& map, int cell, UnseenKiller kind) {
  if (kind == UnseenKiller::kCracked) return map.blockLayer[cell] != kBlockCracked;
  return map.revealLayer[cell] != 0;
}

void AddTell(int32_t column, int32_t row, UnseenKiller kind) {
  for (const KillerTell& tell : gKillerTells)
    if (tell.column == column && tell.row == row && tell.level == gUnseenLevel) return;
  gKillerTells.push_back({gUnseenLevel, column, row, kind});
}

void RecordDeath(const cPlayer& p) {
  if (gDeathMarks.size() >= kMaxMarks) return;
  int32_t x = int32_t(p.x) + p.width / 2;
  int32_t y = int32_t(p.y) + p.height / 2;
  // A fall deep into a pit is marked at the rim it went over, a cell below the ground last
  // stood on, where the way back passes it: the depth it ended at is out of the view of anyone
  // walking there. A death in a shallow dip stays where it happened.
  const int32_t rim = gFootingY + kCellSize;
  if (gFootingY >= 0 && y > gFootingY + kDeepFall) {
    y = rim;
    for (size_t i = 0; i < gPathLength; ++i) {
      const PathPoint& point = gPath[(gPathNext + kPathFrames - gPathLength + i) % kPathFrames];
      if (point.y > rim) {
        x = point.x;
        break;
      }
    }
  }
  const float bottom = std::min(VisibleView().bottom, float(kMapRows * kCellSize));
  y = std::min(y, int32_t(bottom) - kMarkerSize);
  gDeathMarks.push_back({gUnseenLevel, x, y});

  for (size_t i = 0; i < gPathLength; ++i) {
    const PathPoint& point = gPath[i];
    const int32_t column = point.x / kCellSize, row = point.y / kCellSize;
    for (int32_t c = column - kTouchReach; c <= column + kTouchReach; ++c)
      for (int32_t r = row - kTouchReach; r <= row + kTouchReach; ++r) {
        if (!CellInGrid(c, r)) continue;
        const int cell = CellIndex(c, r);
        const UnseenKiller kind = gUnseen[size_t(cell)];
        if (kind != UnseenKiller::kNone && Touched(*gMap, cell, kind)) AddTell(c, r, kind);
      }
  }
}

void DrawFaint(const Texture* picture, int32_t column, int32_t row) {
  if (!picture) return;
  cSpriteBatch::Instance().AddQuad(picture,
                                   {column * kCellSize, row * kCellSize, kCellSize, kCellSize},
                                   {0, 0, 0, 0}, {1.0f, 1.0f, 1.0f, kTellAlpha}, 0.0f, 0);
}

}  // namespace

void ForgetDeaths() {
  gDeathMarks.clear();
  gKillerTells.clear();
}

void NoteLevelLoads() {
  if (gMap && (gUnseenLoad != gMap->loads || gUnseen.empty())) ScanLevel();
}

void WatchDeaths() {
  if (!gMap || !gPlayer) return;
  NoteLevelLoads();  // a pipe loads its level within a step
  const cPlayer& p = *gPlayer;
  const bool dying = p.dying;
  if (!dying) {
    if (p.onGround) gFootingY = int32_t(p.y) + p.height / 2;
    gPath[gPathNext] = {int32_t(p.x) + p.width / 2, int32_t(p.y) + p.height / 2};
    gPathNext = (gPathNext + 1) % kPathFrames;
    gPathLength = std::min(gPathLength + 1, kPathFrames);
  } else if (!gWasDying) {
    RecordDeath(p);
  }
  gWasDying = dying;
}

void DrawDeathMarks() {
  if (!gMap) return;
  const int32_t cameraColumn = int32_t(gCamera[0]) / kCellSize;
  for (const KillerTell& tell : gKillerTells) {
    if (tell.level != gMap->loadedName || std::abs(tell.column - cameraColumn) > kDrawReach)
      continue;
    const int cell = CellIndex(tell.column, tell.row);
    switch (tell.kind) {
      case UnseenKiller::kCracked:
        // Standing, it still passes for ground: the crack shows on top.
        if (gMap->blockLayer[cell] == kBlockCracked)
          DrawFaint(gCrackPicture, tell.column, tell.row);
        break;
      case UnseenKiller::kHiddenBox:
        if (gMap->revealLayer[cell] == 0) DrawFaint(gHiddenBoxPicture, tell.column, tell.row);
        break;
      case UnseenKiller::kDeadlyGround:
        if (gMap->revealLayer[cell] == 0)
          DrawFaint(gMap->decoTextures[kDecoDeadlyA], tell.column, tell.row);
        break;
      case UnseenKiller::kDeadlyCeiling:
        if (gMap->revealLayer[cell] == 0)
          DrawFaint(gMap->decoTextures[kDecoDeadlyB], tell.column, tell.row);
        break;
      case UnseenKiller::kNone:
        break;
    }
  }
  if (!gMarkerPicture) return;
  for (const DeathMark& mark : gDeathMarks)
    if (mark.level == gMap->loadedName)
      DrawSprite(gMarkerPicture, mark.x - kMarkerSize / 2, mark.y - kMarkerSize / 2, kMarkerSize,
                 kMarkerSize, 0);
}

void LoadDeathPictures() {
  gMarkerPicture = LoadTexture("death_marker.png");
  gCrackPicture = LoadTexture("tell_crack.png");
  gHiddenBoxPicture = LoadTexture("invisible.png");
}
