// Checkpoints: passing one raises its flag with a sound, and a retry after a death starts
// there; the restart button forgets them and goes back to the level's start.
#pragma once

#include <cstdint>

constexpr int32_t kNoCheckpoint = -1;

extern int32_t gCheckpointReached;  // index of the last checkpoint passed, kNoCheckpoint if none

// The restart and a new game: back to the level's start.
void ForgetCheckpoints();
// After the frame's steps: a living player at or past a checkpoint's column, at or above its
// row, reaches it (only ever forward along the route).
void UpdateCheckpoints();
// After the retry has reloaded the level: the player into the reached checkpoint's cell, with
// the camera on it. False, the player left at the start, when none is reached.
bool PlaceAtCheckpoint();
// In the world pass: every checkpoint's pole, its flag raised once reached.
void DrawCheckpoints();
// The two flag pictures; headless runs draw nothing without them.
void LoadCheckpointPictures();
