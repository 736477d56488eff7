// Recording onto a disk that fills: the file always holds the old recording or a complete
// prefix of the new one, the failure is said on screen, and the game's exit status becomes 1;
// --record's target is compared with the files in play by identity, not by name.
#include "app/recording.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/device_layers.h"
#include "app/hud.h"
#include "platform/headless.h"
#include "tests/support/png.h"
#include "world/messages.h"

namespace {

std::string Read(const std::string& path) {
  std::ostringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

class RecordingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = TestScratchDir() + "/recording";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    UseHeadlessPlatform();
  }
  void TearDown() override {
    gHudNotice.clear();
    gFrameTime = 0;
  }

  // A pass whose clock is off the simulator's 33 ms, so it writes a line.
  void Pass(int i) {
    RecordingPassStart();
    gFrameTime = uint32_t(1000 + 37 * i);
    RecordingPassEnd();
  }

  std::string dir;
};

TEST_F(RecordingTest, AFullDiskLeavesACompletePrefixAndEndsWithStatusOne) {
  const std::string path = dir + "/run.txt";
  std::ofstream(path) << "an older recording\n";
  ASSERT_TRUE(StartRecording(path, "# header\n"));
  ComposeDevice({nullptr, RecordingLayer, nullptr});
  EXPECT_EQ(Read(path), "# header\n");

  // The disk fills after 600 bytes: the game plays on, the file keeps its last good save.
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 600;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  for (int i = 0; i < 300 && !RecordingFailed(); ++i) Pass(i);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old), 0);
  std::signal(SIGXFSZ, oldSignal);

  ASSERT_TRUE(RecordingFailed());
  EXPECT_EQ(gHudNotice, "cannot write the recording " + path + ": File too large");
  const std::string kept = Read(path);
  EXPECT_EQ(kept.rfind("# header\n1 clock 1037\n", 0), 0u) << kept;
  EXPECT_EQ(kept.back(), '\n');
  EXPECT_LE(kept.size(), 600u);
  EXPECT_GT(kept.size(), 300u);
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    EXPECT_EQ(entry.path().filename(), "run.txt") << "left behind";

  gPlatform.Exit(0);
  EXPECT_EQ(Headless().exitStatus, 1);
  EXPECT_EQ(Read(path), kept);  // nothing more is written once a write failed
}

TEST_F(RecordingTest, ADeviceIsWrittenStraightToAndAFullOneIsRefusedAtOnce) {
  EXPECT_FALSE(StartRecording("/dev/full", "# header\n"));
  ASSERT_TRUE(StartRecording("/dev/null", "# header\n"));
  for (int i = 0; i < 40; ++i) Pass(i);
  FinishRecording();
  EXPECT_FALSE(RecordingFailed());
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
}

TEST_F(RecordingTest, TheTargetIsTheSameFileUnderAnyName) {
  const std::string level = dir + "/level.txt";
  std::ofstream(level) << "size 4096 64\n";
  std::filesystem::create_hard_link(level, dir + "/hard.txt");
  std::filesystem::create_symlink(level, dir + "/soft.txt");
  std::ofstream(dir + "/other.txt") << "size 4096 64\n";
  const std::vector<std::string> inPlay = {"", dir + "/missing.txt", level};
  EXPECT_EQ(SameFileAs(level, inPlay), level);
  EXPECT_EQ(SameFileAs(dir + "/hard.txt", inPlay), level);
  EXPECT_EQ(SameFileAs(dir + "/soft.txt", inPlay), level);
  EXPECT_EQ(SameFileAs(dir + "/./level.txt", inPlay), level);
  EXPECT_EQ(SameFileAs(dir + "/other.txt", inPlay), "");
  EXPECT_EQ(SameFileAs(dir + "/new.txt", inPlay), "");
}

}  // namespace
