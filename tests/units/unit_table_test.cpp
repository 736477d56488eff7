// The spawn table, slot choice with eviction (never deleting a unit in the middle of a
// sweep), and the level reset.
#include "units/unit_table.h"

#include <gtest/gtest.h>

#include <typeinfo>

#include "tests/units/unit_fixture.h"
#include "units/brett.h"
#include "units/cannon.h"
#include "units/enemy.h"
#include "units/fire_circle.h"
#include "units/hammer.h"
#include "units/killer_blume.h"
#include "units/turtle.h"
#include "world/effects.h"

namespace {

using UnitTableTest = UnitTest;

int UnitsInTable() {
  int count = 0;
  for (cBaseUnit* unit : gUnits) count += unit != nullptr;
  return count;
}

TEST_F(UnitTableTest, EachTypeCodeSpawnsItsUnitAtItsCell) {
  const struct {
    int32_t code;
    const std::type_info& type;
    int32_t storedType;
  } kinds[] = {
      {0, typeid(cCrawler), 0},       {1, typeid(cTurtle), 1},     {2, typeid(cTurtleFly), 2},
      {3, typeid(cSpiky), 3},         {4, typeid(cFireCircle), 4}, {5, typeid(cFireCircle2), 5},
      {6, typeid(cFireCircle3), 6},   {7, typeid(cCannon), 7},     {8, typeid(cBrett), 8},
      {10, typeid(cKillerBlume), 10}, {12, typeid(cFly), 12},      {13, typeid(cHammer), 12},
  };
  for (const auto& kind : kinds) {
    DeleteAllUnits();
    SpawnUnit(2, 3, kind.code);
    ASSERT_NE(gUnits[0], nullptr) << kind.code;
    EXPECT_EQ(typeid(*gUnits[0]), kind.type) << kind.code;
    EXPECT_EQ(gUnits[0]->type, kind.storedType) << kind.code;
    float x = 0, y = 0;
    EXPECT_TRUE(UnitPosition(*gUnits[0], x, y)) << kind.code;
    EXPECT_EQ(UnitsInTable(), 1);
  }

  DeleteAllUnits();
  SpawnUnit(3, 5, 10);
  const auto* plant = static_cast<const cKillerBlume*>(gUnits[0]);
  EXPECT_FLOAT_EQ(plant->x, 112.0f);
  EXPECT_FLOAT_EQ(plant->y, 192.0f);
  SpawnUnit(2, 3, 4);
  EXPECT_FLOAT_EQ(static_cast<const cFireCircle*>(gUnits[1])->centerX, 72.0f);
  EXPECT_EQ(static_cast<const cFireCircle*>(gUnits[1])->ballCount, 5);
  SpawnUnit(2, 3, 6);
  EXPECT_EQ(static_cast<const cFireCircle3*>(gUnits[2])->ballCount, 1);

  // 13 to 18 are all hammers, of rising ranges.
  DeleteAllUnits();
  const int32_t ranges[] = {0, 2, 3, 5, 7, 9};
  for (int32_t code = 13; code <= 18; ++code) SpawnUnit(1, 20, code);
  for (int i = 0; i < 6; ++i) {
    const auto* hammer = dynamic_cast<const cHammer*>(gUnits[i]);
    ASSERT_NE(hammer, nullptr);
    EXPECT_EQ(hammer->range, ranges[i]);
    EXPECT_FLOAT_EQ(hammer->minY, 640.0f - 32 * ranges[i]);
    EXPECT_FLOAT_EQ(hammer->x, 32.0f);
  }

  // 11 places a fire and no unit; 9 and codes outside the table place nothing at all.
  DeleteAllUnits();
  const int32_t fires = gFireField->count;
  SpawnUnit(4, 6, 11);
  EXPECT_EQ(gFireField->count, fires + 1);
  EXPECT_EQ(gFireField->fireX[fires], 128);
  for (int32_t code : {9, -1, kUnitTypeCodes, 1000000}) SpawnUnit(4, 6, code);
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
