// Unit spawning: the unit families register here as they are built.
#include "units/unit_table.h"

void SpawnUnit(int32_t, int32_t, int32_t) {}

void DeleteAllUnits() {}
