// The unit table's storage, the deferred deletion behind cUnitSweep, and the contact rule.
#include "units/base_unit.h"

#include <vector>

#include "player/player.h"
#include "world/camera.h"

cBaseUnit* gUnits[kUnitSlots] = {};

namespace {

// px beyond the view's edges from which a unit is still heard: about a cell and a half past
// where the view scrolls next.
constexpr float kHearingReach = 48.0f;

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

void PlayUnitSound(SoundId sound, float x, float y) {
  const CameraView view = VisibleView();
  if (x < view.left - kHearingReach || x > view.right + kHearingReach ||
      y < view.top - kHearingReach || y > view.bottom + kHearingReach)
    return;
  PlaySound(sound);
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
