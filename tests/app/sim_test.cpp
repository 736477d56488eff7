// The simulator: scripts, the whole frame driven by touches and keys on a small level, and
// the command line with its trace.
#include "app/sim.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "player/player.h"
#include "tests/support/png.h"
#include "tests/support/scratch_data.h"
#include "world/camera.h"
#include "world/level_file.h"
#include "world/map.h"
#include "world/messages.h"
#include "world/score.h"

namespace {

constexpr int kGroundRow = 10;
constexpr int kPitColumn = 20;  // columns 20..22 have no ground

// A small level: ground on row 10 with a pit, the start at cell (3, 9).
std::string MakeLevelDir() {
  const std::string dir = TestScratchDir() + "/sim_level";
  std::filesystem::create_directories(dir);
  LevelData level = GroundLevel(kGroundRow, 0, 99, 3);
  for (int c = kPitColumn; c <= kPitColumn + 2; ++c)
    level.layers[kFileGround][size_t(CellIndex(c, kGroundRow))] = 0;
  WriteLevelFile(dir + "/level", level);
  return dir;
}

// The small level with a pipe going right at cell (8, 9) into `target`, start point `start`.
std::string MakeLevelWithPipe(const std::string& target, int32_t start) {
  const std::string dir = MakeLevelDir();
  LevelData level;
  std::string error;
  EXPECT_TRUE(ReadLevelFile(dir + "/level", level, error)) << error;
  level.warps = {LevelWarp{8 * 32, 9 * 32, 2, start, target}};
  WriteLevelFile(dir + "/level", level);
  return dir;
}

const std::string kSim = BRINKHOP_SIM_PATH;

class SimTest : public GameFolderTest {
 protected:
  // Runs `frames` frames of a script; returns the highest point (smallest y) reached.
  float Run(const std::string& script, int frames) {
    std::vector<SimEvent> events;
    std::string error;
    EXPECT_TRUE(ParseSimScript(script, events, error)) << error;
    float top = gPlayer->y;
    for (int i = 0; i < frames; ++i) {
      sim.RunFrame(events);
      top = std::min(top, gPlayer->y);
    }
    return top;
  }

  cSimulation sim;
};

TEST_F(SimTest, ScriptsReadEveryEventWriteItBackAndNameTheLineOfAMistake) {
  std::vector<SimEvent> events;
  std::string error;
  ASSERT_TRUE(
      ParseSimScript("# a comment\n"
                     "3 down 0 jump   # press\n"
                     "4 move 2 100 200\n"
                     "9 up 0\n"
                     "10 key left down\n",
                     events, error))
      << error;
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].frame, 3);
  EXPECT_EQ(events[0].x, 432);  // the jump button's centre
  EXPECT_EQ(events[0].y, 262);
  EXPECT_EQ(events[1].finger, 2);
  EXPECT_EQ(events[1].y, 200);
  EXPECT_EQ(events[2].kind, SimEvent::kUp);
  EXPECT_TRUE(events[3].keyDown);

  const struct {
    const char* script;
    const char* error;
  } bad[] = {
      {"x down 0 jump", "1: expected a frame number"},
      {"\n1 down 11 jump", "2: finger must be 0 to 10"},
      {"1 down 0 pogo", "1: unknown button 'pogo'"},
      {"1 key fly down", "1: unknown key action 'fly'"},
      {"1 key left sideways", "1: expected 'down' or 'up'"},
      {"1 hop 0", "1: unknown event 'hop'"},
      {"1 up 0 5", "1: 'up' takes only a finger"},
      {"1 down 0 5", "1: expected a landscape point"},
      // What a recording adds: clock lines, focus, pad keys and the end.
      {"1 clock soon", "1: "},
      {"1 clock -5", "1: "},
      {"1 clock", "1: "},
      {"1 focus away", "1: "},
      {"1 pad fly down", "1: "},
      {"1 end now", "1: "},
  };
  for (const auto& b : bad) {
    events.clear();
    EXPECT_FALSE(ParseSimScript(b.script, events, error)) << b.script;
    EXPECT_EQ(error.rfind(b.error, 0), 0u) << b.script << " gave " << error;
  }

  // What a recording adds, read back as it was written: pad keys, the pause, focus, clock lines
  // and the end.
  events.clear();
  const std::string script =
      "0 clock 3024\n"
      "2 pad right down\n"
      "3 key pause down\n"
      "4 focus lost\n"
      "5 focus gained\n"
      "6 down 1 100 200\n"
      "7 move 1 120 210\n"
      "8 up 1\n"
      "9 key jump up\n"
      "9 end\n";
  ASSERT_TRUE(ParseSimScript(script, events, error)) << error;
  std::string written;
  for (const SimEvent& e : events) written += SimEventLine(e) + "\n";
  EXPECT_EQ(written, script);
  EXPECT_EQ(events[1].source, InputSource::kPad);
  EXPECT_EQ(events[2].action, InputAction::kPause);
  EXPECT_EQ(SimScriptEnd(events), 9);
  events.clear();
  ASSERT_TRUE(ParseSimScript("0 key right down\n", events, error));
  EXPECT_EQ(SimScriptEnd(events), -1);
}

