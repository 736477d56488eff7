// The boss: where it stands when placed, its sleep and its pacing, three stomps or six fireballs
// that beat it, the flash that spares both sides, and the side that hurts.
#include "units/boss.h"

#include <gtest/gtest.h>

#include "tests/units/unit_fixture.h"
#include "units/unit_table.h"
#include "world/score.h"

namespace {

class BossTest : public UnitTest {
 protected:
  cBoss* Place(int column) {
    SpawnUnit(column, kTestGroundRow - 1, kUnitBoss);
    cBoss* placed = nullptr;  // the last one: earlier ones keep their slots
    for (cBaseUnit* unit : gUnits)
      if (unit && unit->type == kUnitBoss) placed = static_cast<cBoss*>(unit);
    return placed;
  }
  // The player's feet just onto the boss's top, falling.
  void LandOn(const cBoss& boss) {
    PlacePlayer(boss.x + 16, boss.y - kPlayerSize + 10);
    player->speedY = 4.0f;
  }
};

TEST_F(BossTest, StandsWhereItIsPlacedSleepsTillThePlayerComesThenPacesBetweenWallsAndPits) {
  for (int row = kTestGroundRow - 5; row < kTestGroundRow; ++row) Ground(3, 3, row);  // a wall
  cBoss* boss = Place(8);
  ASSERT_NE(boss, nullptr);
  EXPECT_FLOAT_EQ(boss->x, 256.0f);
  EXPECT_FLOAT_EQ(boss->y, kTestGroundY - 64);  // two cells tall, its feet on the ground
  Steps(100);
  EXPECT_FLOAT_EQ(boss->x, 256.0f) << "asleep while the player is far away";

  PlacePlayer(160.0f, kTestGroundY - kPlayerSize - 200);
  Steps(1);
  EXPECT_TRUE(boss->awake);
  EXPECT_LT(boss->speedX, 0.0f) << "it sets off towards the player";
  PlacePlayer(kFarAway, kTestGroundY - kPlayerSize);  // out of reach, it goes on all the same
  float leftmost = boss->x;
  bool leapt = false;
  for (int i = 0; i < 400; ++i) {
    Steps(1);
    leftmost = std::min(leftmost, boss->x);
    leapt = leapt || boss->y < kTestGroundY - 64 - 32;
  }
  EXPECT_GE(leftmost, 4 * 32.0f) << "the wall turns it";
  EXPECT_LT(leftmost, 4 * 32.0f + 4);
  EXPECT_TRUE(leapt) << "now and then it leaps";
  EXPECT_GT(boss->speedX, 0.0f) << "towards the player";
  EXPECT_FLOAT_EQ(boss->y + 64, kTestGroundY) << "and lands back on the ground";

  // The ground's end turns it as well: it never walks or leaps off.
  for (int column = 20; column <= 200; ++column)
    map->groundLayer[CellIndex(column, kTestGroundRow)] = 0;
  for (int i = 0; i < 3000; ++i) {
    Steps(1);
    ASSERT_LE(boss->x + 64, 20 * 32.0f + 2) << i;
  }
}

TEST_F(BossTest, ThreeStompsBeatItAndItFallsOffTheMapWhileAStompDuringTheFlashOnlyBounces) {
  cBoss* boss = Place(8);
  player->power = kPowerBig;
  for (int stomp = 1; stomp <= 3; ++stomp) {
    LandOn(*boss);
    Steps(1);
    EXPECT_FLOAT_EQ(player->speedY, kStompBounce) << stomp;
    EXPECT_EQ(boss->health, 6 - 2 * stomp);
    if (stomp < 3) {
      // A second landing at once is a bounce and no more.
      LandOn(*boss);
      Steps(1);
      EXPECT_EQ(boss->health, 6 - 2 * stomp);
      EXPECT_EQ(player->power, kPowerBig) << "the flashing boss hurts no one";
      PlacePlayer(kFarAway, kTestGroundY - kPlayerSize);
      Steps(90);
    }
  }
  EXPECT_GE(gScore, 5000);
  EXPECT_FALSE(boss->InPlay());
  PlacePlayer(boss->x, boss->y);  // a beaten boss hurts no one either
  for (int i = 0; i < 300 && !boss->dead; ++i) Steps(1);
  EXPECT_TRUE(boss->dead) << "it fell off the bottom of the map";
  EXPECT_EQ(player->power, kPowerBig);
}

TEST_F(BossTest, SixFireballsBeatItOneAFlashAndItsSideHurtsThePlayer) {
  cBoss* boss = Place(8);
  const Rect fireball{int32_t(boss->x) + 20, int32_t(boss->y) + 20, 16, 16};
  for (int hit = 1; hit <= 6; ++hit) {
    EXPECT_EQ(StrikeUnitsTouching(fireball), 1) << hit;
    if (hit < 6) {
      EXPECT_EQ(StrikeUnitsTouching(fireball), 1) << "swallowed while it flashes";
    }
    EXPECT_EQ(boss->health, 6 - hit);
    boss->hurtTimer = 0;
  }
  EXPECT_FALSE(boss->InPlay());
  EXPECT_EQ(StrikeUnitsTouching(fireball), 0) << "a beaten boss no longer stops fireballs";

  // Walking into a fresh boss costs the big player its power, the small one its life.
  cBoss* fresh = Place(20);
  player->power = kPowerBig;
  PlacePlayer(fresh->x - 20, kTestGroundY - kPlayerSize);
  Steps(1);
  EXPECT_EQ(player->power, kPowerSmall);
  player->blinkTimer = 0;
  Steps(1);
  EXPECT_TRUE(player->dying);
}

}  // namespace
