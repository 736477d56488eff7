// The game's own random numbers: the sequence the C library of the desktop (glibc) gives
// after srand, reproduced exactly, so every platform and tool draws the same numbers and a
// replay recorded on one plays the same on all.
#pragma once

#include <cstdint>
#include <vector>

constexpr int32_t kRandomMax = 2147483647;  // the largest value Random returns

// Starts the sequence again from `seed`, as srand does (0 counts as 1).
void SeedRandom(uint32_t seed);
// The next number of the sequence, 0 to kRandomMax.
int32_t Random();
// The first `count` numbers after `seed`, from a generator of their own: the game's sequence
// goes on undisturbed.
std::vector<int32_t> RandomSequence(uint32_t seed, int count);
