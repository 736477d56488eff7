// The shipped level, played: replays in tests/replays run through the real game frame on the
// game's own data, and the level file is checked for the pieces the level is built from.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/checkpoints.h"
#include "app/death_marks.h"
#include "app/hud.h"
#include "app/resources.h"
#include "app/results.h"
#include "app/sim.h"
#include "platform/data_dir.h"
#include "player/fireballs.h"
#include "player/player.h"
#include "tests/support/kept_globals.h"
#include "units/base_unit.h"
#include "units/enemy.h"
#include "world/camera.h"
#include "world/codes.h"
#include "world/level_file.h"
#include "world/map.h"
#include "world/messages.h"
#include "world/score.h"

namespace {

// What a replay did.
struct Outcome {
  std::set<int> messages;  // every message shown at some frame
  int deathFrame = -1;     // the first frame the player was dying, -1 if it never died
  int deathMessage = -1;   // the message shown when the player died
  int livesAtEnd = 0;
  float furthestX = 0;
  float xAtEnd = 0;
  std::vector<std::pair<float, float>> footholds;  // (x, y) of every frame stood on
  std::vector<float> starFootholds;                // x of every frame stood on while invincible
  int highestPower = 0;
  float farthestFireball = 0;  // world x
  int goalFrame = -1;          // the frame the goal was reached, -1 if never
  bool resultsAtEnd = false;
  int checkpointAtDeath = -1;  // the checkpoint last reached when the player died
  float xAfterRetry = -1;      // where the player stood on the first frame after the death
  int retryFrame = -1;         // that frame
  int firstGroundAfterRetry = -1;
  std::map<std::string, int> collisions;  // frames of "SIGN through the status line" and more
};

// A replay's events, read from its file.
std::vector<SimEvent> ReplayEvents(const std::string& name) {
  std::ifstream file(std::string(BRINKHOP_REPLAYS) + "/" + name);
  EXPECT_TRUE(file.good()) << name;
  const std::string script((std::istreambuf_iterator<char>(file)), {});
  std::vector<SimEvent> events;
  std::string error;
  EXPECT_TRUE(ParseSimScript(script, events, error)) << name << ": " << error;
  return events;
}

class ReplayTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr); }
  void TearDown() override {
    gStartCell = StartCell{};
    ASSERT_EQ(chdir(cwd), 0);
  }

  // Plays a replay for `frames` frames, or (unless it is to go on) until a few frames after
  // a death.
  Outcome Play(const std::string& name, int frames, bool goOnAfterDeath = false) {
    Outcome out;
    const std::vector<SimEvent> events = ReplayEvents(name);
    std::string error;
    cSimulation sim;
    EXPECT_TRUE(sim.Start(FindDataDirectory(), error)) << error;
    for (int frame = 0; frame < frames; ++frame) {
      sim.RunFrame(events);
      if (gMessageIndex >= 0) out.messages.insert(gMessageIndex);
      NoteTextCollisions(out.collisions);
      if (gPlayer->dying && out.deathFrame < 0) {
        out.deathFrame = frame;
        out.checkpointAtDeath = gCheckpointReached;
      }
      if (!gPlayer->dying && out.deathFrame >= 0 && out.xAfterRetry < 0) {
        out.xAfterRetry = gPlayer->x;
        out.retryFrame = frame;
      }
      if (out.retryFrame >= 0 && out.firstGroundAfterRetry < 0 && gPlayer->onGround)
        out.firstGroundAfterRetry = frame;
      if (!gPlayer->dying && gPlayer->x > out.furthestX) out.furthestX = gPlayer->x;
      if (!gPlayer->dying && gPlayer->onGround) out.footholds.emplace_back(gPlayer->x, gPlayer->y);
      if (!gPlayer->dying && gPlayer->onGround && gPlayer->starTimer > 0)
        out.starFootholds.push_back(gPlayer->x);
      out.highestPower = std::max(out.highestPower, gPlayer->power);
      for (const cFireball* ball : gFireballs)
        if (ball && ball->active) out.farthestFireball = std::max(out.farthestFireball, ball->x);
      if (gGoalReached && out.goalFrame < 0) out.goalFrame = frame;
      // A death message may come a moment after the fall starts.
      if (out.deathFrame >= 0 && frame == out.deathFrame + 30) {
        out.deathMessage = gMessageIndex;
        if (!goOnAfterDeath) break;
      }
    }
    if (out.deathFrame >= 0 && out.xAfterRetry < 0) out.deathMessage = gMessageIndex;
    out.livesAtEnd = gLives;
    out.resultsAtEnd = gResultsShown;
    out.xAtEnd = gPlayer->x;
    return out;
  }

  // Level text and coins scroll under the heads-up display's fixed lines: a sign or a coin
  // drawn through the status or distance line, or a message over a sign or a coin, leaves
  // neither readable. Counted per thing and frame while the player is alive.
  static void NoteTextCollisions(std::map<std::string, int>& covered) {
    if (!gPlayer || gPlayer->dying) return;
    const HudTextBoxes hud = CurrentHudTextBoxes();
    const CameraView view = DrawnView();
    const float scale = 480 / (view.right - view.left);
    auto overlaps = [](const HudBox& box, float left, float top, float right, float bottom) {
      return box.w > 0 && right > float(box.x) && left < float(box.x + box.w) &&
             bottom > float(box.y) && top < float(box.y + box.h);
    };
    const std::string message = gMessageIndex >= 0 ? kMessages[gMessageIndex] : "";
    auto check = [&](const std::string& what, float left, float top, float right, float bottom) {
      if (overlaps(hud.status, left, top, right, bottom))
        ++covered[what + " through the status line"];
      if (overlaps(hud.distance, left, top, right, bottom))
        ++covered[what + " through the distance line"];
      if (overlaps(hud.message, left, top, right, bottom))
        ++covered["\"" + message + "\" over " + what];
    };
    for (int column = std::max(0, int(view.left / 32) - 20); column <= int(view.right / 32);
         ++column)
      for (int row = std::max(0, int(view.top / 32)); row <= int(view.bottom / 32); ++row) {
        if (!CellInGrid(column, row)) continue;
        const int cell = CellIndex(column, row);
        if (!gMap->revealLayer[cell]) continue;
        const float left = (column * 32 - view.left) * scale;
        const float top = (row * 32 - view.top) * scale;
        const int32_t label = gMap->labelLayer[cell];
        if (label >= 0 && label < kMaxLabels)
          check("\"" + std::string(gMap->labels[label]) + "\" at " + std::to_string(column), left,
                top, left + float(std::strlen(gMap->labels[label])) * 16 * scale, top + 16 * scale);
        if (gMap->coinLayer[cell] != 0)
          check("the coin at " + std::to_string(column) + "," + std::to_string(row), left, top,
                left + 32 * scale, top + 32 * scale);
      }
  }

  char cwd[PATH_MAX];
};

