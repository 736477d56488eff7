// The spawn codes as a level designer places them, slot choice with eviction (never deleting
// a unit in the middle of a sweep), and the level reset.
#include "units/unit_table.h"

#include <gtest/gtest.h>

#include <typeinfo>

#include "tests/units/unit_fixture.h"
#include "units/enemy.h"
#include "units/hammer.h"
#include "world/effects.h"

namespace {

using UnitTableTest = UnitTest;

int UnitsInTable() {
  int count = 0;
  for (cBaseUnit* unit : gUnits) count += unit != nullptr;
  return count;
}

// What a level designer relies on: every unit code places one unit in its own cell, the
// fire code a flame, the empty code and codes outside the table nothing; the hammer codes
// reach ever higher.
TEST_F(UnitTableTest, EachUnitCodePlacesOneUnitInItsCell) {
  for (int32_t code = 0; code < kUnitTypeCodes; ++code) {
    if (code == kUnitNothing || code == kUnitFire) continue;
    DeleteAllUnits();
    SpawnUnit(3, 5, code);
    ASSERT_NE(gUnits[0], nullptr) << code;
    EXPECT_EQ(UnitsInTable(), 1) << code;
    float x = 0, y = 0;
    EXPECT_TRUE(UnitPosition(*gUnits[0], x, y)) << code;
    EXPECT_GE(x, 3 * 32.0f) << code;
    EXPECT_LE(x, 4 * 32.0f) << code;
  }

  DeleteAllUnits();
  int32_t lastRange = -1;
  for (int32_t code = kUnitHammerRange0; code <= kUnitHammerRange9; ++code) {
    SpawnUnit(1, 20, code);
    const auto* hammer = dynamic_cast<const cHammer*>(gUnits[code - kUnitHammerRange0]);
    ASSERT_NE(hammer, nullptr) << code;
    EXPECT_GT(hammer->range, lastRange) << code;
    lastRange = hammer->range;
  }

  DeleteAllUnits();
  const int32_t fires = gFireField->count;
  SpawnUnit(4, 6, kUnitFire);
  EXPECT_EQ(gFireField->count, fires + 1);
  EXPECT_EQ(gFireField->fireX[fires], 128);
  for (int32_t code : {kUnitNothing, -1, kUnitTypeCodes, 1000000}) SpawnUnit(4, 6, code);
  EXPECT_EQ(UnitsInTable(), 0);
  EXPECT_EQ(gFireField->count, fires + 1);
}

TEST_F(UnitTableTest, A259thSpawnEvictsTheUnitFarthestFromThePlayer) {
  PlacePlayer(1000.0f, 100.0f);
  for (int i = 0; i < kUnitSlots; ++i) Add<cCrawler>(1000.0f + float(i % 50), 100.0f);
  delete gUnits[100];
  gUnits[100] = new cCrawler(-4000.0f, 100.0f);  // 5000 to the left
  delete gUnits[200];
  gUnits[200] = new cCrawler(6000.0f, 100.0f);  // as far to the right: the earlier stays kept
  cBaseUnit* kept[kUnitSlots];
  std::copy(std::begin(gUnits), std::end(gUnits), kept);

  SpawnUnit(5, 5, 7);
  ASSERT_NE(gUnits[100], nullptr);
  EXPECT_EQ(gUnits[100]->type, kUnitCannon);
  for (int i = 0; i < kUnitSlots; ++i)
    if (i != 100) {
      EXPECT_EQ(gUnits[i], kept[i]) << i;
    }

  // The kept distance counts in whole pixels: a later unit a fraction nearer than the kept
  // one, but past its whole pixels, still replaces it.
  delete gUnits[200];
  gUnits[200] = new cCrawler(6000.7f, 100.0f);
  delete gUnits[250];
  gUnits[250] = new cCrawler(6000.2f, 100.0f);
  SpawnUnit(5, 5, 3);
  EXPECT_EQ(gUnits[250]->type, kUnitSpiky);
  EXPECT_EQ(gUnits[200]->type, kUnitCrawler);
}

// A crawler whose step spawns into a full table, where it is itself the farthest unit.
class cSelfEvicting : public cCrawler {
 public:
  using cCrawler::cCrawler;
  ~cSelfEvicting() { ++destroyed; }
  void Update() override {
    SpawnUnit(0, 0, 0);
    destroyedDuringOwnStep = destroyed;
    x += 1;  // still its own object
  }
  static inline int destroyed = 0;
  static inline int destroyedDuringOwnStep = -1;
};

TEST_F(UnitTableTest, AUnitEvictedDuringTheSweepLivesUntilTheSweepEnds) {
  cSelfEvicting::destroyed = 0;
  cSelfEvicting::destroyedDuringOwnStep = -1;
  PlacePlayer(100.0f, 100.0f);
  for (int i = 0; i < kUnitSlots - 1; ++i) Add<cCrawler>(100.0f, 100.0f);
  Add<cSelfEvicting>(9000.0f, 100.0f);
  UpdateUnits();
  EXPECT_EQ(cSelfEvicting::destroyedDuringOwnStep, 0);
  EXPECT_EQ(cSelfEvicting::destroyed, 1);
  ASSERT_NE(gUnits[kUnitSlots - 1], nullptr);
  EXPECT_EQ(typeid(*gUnits[kUnitSlots - 1]), typeid(cCrawler));

  // Outside a sweep an evicted unit goes at once.
  DeleteAllUnits();
  for (int i = 0; i < kUnitSlots - 1; ++i) Add<cCrawler>(100.0f, 100.0f);
  Add<cSelfEvicting>(9000.0f, 100.0f);
  SpawnUnit(1, 1, 0);
  EXPECT_EQ(cSelfEvicting::destroyed, 2);
  DeleteAllUnits();
  EXPECT_EQ(UnitsInTable(), 0);
}

}  // namespace
