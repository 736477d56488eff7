// Spawning from one table of type codes, slot choice with eviction, and the table's sweeps.
#include "units/unit_table.h"

#include <cmath>
#include <type_traits>

#include "player/player.h"
#include "units/boss.h"
#include "units/brett.h"
#include "units/cannon.h"
#include "units/enemy.h"
#include "units/fire_circle.h"
#include "units/hammer.h"
#include "units/killer_blume.h"
#include "units/turtle.h"
#include "world/effects.h"
#include "world/map.h"
#include "world/numbers.h"
#include "world/sounds.h"

namespace {

constexpr int32_t kPlantPoints = 250;

template <class T>
cBaseUnit* Make(float x, float y, int32_t argument) {
  if constexpr (std::is_constructible_v<T, float, float, int32_t>)
    return new T(x, y, argument);
  else
    return new T(x, y);
}

enum class Spawns { kNothing, kUnit, kFire };

struct SpawnRule {
  Spawns what;
  cBaseUnit* (*make)(float x, float y, int32_t argument);
  int32_t argument;  // balls, range or the board's direction
  int32_t offsetX;   // px from the cell's left edge
  int32_t offsetY;   // px from the cell's top edge
};

// One row per unit type code, in code order (world/codes.h).
constexpr SpawnRule kSpawnRules[] = {
    /* kUnitCrawler */ {Spawns::kUnit, Make<cCrawler>, 0, 0, 0},
    /* kUnitTurtle */ {Spawns::kUnit, Make<cTurtle>, 0, 0, 0},
    /* kUnitTurtleFly */ {Spawns::kUnit, Make<cTurtleFly>, 0, 0, 0},
    /* kUnitSpiky */ {Spawns::kUnit, Make<cSpiky>, 0, 0, 0},
    /* kUnitFireCircle */ {Spawns::kUnit, Make<cFireCircle>, 5, 0, 0},
    /* kUnitFireCircle2 */ {Spawns::kUnit, Make<cFireCircle2>, 5, 0, 0},
    /* kUnitFireCircle3 */ {Spawns::kUnit, Make<cFireCircle3>, 1, 0, 0},
    /* kUnitCannon */ {Spawns::kUnit, Make<cCannon>, 0, 0, 0},
    /* kUnitBrett */ {Spawns::kUnit, Make<cBrett>, 1, 0, 0},
    /* kUnitNothing */ {Spawns::kNothing, nullptr, 0, 0, 0},
    // The plant starts half a cell in, at the bottom of its cell, inside the pipe below.
    /* kUnitKillerBlume */ {Spawns::kUnit, Make<cKillerBlume>, 0, 16, 32},
    /* kUnitFire */ {Spawns::kFire, nullptr, 0, 0, 0},
    /* kUnitFly */ {Spawns::kUnit, Make<cFly>, 1, 0, 0},
    /* kUnitHammerRange0 */ {Spawns::kUnit, Make<cHammer>, 0, 0, 0},
    /* kUnitHammerRange2 */ {Spawns::kUnit, Make<cHammer>, 2, 0, 0},
    /* kUnitHammerRange3 */ {Spawns::kUnit, Make<cHammer>, 3, 0, 0},
    /* kUnitHammerRange5 */ {Spawns::kUnit, Make<cHammer>, 5, 0, 0},
    /* kUnitHammerRange7 */ {Spawns::kUnit, Make<cHammer>, 7, 0, 0},
    /* kUnitHammerRange9 */ {Spawns::kUnit, Make<cHammer>, 9, 0, 0},
    // The boss is two cells tall: its feet stand in the cell it is placed at.
    /* kUnitBoss */ {Spawns::kUnit, Make<cBoss>, 0, 0, -kCellSize},
};
constexpr int32_t kSpawnCodes = int32_t(std::size(kSpawnRules));
static_assert(kSpawnCodes == kUnitTypeCodes);

cEnemy* EnemyOfKind(cBaseUnit* unit, int32_t kind) {
  return unit && unit->type == kind ? static_cast<cEnemy*>(unit) : nullptr;
}

}  // namespace

void SpawnUnit(int32_t column, int32_t row, int32_t typeCode) {
  if (typeCode < 0 || typeCode >= kSpawnCodes) return;
  const SpawnRule& rule = kSpawnRules[typeCode];
  const int32_t x = column * kCellSize + rule.offsetX, y = row * kCellSize + rule.offsetY;
  if (rule.what == Spawns::kFire) {
    if (gFireField) gFireField->AddFire(x, y);
  } else if (rule.what == Spawns::kUnit) {
    const int slot = FindUnitSlot();
    gUnits[slot] = rule.make(float(x), float(y), rule.argument);
  }
}

int FirstFreeUnitSlot() {
  for (int slot = 0; slot < kUnitSlots; ++slot)
    if (!gUnits[slot]) return slot;
  return -1;
}

