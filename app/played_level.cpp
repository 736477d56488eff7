// The played level's file: its identity on disk, rebuilt on every change.
#include "app/played_level.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "app/game.h"
#include "app/hud.h"
#include "world/level_text.h"
#include "world/map.h"

namespace {

constexpr auto kLookEvery = std::chrono::milliseconds(1000);

// What tells a saved file from the one read: an editor that saves by writing a new file and
// renaming it over the old changes the inode even when size and time look the same.
struct FileIdentity {
  bool exists = false;
  long long seconds = 0, nanoseconds = 0;
  long long size = 0;
  unsigned long long inode = 0, device = 0;
  bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const std::string& path) {
  struct stat info;
  FileIdentity id;
  if (stat(path.c_str(), &info) != 0) return id;
  id.exists = true;
  id.seconds = info.st_mtim.tv_sec;
  id.nanoseconds = info.st_mtim.tv_nsec;
  id.size = info.st_size;
  id.inode = info.st_ino;
  id.device = info.st_dev;
  return id;
}

std::string gPath;
LevelData gLevel;
FileIdentity gReadAs;
std::chrono::steady_clock::time_point gLastLook;
int gMissingLooks = 0;  // looks in a row that found no file

// Builds the file; on success it becomes the played level. Prints every fault.
bool Build(std::string& firstError) {
  LevelData level;
  std::vector<std::string> errors;
  if (!ReadPlayableLevel(gPath, level, errors)) {
    for (const std::string& error : errors) std::fprintf(stderr, "%s\n", error.c_str());
    firstError = errors.empty() ? gPath + ": cannot build the level" : errors.front();
    return false;
  }
  gLevel = std::move(level);
  gPlayedLevel = &gLevel;
  return true;
}

}  // namespace

bool LoadPlayedLevel(const std::string& path) {
  gPath = path;
  gMissingLooks = 0;
  gReadAs = IdentityOf(path);
  gLastLook = std::chrono::steady_clock::now();
  std::string firstError;
  return Build(firstError);
}

void CheckPlayedLevelNow() {
  gLastLook = std::chrono::steady_clock::now();
  const FileIdentity now = IdentityOf(gPath);
  // A file half-way through a save-by-rename may be missing for a moment: only a file missing
  // at two looks in a row (deleted, or a link to nothing) is reported, once.
  if (!now.exists) {
    if (++gMissingLooks == 2) {
      gHudNotice = gPath + ": the level file is gone; the level as last loaded plays on";
      std::fprintf(stderr,
                   "brinkhop: %s is gone (deleted, or a link to nothing); the level as "
                   "last loaded plays on\n",
                   gPath.c_str());
    }
    return;
  }
  if (gMissingLooks >= 2) gHudNotice.clear();
  gMissingLooks = 0;
  if (now == gReadAs) return;
  gReadAs = now;
  std::string firstError;
  if (!Build(firstError)) {
    gHudNotice = firstError;
    std::fprintf(stderr, "brinkhop: %s does not build; the level as last loaded plays on\n",
                 gPath.c_str());
    return;
  }
  gHudNotice.clear();
  std::fprintf(stderr, "brinkhop: reloaded %s\n", gPath.c_str());
  RestartLevel();
}

void WatchPlayedLevel() {
  if (gPath.empty() || std::chrono::steady_clock::now() - gLastLook < kLookEvery) return;
  CheckPlayedLevelNow();
}
