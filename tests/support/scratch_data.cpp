// Scratch data folders: links to the game's data and a level written by the test.
#include "tests/support/scratch_data.h"

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
  const std::vector<uint8_t> bytes = SerializeLevel(level);
  std::ofstream(dir + "/level", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return dir;
}