TEST_F(SimTest, AFingersEventsInOneFrameReportWhereItIsWhenTheFrameReadsThem) {
  std::string error;
  ASSERT_TRUE(sim.Start(MakeLevelDir(), error)) << error;
  // Finger 0, which pressed START, plays from the first frame like any other.
  Run("0 move 0 right\n", 10);
  EXPECT_GT(gPlayer->x, 96.0f);
  Run("10 up 0\n", 30);
  ASSERT_TRUE(gPlayer->onGround);
  // Put on jump and slid to the left button in one frame: only left is held.
  const float ground = gPlayer->y, x = gPlayer->x;
  EXPECT_FLOAT_EQ(Run("40 down 1 jump\n40 move 1 left\n", 10), ground);
  EXPECT_LT(gPlayer->x, x);
  Run("50 up 1\n", 30);
  // A finger touched and lifted in one frame presses nothing.
  const float still = gPlayer->x;
  Run("80 down 2 right\n80 up 2\n", 10);
  EXPECT_FLOAT_EQ(gPlayer->x, still);
}

// The drawn view holds still through a standing jump, so the ground it left stays in sight
// (the camera, which follows every hop, loses it), keeps the player clear of the heads-up
// lines through a running jump, settles on the player within a third of a second of landing,
// and jumps with the player on a retry.
TEST_F(SimTest, TheDrawnViewKeepsTheGroundInSightThroughAJumpAndSettlesOnLanding) {
  constexpr float kGroundTop = kGroundRow * 32;
  constexpr float kUnderTheLines = 56;  // world px below the view's top: the distance line's foot
  std::string error;
  ASSERT_TRUE(sim.Start(MakeLevelDir(), error)) << error;
  Run("", 30);
  ASSERT_TRUE(gPlayer->onGround);
  auto from = [&](int frame, const char* what) {
    return std::to_string(sim.FramesRun() + frame) + " " + what + "\n";
  };
  bool cameraLostTheGround = false;
  std::vector<SimEvent> events;
  ASSERT_TRUE(ParseSimScript(from(0, "key jump down") + from(20, "key jump up"), events, error));
  for (int frame = 0; frame < 40; ++frame) {
    sim.RunFrame(events);
    EXPECT_GT(DrawnView().bottom, kGroundTop + 16) << frame;
    cameraLostTheGround |= VisibleView().bottom < kGroundTop;
  }
  EXPECT_TRUE(cameraLostTheGround) << "the jump was not high enough to tell";
  ASSERT_TRUE(gPlayer->onGround);

  // A running jump.
  events.clear();
  ASSERT_TRUE(ParseSimScript(from(0, "key right down") + from(15, "key jump down") +
                                 from(40, "key jump up") + from(40, "key right up"),
                             events, error));
  int landedFor = 0;
  for (int frame = 0; frame < 90; ++frame) {
    sim.RunFrame(events);
    EXPECT_GT(gPlayer->y, DrawnView().top + kUnderTheLines) << frame;
    landedFor = gPlayer->onGround && gPlayer->y > kGroundTop - 64 ? landedFor + 1 : 0;
    if (landedFor > 10) {
      EXPECT_NEAR(gDrawnCameraY, gCamera[1], 1.0f) << frame;
    }
  }
  ASSERT_GT(landedFor, 10);

  // On into the pit, where the view stops at the map's last row; the retry carries it back to
  // the start at once.
  events.clear();
  ASSERT_TRUE(ParseSimScript(from(0, "key right down") + from(240, "key right up"), events, error));
  for (int frame = 0; frame < 250; ++frame) {
    sim.RunFrame(events);
    EXPECT_LE(DrawnView().bottom, float(kMapRows * 32) + 0.5f) << frame;
  }
  ASSERT_TRUE(gPlayer->dying);
  Run(from(0, "key retry down") + from(1, "key retry up"), 3);
  ASSERT_FALSE(gPlayer->dying);
  EXPECT_NEAR(gDrawnCameraY, gCamera[1], 1.0f);
}