// Every replay carries its own expectation, as a recording does: its `end` line, then a
// comment holding the simulator's trace of that last frame. A new replay is a new file.
std::vector<std::string> ReplayNames() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(BRINKHOP_REPLAYS))
    if (entry.path().extension() == ".txt") names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The trace line in the comment after the end line, empty if there is none.
std::string ExpectedLastLine(const std::string& script) {
  std::string expected;
  size_t start = 0;
  while (start < script.size()) {
    size_t end = script.find('\n', start);
    if (end == std::string::npos) end = script.size();
    const std::string line = script.substr(start, end - start);
    if (line.rfind("# {", 0) == 0) expected = line.substr(2);
    start = end + 1;
  }
  return expected;
}

class ReplayFileTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override { ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr); }
  void TearDown() override { ASSERT_EQ(chdir(cwd), 0); }
  char cwd[PATH_MAX];
};

TEST_P(ReplayFileTest, EndsInTheStateItsLastLineHolds) {
  std::ifstream file(std::string(BRINKHOP_REPLAYS) + "/" + GetParam());
  ASSERT_TRUE(file.good());
  const std::string script((std::istreambuf_iterator<char>(file)), {});
  std::vector<SimEvent> events;
  std::string error;
  ASSERT_TRUE(ParseSimScript(script, events, error)) << error;
  const int end = SimScriptEnd(events);
  ASSERT_GE(end, 0) << "no end line";
  const std::string expected = ExpectedLastLine(script);
  ASSERT_FALSE(expected.empty()) << "no comment with the last frame's trace line";
  cSimulation sim;
  ASSERT_TRUE(sim.Start(FindDataDirectory(), error)) << error;
  for (int frame = 0; frame <= end; ++frame) sim.RunFrame(events);
  EXPECT_EQ(sim.TraceLine(false), expected);
}

