// A small world for unit tests: ground on row 10 of a fresh map, a 32 x 32 player parked far
// away, the camera over the first screen, pictures of known sizes, and every global the units
// touch put back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "engine/texture.h"
#include "player/fireballs.h"
#include "player/player.h"
#include "tests/support/kept_globals.h"
#include "units/base_unit.h"
#include "world/blocks.h"
#include "world/map.h"
#include "world/sounds.h"

constexpr int kTestGroundRow = 10;                      // ground top at y 320
constexpr float kTestGroundY = kTestGroundRow * 32.0f;  // px
constexpr float kFarAway = 3000.0f;                     // px: where the player waits

class UnitTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A unit in the first free slot.
  template <class T, class... Args>
  T* Add(Args... args) {
    for (cBaseUnit*& slot : gUnits)
      if (!slot) {
        T* unit = new T(args...);
        slot = unit;
        return unit;
      }
    ADD_FAILURE() << "the unit table is full";
    return nullptr;
  }
  // Ground cells from column c0 to c1 on the ground row.
  void Ground(int c0, int c1, int row = kTestGroundRow);
  // The player's box at (x, y), as its own step would leave it.
  void PlacePlayer(float x, float y);
  // Every unit's step, `count` times.
  void Steps(int count);
  unsigned Plays(SoundId sound) const { return gSoundPlays[sound]; }

  std::unique_ptr<cMap> map = std::make_unique<cMap>();
  cPlayer* player = nullptr;
  Texture picture16{1, 16, 16, 16, 16};  // fireballs and fire chains
  Texture picture32{2, 32, 32, 32, 32};  // hammer, turtle
  Texture shell32x29{3, 32, 29, 32, 29};
  Texture board96x16{4, 96, 16, 96, 16};

 private:
  cKeptGlobals kept;
};