// Held for several frames, restart and retry do nothing until they are let go, whether a key,
// a pad or a finger holds them.
TEST_F(SimTest, RestartAndRetryHeldForFramesActOnlyOnRelease) {
  const struct {
    const char* source;
    const char* restartDown;
    const char* restartUp;
    const char* retryDown;
    const char* retryUp;
  } ways[] = {
      {"key", "key restart down", "key restart up", "key retry down", "key retry up"},
      {"pad", "pad restart down", "pad restart up", "pad retry down", "pad retry up"},
      {"finger", "down 1 restart", "up 1", "down 1 retry", "up 1"},
  };
  constexpr int kHeld = 8;  // frames
  for (const auto& way : ways) {
    SCOPED_TRACE(way.source);
    std::string error;
    ASSERT_TRUE(sim.Start(MakeLevelDir(), error)) << error;
    auto at = [](int frame, const char* what) { return std::to_string(frame) + " " + what + "\n"; };
    Run("0 key right down\n30 key right up\n", 40);
    const float walked = gPlayer->x;
    ASSERT_GT(walked, 150.0f);
    Run(at(40, way.restartDown) + at(40 + kHeld, way.restartUp), kHeld);
    EXPECT_GT(gPlayer->x, walked) << "restarted on the press";  // still coasting on
    Run(at(40, way.restartDown) + at(40 + kHeld, way.restartUp), 1);
    EXPECT_NEAR(gPlayer->x, 96.0f, 1.0f) << "no restart on the release";
    EXPECT_EQ(gLives, 5);

    const int walkFrom = sim.FramesRun();
    Run(at(walkFrom, "key right down") + at(walkFrom + 250, "key right up"), 250);
    ASSERT_TRUE(gPlayer->dying);
    const int press = sim.FramesRun();
    const std::string retry = at(press, way.retryDown) + at(press + kHeld, way.retryUp);
    Run(retry, kHeld);
    EXPECT_TRUE(gPlayer->dying) << "retried on the press";
    EXPECT_EQ(gLives, 5);
    Run(retry, 1);
    EXPECT_FALSE(gPlayer->dying) << "no retry on the release";
    EXPECT_EQ(gLives, 4);
  }
}