INSTANTIATE_TEST_SUITE_P(Replays, ReplayFileTest, ::testing::ValuesIn(ReplayNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param.substr(0, info.param.rfind('.'));
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

constexpr int kBossColumn = 672;  // the "HI, FINAL BOSS!!!" trigger

TEST_F(ReplayTest, TheWholeLevelCanBePlayedToTheBossWithoutALifeLost) {
  const Outcome run = Play("complete.txt", 3600);
  EXPECT_EQ(run.deathFrame, -1);
  EXPECT_EQ(run.livesAtEnd, 5);
  EXPECT_TRUE(run.messages.count(13)) << "the boss greeting was never shown";
  EXPECT_GE(run.furthestX, float(kBossColumn * 32));
  // The straight way: through the sea, past both castles, no warp room shortcut.
  for (int message : {5, 11, 12}) EXPECT_TRUE(run.messages.count(message)) << message;
  EXPECT_FALSE(run.messages.count(8));
  // Past the boss the goal ends the level: the walk on, then the results screen.
  EXPECT_GT(run.goalFrame, 0);
  EXPECT_TRUE(run.resultsAtEnd);
}

TEST_F(ReplayTest, TheWarpRoomIsAShortcutToTheBoss) {
  const Outcome run = Play("warpzone_shortcut.txt", 3600);
  EXPECT_EQ(run.deathFrame, -1);
  EXPECT_EQ(run.livesAtEnd, 5);
  for (int message : {8, 10, 13}) EXPECT_TRUE(run.messages.count(message)) << message;
  EXPECT_FALSE(run.messages.count(12)) << "the shortcut skips the sea";
}

// A retry never costs much: along the completion, the start, every checkpoint and the goal
// follow each other within 20 s of play, and every checkpoint stands on the ground.
TEST_F(ReplayTest, RetryPointsAreNoMoreThan600FramesApartAlongTheCompletion) {
  constexpr int kMostFramesApart = 600;
  const std::vector<SimEvent> events = ReplayEvents("complete.txt");
  std::string error;
  cSimulation sim;
  ASSERT_TRUE(sim.Start(FindDataDirectory(), error)) << error;
  std::vector<int> points = {0};
  int reached = gCheckpointReached;
  for (int frame = 0; frame < 3600 && !gGoalReached; ++frame) {
    sim.RunFrame(events);
    if (gCheckpointReached != reached) points.push_back(frame);
    reached = gCheckpointReached;
    if (gGoalReached) points.push_back(frame);
  }
  ASSERT_TRUE(gGoalReached);
  ASSERT_GE(gMap->checkpoints.size(), 4u);
  EXPECT_EQ(reached, int(gMap->checkpoints.size()) - 1) << "a checkpoint passed by";
  for (size_t i = 1; i < points.size(); ++i)
    EXPECT_LE(points[i] - points[i - 1], kMostFramesApart) << "from frame " << points[i - 1];
  for (const LevelCell& cell : gMap->checkpoints) {
    EXPECT_EQ(gMap->SolidValue(cell.column, cell.row), 0) << cell.column;
    EXPECT_NE(gMap->SolidValue(cell.column, cell.row + 1), 0) << cell.column << " is in the air";
  }
}

// A death past a checkpoint retries there, on the ground and ready to go: the player stands
// on the checkpoint's cell within a few frames of the retry, with no fall from above.
TEST_F(ReplayTest, ARetryAfterADeathPastACheckpointStartsOnTheGroundAtIt) {
  constexpr int kLandingFrames = 3;
  for (int checkpoint : {0, 1, 2, 3, 4, 5}) {
    const std::string name = "retry_from_checkpoint_" + std::to_string(checkpoint) + ".txt";
    SCOPED_TRACE(name);
    const Outcome run = Play(name, 3600, true);
    ASSERT_GE(run.deathFrame, 0);
    EXPECT_EQ(run.checkpointAtDeath, checkpoint);
    const LevelCell& cell = gMap->checkpoints[size_t(checkpoint)];
    EXPECT_NEAR(run.xAfterRetry, float(cell.column * 32), 2.0f);
    ASSERT_GE(run.retryFrame, 0);
    ASSERT_GE(run.firstGroundAfterRetry, 0);
    EXPECT_LE(run.firstGroundAfterRetry - run.retryFrame, kLandingFrames);
    EXPECT_LE(run.livesAtEnd, 4);
  }
}

// A hidden killer kills once, then shows: the death leaves its marker, and after the retry the
// boxes that hid over the easy gap are drawn faintly where the head found them.
TEST_F(ReplayTest, TheGapThatKilledShowsItsMarkerAndItsHiddenBoxesAfterTheRetry) {
  const Outcome run = Play("retry_past_the_marked_gap.txt", 931, true);
  EXPECT_EQ(run.deathMessage, 1);  // TOUCH THE INVISIBLE BOX
  EXPECT_EQ(run.checkpointAtDeath, 0);
  ASSERT_EQ(gDeathMarks.size(), 1u);
  // At the gap's rim, where the fall went out of the view, not at the depth it ended at.
  EXPECT_NEAR(gDeathMarks[0].x / 32, 131, 2);
  EXPECT_NEAR(gDeathMarks[0].y / 32, 40, 1);
  bool boxOverGap = false;
  for (const KillerTell& tell : gKillerTells)
    boxOverGap |= tell.kind == UnseenKiller::kHiddenBox && tell.column >= 129 && tell.column <= 131;
  EXPECT_TRUE(boxOverGap);
  EXPECT_FALSE(gPlayer->dying);
  EXPECT_NEAR(gPlayer->x / 32, 134, 1) << "back at the gap, with its marks in view";
}

// The arena before the goal is not walked through: a player who holds right under the
// boss's greeting and does not hop burns on the first fire.
TEST_F(ReplayTest, TheBossArenaBurnsAPlayerWhoDoesNotJump) {
  const Outcome run = Play("death_boss_arena.txt", 3600);
  ASSERT_GE(run.deathFrame, 0) << "walked through the arena";
  EXPECT_TRUE(run.messages.count(13));
  EXPECT_GT(run.furthestX, float(kBossColumn * 32));
  EXPECT_LT(run.furthestX, float(680 * 32));
  EXPECT_EQ(run.goalFrame, -1);
}

// The message over a gap names its hidden boxes: it comes from a head that found one, never
// from a player who only walked into the gap. Past the sea the walkway hurries the player to
// such a gap, and a jump from its very end finds the boxes over the edge.
TEST_F(ReplayTest, OnlyTheHiddenBoxesOverTheGapNameTheirTrap) {
  const Outcome walkedIn = Play("fall_into_easy_gap.txt", 900);
  ASSERT_GE(walkedIn.deathFrame, 0) << "walked over the gap";
  EXPECT_FALSE(walkedIn.messages.count(1));
  EXPECT_EQ(walkedIn.deathMessage, kNoMessage);
  const std::pair<const char*, int> jumpsFromTheEdge[] = {{"death_invisible_box.txt", 129},
                                                          {"death_free_ride.txt", 574}};
  for (const auto& [name, gapColumn] : jumpsFromTheEdge) {
    SCOPED_TRACE(name);
    const Outcome bumped = Play(name, 2600);
    ASSERT_GE(bumped.deathFrame, 0);
    EXPECT_EQ(bumped.deathMessage, 1);  // TOUCH THE INVISIBLE BOX
    ASSERT_FALSE(bumped.footholds.empty());
    EXPECT_NEAR(bumped.footholds.back().first, float(gapColumn * 32), 32.0f)
        << "jumped from the gap's edge";
  }
}

// The tall wall is climbed by the stair that comes up at its foot: wherever a player running
// at it first jumps, nothing overhead cuts the jump short, and a jump or two more stands them
// on top.
TEST_F(ReplayTest, AnyRunUpJumpAtTheTallWallEndsOnTop) {
  constexpr float kWallTop = 34 * 32, kWallLeft = 150 * 32, kWallRight = 153 * 32;
  gStartCell = {136, 39};
  for (int firstJump = 20; firstJump <= 50; firstJump += 3) {
    SCOPED_TRACE(firstJump);
    std::string script = "0 key right down\n";
    for (int press = firstJump; press < firstJump + 150; press += 35)
      script += std::to_string(press) + " key jump down\n" + std::to_string(press + 20) +
                " key jump up\n";
    std::vector<SimEvent> events;
    std::string error;
    ASSERT_TRUE(ParseSimScript(script, events, error)) << error;
    cSimulation sim;
    ASSERT_TRUE(sim.Start(FindDataDirectory(), error)) << error;
    bool onTop = false, cutShort = false;
    for (int frame = 0; frame < firstJump + 150 && !onTop; ++frame) {
      sim.RunFrame(events);
      cutShort |= gPlayer->headBlocked && gPlayer->x < kWallLeft;
      onTop = gPlayer->onGround && gPlayer->y < kWallTop && gPlayer->x + 32 > kWallLeft &&
              gPlayer->x < kWallRight;
    }
    EXPECT_TRUE(onTop);
    EXPECT_FALSE(cutShort) << "a box over the run-up bumped the head";
    EXPECT_FALSE(gPlayer->dying);
  }
}

// The room in the sky is no dead end: its open side leads down a way of stone steps over the
// pads and their ceilings, past the first checkpoint, back onto the ground ahead.
TEST_F(ReplayTest, TheSkyRoomLeadsDownOntoTheRouteAhead) {
  const Outcome run = Play("secret_sky_room.txt", 1150);
  EXPECT_EQ(run.deathFrame, -1);
  EXPECT_TRUE(run.messages.count(6));  // FOUND A SECRET ROOM
  constexpr float kRoomFloor = 13 * 32, kPadsEnd = 252 * 32, kRouteY = 38 * 32;
  bool inRoom = false, onRouteAhead = false;
  for (const auto& [x, y] : run.footholds) {
    inRoom |= y < kRoomFloor && x < 216 * 32;
    onRouteAhead |= inRoom && x > kPadsEnd && y >= kRouteY;
  }
  EXPECT_TRUE(inRoom);
  EXPECT_TRUE(onRouteAhead) << "never came back down past the pads";
  EXPECT_EQ(gCheckpointReached, 2) << "the way down passes the checkpoint past the pads";
  EXPECT_GE(gCoins, 40) << "the room and its steps are worth the climb";
}

// "HELLO!", and three crawlers drop from the sky: in sight as they fall and far enough ahead
// that one who walks on without a jump sees them as long before the touch as any walker that
// comes into view gives (the first drop landed on the walker's head a quarter second after
// it showed).
TEST_F(ReplayTest, TheAmbushFallsInSightWithTimeToReact) {
  constexpr int kWalkOnFrom = 1600;  // the completion walks past the sign here, right held
  constexpr int kReactFrames = 15;
  std::vector<SimEvent> events = ReplayEvents("complete.txt");
  std::string error;
  std::erase_if(events, [](const SimEvent& event) { return event.frame >= kWalkOnFrom; });
  cSimulation sim;
  ASSERT_TRUE(sim.Start(FindDataDirectory(), error)) << error;
  while (sim.FramesRun() < kWalkOnFrom) sim.RunFrame(events);
  int seenFalling = -1;
  while (sim.FramesRun() < kWalkOnFrom + 120 && !gPlayer->dying) {
    sim.RunFrame(events);
    const CameraView view = DrawnView();
    for (const cBaseUnit* unit : gUnits) {
      const auto* crawler = dynamic_cast<const cEnemy*>(unit);
      float x = 0, y = 0;
      if (!crawler || crawler->type != kUnitCrawler || !crawler->Position(x, y)) continue;
      const bool ahead = x > gPlayer->x + 64, falling = !crawler->onGround;
      if (seenFalling < 0 && ahead && falling && x < view.right && y + 32 > view.top)
        seenFalling = sim.FramesRun() - 1;
    }
  }
  ASSERT_TRUE(gPlayer->dying) << "walked through the ambush";
  ASSERT_GE(seenFalling, 0) << "the drop was never seen";
  EXPECT_GE(sim.FramesRun() - 1 - seenFalling, kReactFrames);
  EXPECT_GT(gPlayer->x, 384 * 32.0f) << "met them past the sign, where they landed";
}

// The first of the two holes keeps a player who only jumps straight up, but it is no dead end:
// the box hidden in its wall comes out as the player lands, and from the hole's open side that
// box is a step out.
TEST_F(ReplayTest, TheHoleKeepsAJumperButNotAFinder) {
  constexpr float kHoleX = 400 * 32, kGroundY = 40 * 32;
  const Outcome jumping = Play("stuck_in_the_hole.txt", 1800);
  EXPECT_TRUE(jumping.messages.count(3));  // STUCK IN THE HOLE
  EXPECT_EQ(jumping.deathFrame, -1);
  EXPECT_NEAR(jumping.xAtEnd, kHoleX + 32, 2.0f) << "still in the hole after two jumps";
  EXPECT_GT(gPlayer->y, kGroundY);
  EXPECT_EQ(gMap->blockLayer[CellIndex(401, 44)], kBlockUsedBox) << "the box came out";

  const Outcome out = Play("stuck_in_the_hole.txt", 2000);
  EXPECT_EQ(out.deathFrame, -1);
  EXPECT_TRUE(std::any_of(out.footholds.begin(), out.footholds.end(), [&](const auto& at) {
    return at.first > kHoleX + 16 && at.second < 44 * 32 && at.second > kGroundY;
  })) << "never stood on the box";
  EXPECT_GT(out.xAtEnd, kHoleX + 2 * 32);
  EXPECT_LT(out.xAtEnd, 410 * 32.0f) << "stopped before the second hole";
  EXPECT_LT(gPlayer->y, kGroundY);
}

// The two growth boxes by the hill give the mushroom and then the fire; thrown along the
// ground past the pyramid, one fireball knocks off the lone crawler, which falls out of sight.
TEST_F(ReplayTest, TheFireBonusClearsTheLoneCrawler) {
  const Outcome run = Play("fire_clears_the_way.txt", 491);
  EXPECT_EQ(run.deathFrame, -1);
  EXPECT_EQ(run.highestPower, kPowerFire);
  EXPECT_EQ(gPlayer->power, kPowerFire);
  EXPECT_GT(run.farthestFireball, 1500.0f);  // far past the first screen's 480 px
  constexpr float kPyramidX = 40 * 32, kPlateauX = 70 * 32;
  int knocked = 0;
  for (const cBaseUnit* unit : gUnits) {
    const auto* enemy = dynamic_cast<const cEnemy*>(unit);
    if (!enemy || enemy->x < kPyramidX || enemy->x > kPlateauX) continue;
    EXPECT_TRUE(enemy->knockedOff) << "type " << enemy->type << " at " << enemy->x;
    EXPECT_TRUE(enemy->dead);  // fallen out of sight
    ++knocked;
  }
  EXPECT_EQ(knocked, 1);
  EXPECT_EQ(gScore, 1500);  // seven coins over the pit and the pyramid, and the crawler's 100
}

// The lift's ledge is an upper way, not a dead end: the board carries the player up to it,
// and from it a bridge of boxes leads over the second castle's near tower onto its roof.
TEST_F(ReplayTest, TheBoardLiftsThePlayerOntoTheLedgeAndOnOverTheCastle) {
  const Outcome run = Play("lift_to_the_ledge.txt", 2740);
  EXPECT_EQ(run.deathFrame, -1);
  constexpr float kLedgeLeft = 593 * 32, kLedgeTop = 28 * 32, kRouteY = 39 * 32;
  constexpr float kBridgeLeft = 607 * 32, kBridgeRight = 612 * 32, kBridgeTop = 29 * 32;
  constexpr float kRoofLeft = 615 * 32, kRoofRight = 623 * 32, kRoofTop = 31 * 32;
  auto standsOn = [](float y, float top) { return y < top && y > top - 48; };
  bool onBoardAboveRoute = false, onLedge = false, onBridge = false, onRoof = false;
  for (const auto& [x, y] : run.footholds) {
    onBoardAboveRoute |= x < kLedgeLeft && y < kRouteY - 64;  // carried, not on the ground
    onLedge |= x >= kLedgeLeft && x < kBridgeLeft && standsOn(y, kLedgeTop);
    onBridge |= x >= kBridgeLeft && x < kBridgeRight && standsOn(y, kBridgeTop);
    onRoof |= x >= kRoofLeft && x <= kRoofRight && standsOn(y, kRoofTop);
  }
  EXPECT_TRUE(onBoardAboveRoute);
  EXPECT_TRUE(onLedge);
  EXPECT_TRUE(onBridge);
  EXPECT_TRUE(onRoof);
}

// The star over the second castle's roof is the upper way's reward: carried down among the
// hammers, it lets the player walk through the ones shaking on the ground between the pits.
TEST_F(ReplayTest, TheStarFromTheRoofCarriesThroughTheHammers) {
  const Outcome run = Play("star_over_the_hammers.txt", 3120);
  EXPECT_EQ(run.deathFrame, -1);
  for (int hammerColumn : {644, 655}) {
    const float hammerX = float(hammerColumn * 32);
    EXPECT_TRUE(std::any_of(run.starFootholds.begin(), run.starFootholds.end(),
                            [&](float x) { return x > hammerX - 24 && x < hammerX + 24; }))
        << "never stood by the hammer at " << hammerColumn << " while invincible";
  }
  EXPECT_GT(run.furthestX, float(kBossColumn * 32)) << "past the hammers to the boss";
}

// Wherever a replay goes, no sign or coin is drawn through the status or distance line and no
// message over a sign or a coin for longer than the shortest hop stays in the air: the drawn
// view holds still through a hop, so a coin over a ledge may show under a line until the view
// settles on the ledge.
TEST_F(ReplayTest, NoTextOrCoinCollidesWithTheHeadsUpDisplay) {
  constexpr int kGlanceFrames = 18;
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(BRINKHOP_REPLAYS))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  ASSERT_GE(names.size(), 15u);
  for (const std::string& name : names) {
    const Outcome run = Play(name, 3600, true);
    for (const auto& [collision, frames] : run.collisions)
      if (frames > kGlanceFrames)
        ADD_FAILURE() << name << ": " << collision << ", " << frames << " frames";
  }
}

// The level holds every piece a level can be built from.
TEST(ShippedLevel, HoldsEveryUnitBlockTrapAndMessage) {
  LevelData level;
  std::string error;
  ASSERT_TRUE(ReadLevelFile(FindDataDirectory() + "/level", level, error)) << error;
  std::set<int> units, blocks, decos, triggerLinks;
  int coins = 0, lastColumn = 0;
  for (int column = 0; column < kMapColumns; ++column)
    for (int row = 0; row < kMapRows; ++row) {
      const size_t cell = size_t(CellIndex(column, row));
      if (level.layers[kFileUnit][cell] > 0) units.insert(level.layers[kFileUnit][cell] - 1);
      if (level.layers[kFileBlock][cell] > 0) blocks.insert(level.layers[kFileBlock][cell]);
      if (level.layers[kFileDeco][cell] > 0) decos.insert(level.layers[kFileDeco][cell]);
      if (level.layers[kFileCoin][cell] != 0) ++coins;
      if (level.layers[kFileTrigger][cell] >= 0)
        triggerLinks.insert(level.layers[kFileTrigger][cell] & 0xFFFF);
      if (level.layers[kFileGround][cell] || level.layers[kFileBlock][cell]) lastColumn = column;
    }
  EXPECT_GE(lastColumn, 600);
  // The goal lies past the boss's greeting and within the level; caves and castles are dark.
  ASSERT_TRUE(level.hasGoal);
  EXPECT_GT(level.goal.column0, kBossColumn);
  EXPECT_LE(level.goal.column1, lastColumn);
  EXPECT_EQ(BackdropAt(level, 420, 50), kBackdropCave);  // the warp room
  EXPECT_EQ(BackdropAt(level, 305, 36), kBackdropCastle);
  EXPECT_EQ(BackdropAt(level, 100, 30), kBackdropSky);
  EXPECT_GT(coins, 100);  // enough for an extra life
  // Units spawned by triggers count too.
  for (const LevelTrigger& trigger : level.triggers)
    if (trigger.kind == 1) units.insert(trigger.unitType);
  // The boss waits for the finale's arena to be built round it.
  for (int code = 0; code < kUnitTypeCodes; ++code)
    if (code != kUnitNothing) {
      EXPECT_TRUE(units.count(code)) << "unit " << code;
    }
  for (int code : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 14, 32, 33})
    EXPECT_TRUE(blocks.count(code)) << "block " << code;
  for (int code : {3, 4, 5}) EXPECT_TRUE(decos.count(code)) << "decoration " << code;
  // Every message trigger exists, is a message and is linked from the map (the money room's
  // lives in its own file).
  ASSERT_GE(level.triggers.size(), 68u);
  for (int index = 53; index <= 67; ++index) {
    EXPECT_EQ(level.triggers[size_t(index)].kind, 5) << index;
    if (index != 61) {
      EXPECT_TRUE(triggerLinks.count(index)) << "message trigger " << index;
    }
  }
  std::set<int> kinds;
  for (size_t index = 0; index < level.triggers.size(); ++index)
    if (triggerLinks.count(int(index))) kinds.insert(level.triggers[index].kind);
  for (int kind : {0, 1, 2, 3, 5}) EXPECT_TRUE(kinds.count(kind)) << "trigger kind " << kind;
  // The tool's stats agree with what the file holds.
  std::FILE* pipe = popen(
      (std::string(BRINKHOP_LEVEL_TOOL) + " stats " + FindDataDirectory() + "/level").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string stats;
  char buffer[4096];
  while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) stats.append(buffer, n);
  EXPECT_EQ(pclose(pipe), 0);
  for (const std::string& line :
       {"coins: " + std::to_string(coins) + "\n", std::string("walkway-left(32)"),
        std::string("walkway-right(33)"),
        std::string("units spawned by triggers: crawler(0) 3, boss(19) 1"),
        "warps: " + std::to_string(level.warps.size()) + ": bonus"})
    EXPECT_NE(stats.find(line), std::string::npos) << line << " in\n" << stats;
  ASSERT_FALSE(level.warps.empty());
  for (const LevelWarp& warp : level.warps) {
    std::ifstream target(FindDataDirectory() + "/" + warp.fileName);
    EXPECT_TRUE(target.good()) << warp.fileName;
  }
}

