// A designer's level played from its source: built in memory, reloaded when saved with the
// score kept, a broken save leaving the old level and its first error on screen, and --at
// holding through restarts and retries.
#include "app/played_level.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/game.h"
#include "app/hud.h"
#include "app/sim.h"
#include "player/player.h"
#include "tests/support/png.h"
#include "tests/support/scratch_data.h"
#include "world/level_file.h"
#include "world/map.h"
#include "world/score.h"

namespace {

// Ground on row 14, the start at (3, 13); `extra` adds map lines.
std::string Room(const std::string& extra = "") {
  return "size 4096 64\n[map 0]\n" + extra +
         "14 ##############################\n"
         "[links legend]\n's' 0\n[links 0]\n13 ...s\n[triggers]\n0 start\n";
}

class PlayedLevelTest : public GameFolderTest {
 protected:
  void SetUp() override {
    dir = TestScratchDir() + "/played_level";
    std::filesystem::create_directories(dir);
    path = dir + "/room.txt";
  }
  void TearDown() override {
    gPlayedLevel = nullptr;
    gStartCell = StartCell{};
    gHudNotice.clear();
    GameFolderTest::TearDown();
  }

  // Saves as editors do: a new file renamed over the old one.
  void Save(const std::string& text) {
    std::ofstream(path + ".new") << text;
    std::filesystem::rename(path + ".new", path);
  }

  void Start() {
    std::string error;
    ASSERT_TRUE(LoadPlayedLevel(path));
    // The simulator reads its other files from the scratch folder; the level is the source.
    ASSERT_TRUE(sim.Start(dir, error)) << error;
    for (int i = 0; i < 10; ++i) sim.RunFrame({});
  }

