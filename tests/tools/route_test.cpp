// The route finder on small levels: what it finds must replay to the goal on the real frame,
// and a level nobody can pass must be reported as not passed, with where the run got stuck.
#include "tools/route.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/results.h"
#include "app/sim.h"
#include "player/player.h"
#include "tests/support/scratch_data.h"
#include "world/level_file.h"
#include "world/level_text.h"

namespace {

constexpr char kFlat[] = "############################################################";

// Ground on rows 14 and 15 (`ground`: '#' ground, '.' a pit) to column 59, the start at column
// 3, the goal at 50; `extra` adds map rows above.
std::string RoomText(const std::string& ground, const std::string& extra = "") {
  std::string text = "size 4096 64\n[map 0]\n" + extra + "14 " + ground + "\n15 " + ground + "\n" +
                     "[links legend]\n's' 0\n[links 0]\n13 ...s\n[triggers]\n0 start\n"
                     "[goal]\nfrom=50,0 to=51,13\n";
  return text;
}

class RouteTest : public GameFolderTest {
 protected:
  void TearDown() override {
    cSimulation::ReleaseGame();
    GameFolderTest::TearDown();
  }

  std::string DataWith(const std::string& name, const std::string& text) {
    LevelData level;
    std::vector<std::string> errors;
    EXPECT_TRUE(CompileLevelText(text, name, level, errors)) << (errors.empty() ? "" : errors[0]);
    return ScratchDataDir(name, level);
  }
};

// Two pits and a crawler between them: the presses found carry a fresh run to the goal alive.
TEST_F(RouteTest, ThePressesFoundReplayToTheGoal) {
  RouteOptions options;
  options.dataDir =
      DataWith("route_pits", RoomText("###############...#########....######################",
                                      "13 ........................c\n"));
  options.maxFrames = 900;
  const RouteResult route = FindRoute({}, options);
  ASSERT_TRUE(route.reached) << "stuck at frame " << route.failFrame;
  EXPECT_GE(route.added.size(), 1 + 2 * 2u) << "right held, then at least one press a pit";

  // Played again from scratch, the script reaches the goal at the same frame.
  std::filesystem::current_path(startFolder);
  cSimulation sim;
  std::string error;
  ASSERT_TRUE(sim.Start(options.dataDir, error)) << error;
  int goalFrame = -1;
  for (int frame = 0; frame < 900 && goalFrame < 0; ++frame) {
    sim.RunFrame(route.added);
    ASSERT_FALSE(gPlayer->dying) << "frame " << frame;
    if (gGoalReached) goalFrame = frame;
  }
  EXPECT_EQ(goalFrame, route.reachedFrame);
  EXPECT_GT(route.withoutPress.frames, 0);
  EXPECT_LT(route.withoutPress.fromColumn, route.withoutPress.toColumn);
  // The stomp on the crawler is an event between presses: no stretch without one is longer.
  EXPECT_LE(route.withoutEvent.frames, route.withoutPress.frames);
}

// A wall far higher than any jump: the search gives up and says where.
TEST_F(RouteTest, AWallNobodyClimbsIsReportedAsNotPassed) {
  std::string wall;
  for (int row = 2; row < 14; ++row) wall += std::to_string(row) + " ......................S\n";
  RouteOptions options;
  options.dataDir = DataWith("route_wall", RoomText(kFlat, wall));
  options.maxFrames = 600;
  options.lookBack = 24;  // fewer tries before giving up: every press fails the same
  const RouteResult route = FindRoute({}, options);
  EXPECT_FALSE(route.reached);
  EXPECT_GE(route.failFrame, 0);
  EXPECT_NEAR(route.furthestX / 32, 21, 1.5);
}

// The stranger the tool plays jumps what it can see: a pit, and spikes down in a dip.
TEST_F(RouteTest, AFirstTimerJumpsAPitAndSpikesDownInADip) {
  const std::string text =
      "size 4096 64\n[map legend]\n'X' ground=1 deco=3 reveal=1\n[map 0]\n"
      "14 ##############....##############...##########################\n"
      "15 ##############....##############XXX##########################\n"
      "[links legend]\n's' 0\n[links 0]\n13 ...s\n[triggers]\n0 start\n"
      "[goal]\nfrom=50,0 to=51,13\n";
  RouteOptions options;
  options.dataDir = DataWith("route_first_timer", text);
  const FirstTimerRun run = PlayAsFirstTimer(options, 3);
  EXPECT_GE(run.goalFrame, 0);
  for (const FirstTimerDeath& death : run.deaths) ADD_FAILURE() << "died at " << death.column;
}

// A prefix's own events stay as they are and the presses come after them.
TEST_F(RouteTest, APrefixIsKeptAndTheSearchGoesOnAfterIt) {
  RouteOptions options;
  options.dataDir =
      DataWith("route_prefix", RoomText("###############...##########################"));
  options.maxFrames = 900;
  std::vector<SimEvent> prefix;
  std::string error;
  ASSERT_TRUE(
      ParseSimScript("0 key right down\n20 key right up\n40 key right down\n", prefix, error));
  const RouteResult route = FindRoute(prefix, options);
  ASSERT_TRUE(route.reached);
  for (const SimEvent& e : route.added) EXPECT_GT(e.frame, 40);
}

TEST_F(RouteTest, TheCommandLineRefusesBadArgumentsAndUnreadableScripts) {
  std::ostringstream out, err;
  const char* bad[] = {"brinkhop-route", "--to", "-3"};
  EXPECT_EQ(RunRouteFinder(3, bad, out, err), 2);
  const char* missing[] = {"brinkhop-route", "--from", "/nonexistent/script.txt"};
  EXPECT_EQ(RunRouteFinder(3, missing, out, err), 1);
  EXPECT_NE(err.str().find("/nonexistent/script.txt"), std::string::npos);
}

}  // namespace
