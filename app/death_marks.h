// Deaths that teach: where the player died stays marked for the rest of the run, and the unseen
// thing that killed there (a hidden box or ceiling, deadly ground, a cracked platform) is drawn
// faintly from then on. Drawing only: nothing here changes the map, a collision or the random
// sequence, so every replay keeps its frames.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What stood unseen in a cell when its level was loaded.
enum class UnseenKiller : uint8_t { kNone, kHiddenBox, kDeadlyGround, kDeadlyCeiling, kCracked };

struct DeathMark {
  std::string level;  // the level file it happened in
  int32_t x, y;       // world px: the player's middle when it began to die
};

struct KillerTell {
  std::string level;
  int32_t column, row;
  UnseenKiller kind;
};

// The run's record, kept across retries; the restart button and a new game forget it.
extern std::vector<DeathMark> gDeathMarks;
extern std::vector<KillerTell> gKillerTells;

void ForgetDeaths();
// Before the frame's steps (a retry or a restart loads the level in the frame's input): a
// fresh load is read for what stands unseen where. After them: a death that began this frame
// is marked, with the unseen killers the player touched on its way there.
void NoteLevelLoads();
void WatchDeaths();
// In the world pass, after the map: the faint tells the map does not draw itself, then the
// markers.
void DrawDeathMarks();
// The marker's and the crack's pictures; headless runs draw nothing without them.
void LoadDeathPictures();
