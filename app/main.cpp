// Entry: the command line, the desktop device, real GL, the data folder, the session around
// the game (a level being edited, a recording, a replay), then the game.
#include <dirent.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/device_layers.h"
#include "app/game.h"
#include "app/played_level.h"
#include "app/recording.h"
#include "app/replay.h"
#include "app/resources.h"
#include "engine/gl_api.h"
#include "platform/desktop.h"
#include "world/map.h"

namespace {

// Files named on the command line are the caller's, wherever the game reads its data from.
std::string FromHere(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char here[PATH_MAX];
  return getcwd(here, sizeof here) ? std::string(here) + "/" + path : path;
}

void PassStart() {
  ReplayPassStart();
  RecordingPassStart();
}

void PassEnd() {
  RecordingPassEnd();
  ReplayPassEnd();
  WatchPlayedLevel();
}

std::string RecordingHeader(const GameOptions& o) {
  std::string header =
      "# A run of brinkhop, recorded: brinkhop-sim --input THIS-FILE --trace plays it again,\n"
      "# and its last trace line equals the last line here.\n";
  if (!o.level.empty()) header += "# Played with --level " + o.level + "\n";
  if (o.atColumn >= 0)
    header +=
        "# Played with --at " + std::to_string(o.atColumn) + "," + std::to_string(o.atRow) + "\n";
  return header;
}

// The files --record must not write over: the level and the replay played, and the data
// folder's own files (the working directory by now).
std::vector<std::string> FilesInPlay(const GameOptions& o) {
  std::vector<std::string> files = {o.level, o.replay};
  char data[PATH_MAX];
  if (!getcwd(data, sizeof data)) return files;
  if (DIR* folder = opendir(".")) {
    while (const dirent* entry = readdir(folder))
      if (entry->d_name[0] != '.') files.push_back(std::string(data) + "/" + entry->d_name);
    closedir(folder);
  }
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  GameOptions options;
  const int status = ParseGameCommandLine(argc, argv, options, std::cout, std::cerr);
  if (status != kGoOn) return status;
  options.level = FromHere(options.level);
  options.record = FromHere(options.record);
  options.replay = FromHere(options.replay);

  // A level that does not build is reported before any window opens.
  if (!options.level.empty() && !LoadPlayedLevel(options.level)) return 1;
  if (options.atColumn >= 0) gStartCell = {options.atColumn, options.atRow};
  if (!options.dataDir.empty()) {
    if (chdir(options.dataDir.c_str()) != 0) {
      std::fprintf(stderr, "brinkhop: cannot read the data folder %s\n", options.dataDir.c_str());
      return 1;
    }
  } else if (!EnterDataDirectory()) {
    std::fprintf(stderr, "brinkhop: no data folder beside the game; reading files from here\n");
  }
  // White boxes instead of the player and the ground tell nobody what is wrong.
  if (const std::string missing = FirstMissingPicture(); !missing.empty()) {
    std::fprintf(stderr, "brinkhop: the data folder has no %s: the game's pictures are missing\n",
                 missing.c_str());
    return 1;
  }
  if (!options.record.empty()) {
    if (const std::string same = SameFileAs(options.record, FilesInPlay(options)); !same.empty()) {
      std::fprintf(stderr, "brinkhop: --record %s would write over %s, which the game reads\n",
                   options.record.c_str(), same.c_str());
      return 2;
    }
  }

  UseDesktopPlatform();
  UseDesktopGL();
  if (!options.replay.empty()) {
    std::string error;
    if (!StartReplay(options.replay, error)) {
      std::fprintf(stderr, "brinkhop: %s\n", error.c_str());
      return 1;
    }
  }
  if (!options.record.empty() && !StartRecording(options.record, RecordingHeader(options)))
    return 1;
  ComposeDevice({options.replay.empty() ? nullptr : ReplayLayer,
                 options.record.empty() ? nullptr : RecordingLayer, nullptr});
  gPassHooks = {PassStart, PassEnd};
  const int played = RunGame();
  FinishRecording();
  return played == 0 && RecordingFailed() ? 1 : played;
}
