// Scratch data folders, level files written by the test, and tools run on them.
#include "tests/support/scratch_data.h"

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/data_dir.h"
#include "tests/support/png.h"
#include "world/level_file.h"

std::string ScratchDataDir(const std::string& name, const LevelData& level) {
  const std::string dir = TestScratchDir() + "/" + name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  for (const auto& entry : std::filesystem::directory_iterator(FindDataDirectory()))
    if (entry.path().filename() != "level")
      std::filesystem::create_symlink(entry.path(), dir + "/" + entry.path().filename().string());
  WriteLevelFile(dir + "/level", level);
  return dir;
}

LevelData GroundLevel(int row, int from, int to, int startColumn) {
  LevelData level = EmptyLevel();
  for (int c = from; c <= to; ++c) level.layers[kFileGround][size_t(CellIndex(c, row))] = 1;
  level.triggers = {LevelTrigger{kTriggerStart, 0, 0, 0, 0, 0, 0}};
  level.layers[kFileTrigger][size_t(CellIndex(startColumn, row - 1))] = 0;
  return level;
}

std::string WriteLevelFile(const std::string& path, const LevelData& level) {
  const std::vector<uint8_t> bytes = SerializeLevel(level);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return path;
}

int RunCommand(const std::string& command, std::string* output) {
  std::FILE* pipe = popen(("timeout 60 " + command).c_str(), "r");
  if (!pipe) return -1;
  std::string text;
  char buffer[4096];
  while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
  const int status = pclose(pipe);
  if (output) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
