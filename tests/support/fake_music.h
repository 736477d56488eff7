// A music device that only counts: which tune was started with how many loops, halts,
// volumes, and whether something plays. Installed for a test's life, the mixer put back after.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/music.h"

class cFakeMusic {
 public:
  cFakeMusic() {
    Log() = {};
    mSaved = gMusicDevice;
    gMusicDevice = {Load, Play, Halt, Volume, Playing};
    LoadMusic();
    SetMuted(false);
    StopMusic();
    Log() = {};
  }
  ~cFakeMusic() {
    SetMuted(false);
    StopMusic();
    gMusicDevice = mSaved;
    LoadMusic();
  }

  struct Record {
    std::vector<std::pair<int, int>> plays;  // tune, loops
    int halts = 0;
    std::vector<int> volumes;
    bool playing = false;
  };
  static Record& Log() {
    static Record record;
    return record;
  }
  int LastVolume() const { return Log().volumes.empty() ? -1 : Log().volumes.back(); }

 private:
  static int* Tokens() {
    static int tokens[kTuneCount];
    return tokens;
  }
  static void* Load(const char* name) {
    for (int i = 0; i < kTuneCount; ++i)
      if (std::string(name) == kTuneFiles[i]) return &Tokens()[i];
    return nullptr;
  }
  static void Play(void* tune, int loops) {
    Log().plays.emplace_back(int(static_cast<int*>(tune) - Tokens()), loops);
    Log().playing = true;
  }
  static void Halt() {
    ++Log().halts;
    Log().playing = false;
  }
  static void Volume(int volume) { Log().volumes.push_back(volume); }
  static bool Playing() { return Log().playing; }

  MusicDevice mSaved;
};
