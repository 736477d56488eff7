// The unit table's storage, the deferred deletion behind cUnitSweep, and the contact rule.
#include "units/base_unit.h"

#include <vector>

#include "player/player.h"

cBaseUnit* gUnits[kUnitSlots] = {};

namespace {

int gSweepDepth = 0;
std::vector<cBaseUnit*> gRetiredUnits;  // taken out during a sweep, deleted after it

}  // namespace

void HurtPlayer() {
  if (!gPlayer) return;
  if (gPlayer->power == kPowerSmall && gPlayer->starTimer == 0)
    gPlayer->StartDeath(0);
  else
    gPlayer->SetPower(kPowerSmall);
}

cUnitSweep::cUnitSweep() { ++gSweepDepth; }

cUnitSweep::~cUnitSweep() {
  if (--gSweepDepth > 0) return;
  for (cBaseUnit* unit : gRetiredUnits) delete unit;
  gRetiredUnits.clear();
}

void RemoveUnit(int slot) {
  if (slot < 0 || slot >= kUnitSlots || !gUnits[slot]) return;
  cBaseUnit* unit = gUnits[slot];
  gUnits[slot] = nullptr;
  if (gSweepDepth > 0)
    gRetiredUnits.push_back(unit);
  else
    delete unit;
}
