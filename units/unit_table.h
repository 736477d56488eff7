// The unit table's traffic: spawning by type code and where a new unit goes, the level
// reset, the per-step and per-frame passes, and the sweeps that strike units.
#pragma once

#include <cstdint>

#include "units/base_unit.h"
#include "world/rect.h"

class cTurtle;

// Creates the unit of a type code (0..18) at a cell; 11 places a static fire instead, and
// other codes create nothing.
void SpawnUnit(int32_t column, int32_t row, int32_t typeCode);
// The first free slot; with none free, the slot of the unit farthest from the player, emptied.
int FindUnitSlot();
// The first free slot, or -1 when the table is full.
int FirstFreeUnitSlot();
// Deletes every unit and frees every slot (level reset).
void DeleteAllUnits();

// Every unit's step, slot order; a slot filled meanwhile further on is updated too.
void UpdateUnits();
void DrawUnits();

// A bumped block knocks the walkers standing on it off the map.
void KnockUnitsOnBlock(int32_t column, int32_t row);
// The invincible player's or a fireball's box: knocks crawlers, winged turtles, turtles and
// spikies (in that order of sweeps), kills killer plants and hurts the boss. Returns how many
// were struck.
int StrikeUnitsTouching(const Rect& box);
// A sliding shell knocks off every other enemy it overlaps.
void StrikeUnitsUnderShell(const cTurtle& shell);

// A unit's own position (a chain's centre); false for a unit of no known class.
bool UnitPosition(const cBaseUnit& unit, float& x, float& y);
