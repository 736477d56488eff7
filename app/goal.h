// The end of a level's route: reaching its goal, the gate drawn over it, and the short walk in
// through the gate (with the jingle) before the results screen.
#pragma once

#include <cstdint>

constexpr int32_t kWalkOnFrames = 75;  // frames the player walks on by itself after the goal

extern bool gGoalReached;    // from the frame the player reached the goal
extern int32_t gGoalFrame;   // play frames counted when it was reached
extern int32_t gPlayFrames;  // frames of play since the start button

// A new game: nothing reached, nothing counted.
void ResetGoal();
// After the frame's input: during the walk in the player holds right and nothing else, until
// it is inside the gate.
void SteerAfterGoal();
// After the frame's steps: counts the frame, notices the goal, ends the walk on with the
// results screen.
void UpdateGoal();
// In the world pass: the gate standing on the goal's bottom edge, across its columns.
void DrawGoal();
// The player has walked in through the gate: the world pass no longer draws it.
bool PlayerWentIn();
// The gate's picture; headless runs draw nothing without it.
void LoadGoalPicture();
