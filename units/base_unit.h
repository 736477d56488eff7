// The root of every enemy, hazard and moving board, the 258-slot table that owns them, and
// the one rule by which a unit hurts the player.
#pragma once

#include <cstdint>

#include "world/codes.h"
#include "world/sounds.h"

constexpr int kUnitSlots = 258;

// The device screen the unit rules were tuned on: a stomped bullet comes back one screen
// width further on.
constexpr int32_t kUnitScreenWidth = 320;  // px

constexpr float kStompBounce = -10.0f;  // px per step: the player's speed after landing on a unit

class cBaseUnit {
 public:
  virtual void Update() {}
  virtual void Bump() {}
  virtual void Draw() {}
  // Where the unit is, in world px (a fire chain's centre); false for a unit of no place.
  // Eviction asks it of every slot, so it costs the same for every kind.
  virtual bool Position(float& x, float& y) const {
    x = y = 0.0f;
    return false;
  }
  // The table deletes units through base pointers.
  virtual ~cBaseUnit() = default;

  int32_t type = 0;
};

// Null is a free slot. A unit that dies keeps its slot until the level reset.
extern cBaseUnit* gUnits[kUnitSlots];

// A unit's sound, heard only while the unit is in the view or within a short reach of it: a
// cannon at the far end of the level is not heard from its start. (x, y) is the unit's place in
// world px.
void PlayUnitSound(SoundId sound, float x, float y);

// A small player without a star dies; any other player drops to small power, which does
// nothing while it is invincible.
void HurtPlayer();

// Held while code walks gUnits calling into units: a unit taken out of the table meanwhile
// stays alive until the outermost sweep ends, so no running Update loses its object.
class cUnitSweep {
 public:
  cUnitSweep();
  ~cUnitSweep();
  cUnitSweep(const cUnitSweep&) = delete;
  cUnitSweep& operator=(const cUnitSweep&) = delete;
};

// Empties a slot and deletes its unit, at once or when the running sweep ends.
void RemoveUnit(int slot);
