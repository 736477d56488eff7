// The results screen after the goal's walk in, over the level's own sky: the hero, time, score,
// coins and secrets found out of the level's, deaths; a press leaves it for the start screen.
#pragma once

#include <cstdint>

#include "app/goal.h"

constexpr int kResultLines = 5;
constexpr int kResultValueLength = 16;

struct ResultLine {
  const char* label;               // "TIME", "SCORE", "COINS", "SECRETS", "DEATHS"
  char value[kResultValueLength];  // "1:05", "12400", "66/236", "2/3", "1"
};

extern int32_t gLivesLost;  // retries since the start button
extern bool gResultsShown;  // the results screen stands instead of play

// A new game: nothing reached, nothing counted.
void ResetResults();
// The walk in is over: the results screen stands instead of play.
void ShowResults();
void FormatResultLines(ResultLine lines[kResultLines]);
// One pass of the results screen: draw, then the events; a press returns to the start screen.
void ResultsStep();
// The panel behind the figures; without it the figures stand on the sky alone.
void LoadResultsPicture();
