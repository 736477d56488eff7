// The headless device's music record, read as tunes: which tune was started with how many
// loops, the stops, the volumes, and whether something plays. Installed for a test's life with
// the tunes loaded through it; the device before it is put back after.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/music.h"
#include "platform/headless.h"

class cFakeMusic {
 public:
  cFakeMusic() : mSaved(gPlatform), mSavedDevice(Headless()) {
    UseHeadlessPlatform();
    LoadMusic();
    SetMuted(false);
    StopMusic();
    HeadlessMusic& log = Log();
    log.plays.clear();
    log.stopFades.clear();
    log.volumes.clear();
    log.playing = false;
  }
  ~cFakeMusic() {
    SetMuted(false);
    StopMusic();
    Headless() = mSavedDevice;
    gPlatform = mSaved;
    LoadMusic();
  }

  // The device's record; a test may end a tune by setting `playing` false.
  static HeadlessMusic& Log() { return Headless().music; }
  // Every play as (tune, loops); a file that is no tune counts as kTuneNone.
  static std::vector<std::pair<int, int>> Plays() {
    std::vector<std::pair<int, int>> plays;
    for (const auto& [file, loops] : Log().plays) {
      int tune = kTuneNone;
      for (int i = 0; i < kTuneCount; ++i)
        if (file == kTuneFiles[i]) tune = i;
      plays.emplace_back(tune, loops);
    }
    return plays;
  }
  static std::pair<int, int> LastPlay() {
    const auto plays = Plays();
    return plays.empty() ? std::pair<int, int>{kTuneNone, 0} : plays.back();
  }
  // Stops without a fade: the mute's and the music's own.
  static int Halts() {
    int halts = 0;
    for (int fade : Log().stopFades) halts += fade == 0;
    return halts;
  }
  static int LastVolume() { return Log().volumes.empty() ? -1 : Log().volumes.back(); }

 private:
  PlatformApi mSaved;
  HeadlessDevice mSavedDevice;
};
