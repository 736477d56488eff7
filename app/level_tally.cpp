// The tally: each level's hoard counted once from its cells, the finds watched near the view.
#include "app/level_tally.h"

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "world/camera.h"
#include "world/level_file.h"
#include "world/map.h"
#include "world/messages.h"

namespace {

constexpr int32_t kSecretMessages[] = {6, 7, 8};  // the secret room, the money room, the warp room
constexpr int32_t kWatchColumns = 18;             // cells each side of the camera: the map's window
constexpr int32_t kWatchRows = 13;

enum Treasure : uint8_t { kNothing, kLooseCoin, kCoinBox };

struct Hoard {
  int32_t coins = 0;
  std::set<int32_t> secrets;  // message indices
};

bool CoinBox(int32_t block) { return block == kBlockCoinBox || block == kBlockHiddenCoinBox; }

// One cell's treasure and the secret its trigger link names, from layer values.
void CountCell(int32_t coin, int32_t block, int32_t link, int32_t triggerKind, Hoard& hoard) {
  if (coin != 0) ++hoard.coins;
  if (CoinBox(block)) ++hoard.coins;
  if (link < 0 || triggerKind != kTriggerMessage) return;
  const int32_t message = MessageOfTrigger(link & kLinkIndexMask);
  if (IsSecretMessage(message)) hoard.secrets.insert(message);
}

Hoard HoardOfFile(const std::string& name) {
  Hoard hoard;
  LevelData level;
  std::string error;
  if (!ReadLevelFile(name, level, error)) return hoard;
  for (size_t cell = 0; cell < size_t(level.CellCount()); ++cell) {
    const int32_t link = level.layers[kFileTrigger][cell];
    const size_t index = size_t(link & kLinkIndexMask);
    const int32_t kind =
        link >= 0 && index < level.triggers.size() ? level.triggers[index].kind : -1;
    CountCell(level.layers[kFileCoin][cell], level.layers[kFileBlock][cell], link, kind, hoard);
  }
  return hoard;
}

Hoard HoardOfMap(const cMap& map) {
  Hoard hoard;
  for (int cell = 0; cell < kMapCells; ++cell) {
    const int32_t link = map.triggerLayer[cell];
    const int32_t index = link & kLinkIndexMask;
    const int32_t kind = link >= 0 && index < kMaxTriggers ? map.triggers[index].kind : -1;
    CountCell(map.coinLayer[cell], map.blockLayer[cell], link, kind, hoard);
  }
  return hoard;
}

bool gCounted = false;  // the game's level has been counted
int32_t gCoinsInLevel = 0;
std::set<int32_t> gSecretsInLevel;
std::set<int32_t> gSecretsFound;
std::set<std::pair<std::string, int>> gCoinsFound;  // (level file, cell)

std::vector<uint8_t> gTreasure;  // per cell of the loaded map, as it was loaded
uint32_t gTreasureLoad = 0;

void ScanLoadedMap() {
  gTreasureLoad = gMap->loads;
  gTreasure.assign(size_t(kMapCells), kNothing);
  for (int cell = 0; cell < kMapCells; ++cell) {
    if (gMap->coinLayer[cell] != 0)
      gTreasure[size_t(cell)] = kLooseCoin;
    else if (CoinBox(gMap->blockLayer[cell]))
      gTreasure[size_t(cell)] = kCoinBox;
  }
  if (gCounted) return;
  // The first level of the game: it and every room its pipes lead to.
  gCounted = true;
  Hoard hoard = HoardOfMap(*gMap);
  std::set<std::string> rooms;
  for (const WarpRecord& warp : gMap->warps)
    if (!warp.fileName.empty() && warp.fileName != gMap->loadedName) rooms.insert(warp.fileName);
  for (const std::string& room : rooms) {
    const Hoard more = HoardOfFile(room);
    hoard.coins += more.coins;
    hoard.secrets.insert(more.secrets.begin(), more.secrets.end());
  }
  gCoinsInLevel = hoard.coins;
  gSecretsInLevel = hoard.secrets;
}

}  // namespace

bool IsSecretMessage(int32_t message) {
  return std::find(std::begin(kSecretMessages), std::end(kSecretMessages), message) !=
         std::end(kSecretMessages);
}

void ForgetTally() {
  gCounted = false;
  gCoinsInLevel = 0;
  gSecretsInLevel.clear();
  gSecretsFound.clear();
  gCoinsFound.clear();
  gTreasure.clear();
}

void WatchTally() {
  if (!gMap) return;
  if (gTreasure.empty() || gTreasureLoad != gMap->loads) ScanLoadedMap();
  if (IsSecretMessage(gMessageIndex)) gSecretsFound.insert(gMessageIndex);
  const int32_t cameraColumn = int32_t(gCamera[0]) / kCellSize;
  const int32_t cameraRow = int32_t(gCamera[1]) / kCellSize;
  for (int32_t c = cameraColumn - kWatchColumns; c <= cameraColumn + kWatchColumns; ++c)
    for (int32_t r = cameraRow - kWatchRows; r <= cameraRow + kWatchRows; ++r) {
      if (!CellInGrid(c, r)) continue;
      const int cell = CellIndex(c, r);
      const uint8_t treasure = gTreasure[size_t(cell)];
      const bool taken = (treasure == kLooseCoin && gMap->coinLayer[cell] == 0) ||
                         (treasure == kCoinBox && !CoinBox(gMap->blockLayer[cell]));
      if (taken) gCoinsFound.insert({gMap->loadedName, cell});
    }
}

Tally CurrentTally() {
  Tally tally;
  tally.coins = gCoinsInLevel;
  tally.coinsFound = std::min(int32_t(gCoinsFound.size()), gCoinsInLevel);
  tally.secrets = int32_t(gSecretsInLevel.size());
  tally.secretsFound = int32_t(gSecretsFound.size());
  return tally;
}
