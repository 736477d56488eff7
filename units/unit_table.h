// The unit table: 258 slots of enemies, hazards and moving boards, filled by SpawnUnit from
// the level's unit layer and from triggers.
#pragma once

#include <cstdint>

constexpr int kUnitSlots = 258;

// Creates the unit of a type code (0..18) at a cell; other codes create nothing.
void SpawnUnit(int32_t column, int32_t row, int32_t typeCode);
// Deletes every unit and frees every slot (level reset).
void DeleteAllUnits();
// A bumped block knocks the walking enemies standing on it off the map.
void KnockUnitsOnBlock(int32_t column, int32_t row);
