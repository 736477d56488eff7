// Turtles and shells: the stomp into a shell, the rest and coming out, kicks from both sides,
// what a sliding shell knocks and strikes, and the winged turtle's hop and stomp.
#include "units/turtle.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/units/unit_fixture.h"
#include "units/enemy.h"
#include "units/unit_table.h"
#include "world/score.h"

namespace {

constexpr float kOnGround = kTestGroundY - 32;  // a 32-high turtle standing
constexpr float kShellOnGround = kTestGroundY - 29;

using TurtleTest = UnitTest;

// A turtle already in its shell, resting on the ground.
cTurtle* RestingShell(cTurtle* t) {
  t->shellTimer = 500;
  t->height = 29;
  t->speedX = 0;
  t->walksOffEdges = true;
  return t;
}

TEST_F(TurtleTest, AStompLeavesAShellThatRestsThenWalksOutLeft) {
  cTurtle* turtle = Add<cTurtle>(160.0f, kOnGround);
  PlacePlayer(160.0f, kOnGround - 30);
  Steps(1);
  EXPECT_EQ(gScore, 100);
  EXPECT_FLOAT_EQ(player->speedY, -10.0f);
  EXPECT_EQ(Plays(kSoundShell), 1u);
  EXPECT_EQ(turtle->height, 29);
  EXPECT_EQ(turtle->speedX, 0);
  EXPECT_TRUE(turtle->walksOffEdges);

  PlacePlayer(kFarAway, kOnGround);
  Steps(1);
  EXPECT_FLOAT_EQ(turtle->y, kShellOnGround);  // settled on the ground
  const float restX = turtle->x;
  Steps(496);
  EXPECT_TRUE(turtle->InShell());
  EXPECT_FLOAT_EQ(turtle->x, restX);
  Steps(1);  // 499 steps of rest, counting the stomp's own
  EXPECT_FALSE(turtle->InShell());
  EXPECT_EQ(turtle->height, 32);
  EXPECT_FLOAT_EQ(turtle->y, kShellOnGround - 3);  // lifted by the pictures' difference
  EXPECT_EQ(turtle->speedX, -2);
  EXPECT_TRUE(turtle->walksOffEdges);  // for good
}

TEST_F(TurtleTest, WalkingIntoARestingShellKicksItAwayForFourHundred) {
  cTurtle* shell = RestingShell(Add<cTurtle>(160.0f, kShellOnGround));
  PlacePlayer(185.0f, kOnGround);  // against its right half
  Steps(1);
  EXPECT_FLOAT_EQ(shell->x, 135.0f);
  EXPECT_FLOAT_EQ(shell->y, kShellOnGround - 10);
  EXPECT_EQ(shell->speedX, -7);
  EXPECT_EQ(gScore, 400);
  EXPECT_EQ(Plays(kSoundKick), 1u);
  EXPECT_FALSE(player->dying);  // a resting shell never hurts

  cTurtle* other = RestingShell(Add<cTurtle>(600.0f, kShellOnGround));
  PlacePlayer(575.0f, kOnGround);  // against its left half
  shell->dead = true;
  Steps(1);
  EXPECT_FLOAT_EQ(other->x, 625.0f);
  EXPECT_EQ(other->speedX, 7);
  EXPECT_EQ(gScore, 800);

  // The kicked shell slides on; the player catching up with it is hurt.
  PlacePlayer(other->x - 20.0f, kOnGround);
  Steps(1);
  EXPECT_TRUE(player->dying);
}

TEST_F(TurtleTest, LandingOnAShellLaunchesItRightOrStopsIt) {
  cTurtle* shell = RestingShell(Add<cTurtle>(160.0f, kShellOnGround));
  PlacePlayer(170.0f, kShellOnGround - 30);  // right of its middle: still launched right
  Steps(1);
  EXPECT_EQ(shell->speedX, 7);
  EXPECT_EQ(shell->shellTimer, 500);
  EXPECT_EQ(gScore, 100);

  PlacePlayer(shell->x - 10.0f, shell->y - 30);
  Steps(1);
  EXPECT_EQ(shell->speedX, 0);
  EXPECT_EQ(shell->shellTimer, 499);  // the rest starts again, counting this step
  EXPECT_FALSE(player->dying);
}

TEST_F(TurtleTest, ASlidingShellKnocksOffEveryKindOfEnemyButItself) {
  cTurtle* shell = RestingShell(Add<cTurtle>(160.0f, kShellOnGround));
  shell->speedX = 7;
  cCrawler* crawler = Add<cCrawler>(175.0f, kOnGround);
  cSpiky* spiky = Add<cSpiky>(180.0f, kOnGround);
  cTurtle* turtle = Add<cTurtle>(185.0f, kOnGround);
  cTurtleFly* fly = Add<cTurtleFly>(170.0f, kOnGround);
  cCrawler* squashed = Add<cCrawler>(178.0f, kOnGround);
  squashed->squashTimer = 4;
  cCrawler* falling = Add<cCrawler>(176.0f, kOnGround);
  falling->knockedOff = true;
  Steps(1);
  EXPECT_TRUE(crawler->knockedOff);
  EXPECT_TRUE(spiky->knockedOff);
  EXPECT_TRUE(turtle->knockedOff);
  EXPECT_TRUE(fly->knockedOff);
  EXPECT_FALSE(squashed->knockedOff);
  EXPECT_FALSE(shell->knockedOff);
  EXPECT_EQ(gScore, 100 + 250 + 200 + 200);  // a falling one does not pay again
  EXPECT_EQ(Plays(kSoundKick), 4u);
}

TEST_F(TurtleTest, ASlidingShellAtAWallStrikesTheBlocksBeyondBothSides) {
  // Bricks one cell left and right of the shell, at four fifths of its height.
  map->blockLayer[CellIndex(4, kTestGroundRow - 1)] = kBlockBrick;
  map->blockLayer[CellIndex(6, kTestGroundRow - 1)] = kBlockBrick;
  cTurtle* shell = RestingShell(Add<cTurtle>(160.0f, kShellOnGround));
  shell->speedX = 7;
  player->jumpTimer = 5;
  Steps(1);
  // Broken even under a small player, without ending the player's jump.
  EXPECT_EQ(map->blockLayer[CellIndex(4, kTestGroundRow - 1)], 0);
  EXPECT_EQ(map->blockLayer[CellIndex(6, kTestGroundRow - 1)], 0);
  EXPECT_EQ(gScore, 100);
  EXPECT_EQ(player->jumpTimer, 5);
  EXPECT_EQ(map->shellHit, 0);
  EXPECT_EQ(shell->speedX, -7);  // and it turned

  // A resting shell beside the same kind of wall strikes nothing.
  map->blockLayer[CellIndex(4, kTestGroundRow - 1)] = kBlockBrick;
  map->blockLayer[CellIndex(6, kTestGroundRow - 1)] = kBlockBrick;
  shell->dead = true;
  RestingShell(Add<cTurtle>(160.0f, kShellOnGround));
  Steps(1);
  EXPECT_EQ(map->blockLayer[CellIndex(6, kTestGroundRow - 1)], kBlockBrick);
}

TEST_F(TurtleTest, ShellsInTheWayTurnWalkers) {
  RestingShell(Add<cTurtle>(200.0f, kShellOnGround))->Update();
  cCrawler* crawler = Add<cCrawler>(230.0f, kOnGround);
  Steps(1);
  EXPECT_EQ(crawler->speedX, 2);
  EXPECT_FLOAT_EQ(crawler->x, 232.0f);  // the move, then pushed back twice the new speed
}

TEST_F(TurtleTest, AWingedTurtleHopsAndAStompLeavesAWalkingTurtle) {
  cTurtleFly* fly = Add<cTurtleFly>(160.0f, kOnGround);
  float top = fly->y;
  for (int i = 0; i < 40; ++i) {
    Steps(1);
    top = std::min(top, fly->y);
  }
  EXPECT_LT(top, kOnGround - 64);  // a hop well over two cells

  PlacePlayer(fly->x, fly->y - 30);
  const float x = fly->x, y = fly->y;
  fly->Stomp();
  EXPECT_TRUE(fly->dead);
  EXPECT_EQ(gScore, 200);
  EXPECT_FLOAT_EQ(player->speedY, -10.0f);
  ASSERT_NE(gUnits[1], nullptr);
  ASSERT_EQ(gUnits[1]->type, kUnitTurtle);
  const cTurtle* turtle = static_cast<const cTurtle*>(gUnits[1]);
  EXPECT_FLOAT_EQ(turtle->x, float(int(x)));
  EXPECT_FLOAT_EQ(turtle->y, float(int(y)));
  EXPECT_EQ(turtle->speedX, -2);
  EXPECT_EQ(turtle->shellTimer, 0);
}

TEST_F(TurtleTest, AWingedTurtleStompedIntoAFullTableLeavesNothing) {
  cTurtleFly* fly = Add<cTurtleFly>(160.0f, kOnGround);
  for (int i = 1; i < kUnitSlots; ++i) Add<cCrawler>(5000.0f + i, kOnGround);
  cBaseUnit* before[kUnitSlots];
  std::copy(std::begin(gUnits), std::end(gUnits), before);
  PlacePlayer(160.0f, kOnGround - 30);
  fly->Stomp();
  EXPECT_TRUE(fly->dead);
  EXPECT_TRUE(std::equal(std::begin(gUnits), std::end(gUnits), before));
}

}  // namespace