int FindUnitSlot() {
  const int free = FirstFreeUnitSlot();
  if (free >= 0) return free;
  // Full: give up the unit farthest from the player, sideways. A later unit wins only when
  // it is farther than the whole pixels of the one kept so far.
  const float playerX = gPlayer ? gPlayer->x : 0.0f;
  int farthest = 0;
  int32_t keptDistance = 0;
  for (int slot = 0; slot < kUnitSlots; ++slot) {
    float x = 0, y = 0;
    if (!UnitPosition(*gUnits[slot], x, y)) continue;
    const float distance = std::fabs(x - playerX);
    if (distance > float(keptDistance)) {
      keptDistance = Trunc(distance);
      farthest = slot;
    }
  }
  RemoveUnit(farthest);
  return farthest;
}

void DeleteAllUnits() {
  for (int slot = 0; slot < kUnitSlots; ++slot) RemoveUnit(slot);
}

void UpdateUnits() {
  cUnitSweep sweep;
  for (int slot = 0; slot < kUnitSlots; ++slot)
    if (cBaseUnit* unit = gUnits[slot]) unit->Update();
}

void DrawUnits() {
  for (cBaseUnit* unit : gUnits)
    if (unit) unit->Draw();
}

void KnockUnitsOnBlock(int32_t column, int32_t row) {
  cUnitSweep sweep;
  // A walker stands on the block when its left or right edge is over the block's column
  // and its feet are in the row above; a turtle is measured from its head.
  auto overColumn = [column](const cEnemy& e) {
    const int32_t ux = Trunc(e.x);
    return ux / kCellSize == column || (ux + kCellSize) / kCellSize == column;
  };
  struct Pass {
    int32_t kind;
    int32_t lift;  // px added to the top before finding its row
    int32_t rowsAbove;
  };
  constexpr Pass kPasses[] = {{kUnitCrawler, 10, 1}, {kUnitTurtle, 0, 2}, {kUnitSpiky, 10, 1}};
  for (const Pass& pass : kPasses)
    for (int slot = 0; slot < kUnitSlots; ++slot) {
      cEnemy* e = EnemyOfKind(gUnits[slot], pass.kind);
      // Only walkers still in play: a squashed or falling one has nothing left to give.
      if (e && e->InPlay() && overColumn(*e) &&
          (Trunc(e->y) + pass.lift) / kCellSize == row - pass.rowsAbove)
        e->Bump();
    }
}

int StrikeUnitsTouching(const Rect& box) {
  cUnitSweep sweep;
  int struck = 0;
  // One sweep per kind, each finished before the next begins.
  constexpr int32_t kWalkerSweeps[] = {kUnitCrawler, kUnitTurtleFly, kUnitTurtle, kUnitSpiky};
  for (int32_t kind : kWalkerSweeps)
    for (int slot = 0; slot < kUnitSlots; ++slot) {
      cEnemy* e = EnemyOfKind(gUnits[slot], kind);
      if (e && e->InPlay() && RectsOverlap(box, e->rect)) {
        e->Bump();
        ++struck;
      }
    }
  for (int slot = 0; slot < kUnitSlots; ++slot) {
    cBaseUnit* unit = gUnits[slot];
    if (!unit || unit->type != kUnitKillerBlume) continue;
    cKillerBlume& plant = *static_cast<cKillerBlume*>(unit);
    if (plant.dead || !RectsOverlap(box, plant.rect)) continue;
    plant.dead = true;
    if (gPopups) gPopups->AddPopup(Trunc(plant.x), Trunc(plant.y), kPlantPoints);
    if (gBurst) gBurst->AddBurst(Trunc(plant.x), Trunc(plant.y));
    PlayUnitSound(kSoundKick, plant.x, plant.y);
    ++struck;
  }
  for (cBaseUnit* unit : gUnits) {
    if (!unit || unit->type != kUnitBoss) continue;
    cBoss& boss = *static_cast<cBoss*>(unit);
    // A boss still reeling from the last hit swallows the fireball all the same.
    if (boss.InPlay() && RectsOverlap(box, boss.rect)) {
      boss.Strike();
      ++struck;
    }
  }
  return struck;
}

void StrikeUnitsUnderShell(const cTurtle& shell) {
  cUnitSweep sweep;
  constexpr int32_t kShellSweeps[] = {kUnitCrawler, kUnitTurtle, kUnitTurtleFly, kUnitSpiky};
  for (int32_t kind : kShellSweeps)
    for (int slot = 0; slot < kUnitSlots; ++slot) {
      cEnemy* e = EnemyOfKind(gUnits[slot], kind);
      // Turtles and winged turtles at the shell's own x are the shell itself.
      const bool self =
          (kind == kUnitTurtle || kind == kUnitTurtleFly) && e && e->rect.x == shell.rect.x;
      // Only enemies still in play: one already falling must not pay again.
      if (e && !self && e->InPlay() && EnemiesOverlap(shell, *e)) e->Bump();
    }
}

bool UnitPosition(const cBaseUnit& unit, float& x, float& y) { return unit.Position(x, y); }