TEST_F(SimTest, TheCommandLineTracesEveryFrame) {
  const std::string dir = MakeLevelDir();
  const std::string script = TestScratchDir() + "/sim_script";
  std::ofstream(script) << "2 key right down\n";
  std::string output;
  EXPECT_EQ(RunCommand(kSim + " --data " + dir + " --frames 4 --trace --units --input " + script,
                       &output),
            0);
  std::istringstream lines(output);
  std::string line;
  int count = 0;
  while (std::getline(lines, line)) {
    EXPECT_EQ(line.rfind("{\"frame\":" + std::to_string(count) + ",\"x\":", 0), 0u) << line;
    for (const char* key : {"\"vx\":", "\"onGround\":", "\"lives\":5", "\"message\":-1",
                            "\"camX\":", "\"sounds\":[", "\"units\":["})
      EXPECT_NE(line.find(key), std::string::npos) << key << " in " << line;
    ++count;
  }
  EXPECT_EQ(count, 4);
  // Right held from frame 2: two steps of 0.2 a frame.
  EXPECT_NE(output.find("\"frame\":1,\"x\":96,\"y\":"), std::string::npos) << output;
  EXPECT_NE(output.find("\"vx\":0.400000006"), std::string::npos) << output;

  const auto status = [](const std::string& arguments) {
    return RunCommand(kSim + " " + arguments + " >/dev/null 2>&1");
  };
  EXPECT_EQ(status("--frames"), 2);
  EXPECT_EQ(status("--bogus"), 2);
  EXPECT_EQ(status("--data " + dir + " --input /no/such/script"), 1);
  EXPECT_EQ(status("--data /no/such/folder"), 1);
  EXPECT_EQ(status("--data " + dir + " --frames 1"), 0);
}

// An option left without its value is named, never the default data folder the tools add; a
// word after --help is a mistake, not a request for help.
TEST_F(SimTest, TheToolsNameAnOptionLeftWithoutItsValue) {
  const struct {
    std::string tool, arguments, line;
  } cases[] = {
      {BRINKHOP_SIM_PATH, "--input", "brinkhop-sim: --input needs a file"},
      {BRINKHOP_SIM_PATH, "--frames 3 --level", "brinkhop-sim: --level needs a file"},
      {BRINKHOP_SIM_PATH, "--data", "brinkhop-sim: --data needs a folder"},
      {BRINKHOP_SIM_PATH, "--help extra",
       "brinkhop-sim: --help takes nothing after it, not 'extra'"},
      {BRINKHOP_ROUTE_PATH, "--level", "brinkhop-route: --level needs a file"},
      {BRINKHOP_ROUTE_PATH, "--from", "brinkhop-route: --from needs a file"},
  };
  for (const auto& c : cases) {
    std::string said;
    EXPECT_EQ(RunCommand(c.tool + " " + c.arguments + " 2>&1 >/dev/null", &said), 2) << c.arguments;
    EXPECT_EQ(said.substr(0, said.find('\n')), c.line) << c.arguments;
  }
}

// A pipe carries the player into the level it names, at that level's start; a restart goes
// back to the first level. A pipe to a start point no level has leads to start 0.
TEST_F(SimTest, APipeWarpCarriesThePlayerIntoAnotherLevelAtItsStart) {
  const auto walkIntoThePipe = [&](const std::string& dir) {
    std::string error;
    EXPECT_TRUE(sim.Start(dir, error)) << error;
    std::vector<SimEvent> events;
    EXPECT_TRUE(ParseSimScript("0 key right down\n", events, error));
    for (int frame = 0; frame < 80; ++frame) {
      sim.RunFrame(events);
      if (sim.TraceLine(false).find("pipe.wav") != std::string::npos) return true;
    }
    return false;
  };
  // The second level starts at (40, 5).
  const std::string dir = MakeLevelWithPipe("bonus", 0);
  LevelData bonus = EmptyLevel();
  for (int c = 30; c < 60; ++c) bonus.layers[kFileGround][size_t(CellIndex(c, 6))] = 1;
  bonus.triggers = {LevelTrigger{kTriggerStart, 0, 0, 0, 0, 0, 0}};
  bonus.layers[kFileTrigger][size_t(CellIndex(40, 5))] = 0;
  WriteLevelFile(dir + "/bonus", bonus);
  ASSERT_TRUE(walkIntoThePipe(dir));
  EXPECT_NEAR(gPlayer->x, 40 * 32.0f, 8.0f);
  EXPECT_LT(gPlayer->y, 6 * 32.0f);
  EXPECT_EQ(gMap->levelName, "level");  // a restart goes back to the first level
  EXPECT_TRUE(gMap->warps[0].fileName.empty());

  ASSERT_TRUE(walkIntoThePipe(MakeLevelWithPipe("level", 2)));
  // Back at the level's start (3, 9), not the top-left corner.
  EXPECT_NEAR(gPlayer->x, 96.0f, 1.0f);
  EXPECT_NEAR(gPlayer->y, 288.0f, 4.0f);
}

