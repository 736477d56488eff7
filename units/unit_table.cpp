// Unit spawning: the unit families register here as they are built.
#include "units/unit_table.h"

#include "world/effects.h"

namespace {
constexpr int32_t kStaticFire = 11;  // a type code that places a fire, not a unit
}

void SpawnUnit(int32_t column, int32_t row, int32_t typeCode) {
  if (typeCode == kStaticFire && gFireField) gFireField->AddFire(column * 32, row * 32);
}

void KnockUnitsOnBlock(int32_t, int32_t) {}

void DeleteAllUnits() {}