// A fire chain turns in sight: to a player standing on the ground under it, its pivot shows
// below the distance line, not behind the status line or above the view, from where only the
// tips of its balls would come down.
TEST(ShippedLevel, EveryFireChainTurnsInSight) {
  LevelData level;
  std::string error;
  ASSERT_TRUE(ReadLevelFile(FindDataDirectory() + "/level", level, error)) << error;
  cKeptGlobals kept;
  kept.Keep(gCamera, gCameraDistance);
  gCamera[2] = gCameraDistance = kDefaultCameraDistance;
  const CameraView view = VisibleView();
  const float scale = 320 / (view.bottom - view.top);  // landscape px per world px
  const HudTextBoxes hud = CurrentHudTextBoxes();
  const float highest = (160.0f - float(hud.distance.y + hud.distance.h)) / scale;  // world px
  int chains = 0;
  for (int column = 0; column < kMapColumns; ++column)
    for (int row = 0; row < kMapRows; ++row) {
      const int unit = level.layers[kFileUnit][size_t(CellIndex(column, row))] - 1;
      if (unit != kUnitFireCircle && unit != kUnitFireCircle2 && unit != kUnitFly) continue;
      ++chains;
      int ground = row + 1;
      while (ground < kMapRows && !level.layers[kFileGround][size_t(CellIndex(column, ground))] &&
             !level.layers[kFileBlock][size_t(CellIndex(column, ground))])
        ++ground;
      const float playerTop = float((ground - 1) * kCellSize), pivot = float(row * kCellSize + 8);
      EXPECT_LE(playerTop - pivot, highest) << "the chain at " << column << "," << row;
    }
  EXPECT_GE(chains, 4);
}

}  // namespace