// Whatever order a script lists its events in, each acts on its own frame, once.
TEST_F(SimTest, ScriptEventsActOnTheirFramesInAnyOrder) {
  const std::string dir = MakeLevelDir();
  std::string error;
  std::vector<std::string> traces[2];
  const char* const scripts[2] = {"2 key right down\n12 key right up\n14 key left down\n",
                                  "14 key left down\n12 key right up\n2 key right down\n"};
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(sim.Start(dir, error)) << error;
    std::vector<SimEvent> events;
    ASSERT_TRUE(ParseSimScript(scripts[i], events, error)) << error;
    for (int frame = 0; frame < 30; ++frame) {
      sim.RunFrame(events);
      traces[i].push_back(sim.TraceLine(false));
    }
  }
  EXPECT_EQ(traces[0], traces[1]);
  // Standing until right is pressed, then moving: the events did act.
  EXPECT_NE(traces[0][1].find("\"vx\":0,"), std::string::npos) << traces[0][1];
  EXPECT_EQ(traces[0][11].find("\"vx\":0,"), std::string::npos) << traces[0][11];
}

// A level the game refuses, or an input that cannot be read, is exit status 1 with one line.
TEST_F(SimTest, RefusedLevelsAndUnreadableInputsAreExitStatusOne) {
  // Two frames unless the arguments say otherwise: the last --frames counts.
  const auto run = [](const std::string& arguments, std::string& said) {
    return RunCommand(kSim + " --frames 2 " + arguments + " 2>&1 >/dev/null", &said);
  };
  const std::string good = MakeLevelDir();
  std::string said;
  ASSERT_EQ(run("--data " + good, said), 0) << said;

  const std::string cut = TestScratchDir() + "/sim_cut_level";
  std::filesystem::create_directories(cut);
  std::filesystem::copy_file(good + "/level", cut + "/level",
                             std::filesystem::copy_options::overwrite_existing);
  std::filesystem::resize_file(cut + "/level", 1000);
  EXPECT_EQ(run("--data " + cut, said), 1);
  EXPECT_EQ(said, "brinkhop-sim: level: truncated: expected 8388616 bytes of layers, found 1000\n");

  const std::string folder = TestScratchDir() + "/sim_folder_level";
  std::filesystem::create_directories(folder + "/level");
  EXPECT_EQ(run("--data " + folder, said), 1);
  EXPECT_EQ(said, "brinkhop-sim: level: not a regular file\n");

  // Refused mid-run: the run goes on to its end and then fails.
  const std::string piped = MakeLevelWithPipe("folder", 0);
  std::filesystem::create_directories(piped + "/folder");
  const std::string script = TestScratchDir() + "/sim_right_script";
  std::ofstream(script) << "0 key right down\n";
  EXPECT_EQ(run("--data " + piped + " --frames 60 --input " + script, said), 1);
  EXPECT_EQ(said, "folder: not a regular file\n");

  const std::string fifo = TestScratchDir() + "/sim_fifo_script";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(run("--data " + good + " --input " + fifo, said), 1);
  EXPECT_EQ(said, "brinkhop-sim: " + fifo + ": not a regular file\n");
}

