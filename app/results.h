// The end of a level: reaching its goal, the walk on past it, and the results screen (time,
// score, coins, lives lost) that a press leaves for the start screen.
#pragma once

#include <cstdint>

constexpr int32_t kWalkOnFrames = 75;  // frames the player walks on by itself after the goal
constexpr int kResultLines = 4;
constexpr int kResultLineLength = 32;

extern bool gGoalReached;    // from the frame the player reached the goal
extern int32_t gGoalFrame;   // play frames counted when it was reached
extern int32_t gPlayFrames;  // frames of play since the start button
extern int32_t gLivesLost;   // retries since the start button
extern bool gResultsShown;   // the results screen stands instead of play

// A new game: nothing reached, nothing counted.
void ResetResults();
// After the frame's input: during the walk on the player holds right and nothing else.
void SteerAfterGoal();
// After the frame's steps: counts the frame, notices the goal, ends the walk on.
void UpdateGoal();
// "TIME 1:05", "SCORE 1200", "COINS 31", "LIVES LOST 0".
void FormatResultLines(char lines[kResultLines][kResultLineLength]);
// One pass of the results screen: draw, then the events; a press returns to the start screen.
void ResultsStep();