  std::string dir, path;
  cSimulation sim;
};

TEST_F(PlayedLevelTest, ASavedSourceIsReloadedWithThePlayerAtTheStartAndTheScoreKept) {
  Save(Room());
  Start();
  EXPECT_FLOAT_EQ(gPlayer->x, 96.0f);
  EXPECT_NE(gMap->groundLayer[CellIndex(20, 14)], 0);
  gPlayer->x = 500;
  gScore = 1234;
  gCoins = 7;
  gLives = 3;

  CheckPlayedLevelNow();  // nothing changed: nothing happens
  EXPECT_FLOAT_EQ(gPlayer->x, 500.0f);

  Save(Room("12 ......SSS\n"));
  CheckPlayedLevelNow();
  EXPECT_NE(gMap->blockLayer[CellIndex(7, 12)], 0);
  EXPECT_FLOAT_EQ(gPlayer->x, 96.0f);
  EXPECT_EQ(gScore, 1234);
  EXPECT_EQ(gCoins, 7);
  EXPECT_EQ(gLives, 3);
  EXPECT_TRUE(gHudNotice.empty());
}

TEST_F(PlayedLevelTest, ABrokenSaveKeepsTheOldLevelAndShowsItsFirstErrorUntilAGoodOne) {
  Save(Room("12 ......SSS\n"));
  Start();
  gPlayer->x = 500;
  Save(Room("12 ......SXS\n13 X\n"));
  CheckPlayedLevelNow();
  EXPECT_EQ(gHudNotice, path + ":3:11: 'X' is not in the map legend");
  EXPECT_NE(gMap->blockLayer[CellIndex(7, 12)], 0);
  EXPECT_FLOAT_EQ(gPlayer->x, 500.0f);  // play goes on where it was
  // A restart plays the last level that built.
  RestartLevel();
  EXPECT_NE(gMap->blockLayer[CellIndex(7, 12)], 0);

  Save(Room());
  CheckPlayedLevelNow();
  EXPECT_TRUE(gHudNotice.empty());
  EXPECT_EQ(gMap->blockLayer[CellIndex(7, 12)], 0);
}

TEST_F(PlayedLevelTest, AnEmptyDeletedOrDanglingFileKeepsTheOldLevelAndSaysSo) {
  Save(Room("12 ......SSS\n"));
  Start();
  gPlayer->x = 500;
  const auto oldLevelPlays = [&] {
    EXPECT_NE(gMap->blockLayer[CellIndex(7, 12)], 0);
    EXPECT_FLOAT_EQ(gPlayer->x, 500.0f);
  };
  // An editor that truncates before it writes.
  Save("");
  CheckPlayedLevelNow();
  EXPECT_EQ(gHudNotice, path + ": the level source is empty");
  oldLevelPlays();

  // Missing at one look may be a save under way; missing at the next, it is gone.
  std::filesystem::remove(path);
  CheckPlayedLevelNow();
  oldLevelPlays();
  gHudNotice.clear();
  CheckPlayedLevelNow();
  EXPECT_EQ(gHudNotice, path + ": the level file is gone; the level as last loaded plays on");
  oldLevelPlays();

  // A link to nothing is gone as well; back in place, the level loads again.
  std::filesystem::create_symlink(dir + "/nowhere.txt", path);
  CheckPlayedLevelNow();
  CheckPlayedLevelNow();
  EXPECT_NE(gHudNotice.find("is gone"), std::string::npos);
  std::ofstream(dir + "/nowhere.txt") << Room();
  CheckPlayedLevelNow();
  EXPECT_TRUE(gHudNotice.empty()) << gHudNotice;
  EXPECT_EQ(gMap->blockLayer[CellIndex(7, 12)], 0);
  std::filesystem::remove(dir + "/nowhere.txt");
  std::filesystem::remove(path);
}

TEST_F(PlayedLevelTest, AStartCellHoldsThroughRestartsAndRetries) {
  Save(Room());
  gStartCell = {10, 5};
  Start();
  EXPECT_EQ(sim.TraceLine(false).find("{\"frame\":9,\"x\":320,"), 0u) << sim.TraceLine(false);
  gPlayer->x = 700;
  RestartLevel();
  EXPECT_FLOAT_EQ(gPlayer->x, 320.0f);
  EXPECT_FLOAT_EQ(gPlayer->y, 160.0f);
  gPlayer->x = 700;
  gPlayer->dying = true;
  RestartAfterDeath();
  EXPECT_FLOAT_EQ(gPlayer->x, 320.0f);
  // Only the first level's own start moves: a pipe naming another start point comes out at
  // the level's marked start, as in any level.
  gMap->LoadLevel("level", 1);
  EXPECT_FLOAT_EQ(gPlayer->x, float(gMap->startPoints[0].x));
  EXPECT_NE(gPlayer->x, 320.0f);
}

TEST_F(PlayedLevelTest, ABinaryLevelFilePlaysAsWell) {
  LevelData level = EmptyLevel();
  for (int c = 0; c < 30; ++c) level.layers[kFileGround][size_t(CellIndex(c, 14))] = 1;
  level.triggers = {LevelTrigger{kTriggerStart, 0, 0, 0, 0, 0, 0}};
  level.layers[kFileTrigger][size_t(CellIndex(6, 13))] = 0;
  path = dir + "/room.level";
  WriteLevelFile(path, level);
  Start();
  EXPECT_FLOAT_EQ(gPlayer->x, 192.0f);
  // A cut-off file is refused with the reader's own words.
  std::filesystem::resize_file(path, 1000);
  EXPECT_FALSE(LoadPlayedLevel(path));
}

TEST_F(PlayedLevelTest, ALevelThatDoesNotBuildIsRefusedAtStart) {
  Save("size 4096 64\n[map 0]\n14 ##X#\n");
  EXPECT_FALSE(LoadPlayedLevel(path));
  EXPECT_EQ(gPlayedLevel, nullptr);
  EXPECT_FALSE(LoadPlayedLevel(dir + "/missing.txt"));
}

}  // namespace