TEST_F(SimTest, TheDevicesEventsBecomeScriptLinesInLandscape) {
  // A finger at portrait (50, 400), a pad's fire let go, focus lost.
  const InputEvent finger{.type = InputType::kFingerDown, .finger = 3, .x = 50, .y = 400};
  InputEvent key{.type = InputType::kActionReleased,
                 .source = InputSource::kPad,
                 .action = InputAction::kFire};
  SimEvent e;
  ASSERT_TRUE(SimEventOf(finger, 12, e));
  EXPECT_EQ(SimEventLine(e), "12 down 3 400 270");
  ASSERT_TRUE(SimEventOf(key, 13, e));
  EXPECT_EQ(SimEventLine(e), "13 pad fire up");
  ASSERT_TRUE(SimEventOf(InputEvent{.type = InputType::kFocusLost}, 14, e));
  EXPECT_EQ(SimEventLine(e), "14 focus lost");
  // The game never acts on these during play.
  key.action = InputAction::kStart;
  EXPECT_FALSE(SimEventOf(key, 15, e));
  key.action = InputAction::kFullScreen;
  EXPECT_FALSE(SimEventOf(key, 15, e));
  EXPECT_FALSE(SimEventOf(InputEvent{.type = InputType::kQuit}, 15, e));
}

TEST_F(SimTest, ClockLinesSetWhatTheFrameReadsAndLaterFramesAdd33Ms) {
  std::string error;
  ASSERT_TRUE(sim.Start(MakeLevelDir(), error)) << error;
  std::vector<SimEvent> events;
  ASSERT_TRUE(ParseSimScript("5 clock 9000\n", events, error)) << error;
  const uint32_t expected[] = {1000, 1033, 1066, 1099, 1132, 9000, 9033, 9066};
  for (uint32_t ticks : expected) {
    sim.RunFrame(events);
    EXPECT_EQ(gFrameTime, ticks);
  }
}

TEST_F(SimTest, FocusPausesPlayAndAPadHoldsApartFromTheKeyboard) {
  std::string error;
  ASSERT_TRUE(sim.Start(MakeLevelDir(), error)) << error;
  Run("", 10);
  Run("10 key right down\n10 pad right down\n15 key right up\n", 20);
  const float x = gPlayer->x;
  EXPECT_GT(x, 96.0f);  // the pad still holds right after the key let go
  // The frame that reads a pause still runs; the frames after it stand still.
  Run("30 focus lost\n", 1);
  const float lost = gPlayer->x;
  Run("", 9);
  EXPECT_FLOAT_EQ(gPlayer->x, lost);
  Run("40 focus gained\n", 5);
  EXPECT_GT(gPlayer->x, lost);
  Run("45 pad pause down\n", 1);
  const float paused = gPlayer->x;
  Run("46 pad pause up\n", 9);
  EXPECT_FLOAT_EQ(gPlayer->x, paused);
  Run("55 pad pause down\n", 5);
  EXPECT_GT(gPlayer->x, paused);
}

TEST_F(SimTest, TheCommandLinePlaysALevelSourceFromACellToTheScriptsEnd) {
  const std::string dir = MakeLevelDir();
  const std::string source = TestScratchDir() + "/sim_source.txt";
  std::ofstream(source) << "size 4096 64\n[map 0]\n14 ##########\n";
  const std::string script = TestScratchDir() + "/sim_end_script";
  std::ofstream(script) << "0 key right down\n6 end\n";
  std::string output;
  EXPECT_EQ(RunCommand(kSim + " --data " + dir + " --level " + source +
                           " --at 2,13 --trace --input " + script,
                       &output),
            0);
  EXPECT_EQ(output.rfind("{\"frame\":0,\"x\":64.", 0), 0u) << output;  // cell (2, 13)
  EXPECT_NE(output.find("{\"frame\":6,"), std::string::npos) << output;
  EXPECT_EQ(output.find("{\"frame\":7,"), std::string::npos) << output;
  EXPECT_EQ(gPlayedLevel, nullptr);

  std::ofstream(source) << "size 4096 64\n[map 0]\n14 ##X#\n";
  EXPECT_EQ(RunCommand(kSim + " --level " + source + " 2>&1 >/dev/null", &output), 1);
  EXPECT_EQ(output.substr(0, output.find('\n')), source + ":3:6: 'X' is not in the map legend");
}

}  // namespace
