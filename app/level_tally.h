// What a level holds to be found, its coins (loose and in boxes) and its secret rooms, counted
// with the rooms its pipes lead to; and how much of it this run found, for the results screen.
#pragma once

#include <cstdint>

struct LevelData;

struct Tally {
  int32_t coinsFound = 0, coins = 0;
  int32_t secretsFound = 0, secrets = 0;
};

// A secret room is where a message names it found: "FOUND A SECRET ROOM", "FOUND A SECRET
// MONEY ROOM", "FOUND A WARPZONE ROOM". A level marks one by linking that message's trigger.
bool IsSecretMessage(int32_t message);

// A new game: nothing found; the level loaded next is the one counted, with its pipes' rooms.
void ForgetTally();
// After the frame's steps: coins taken and boxes struck near the view, and a secret's message.
// A coin taken again after a retry is not counted twice.
void WatchTally();
Tally CurrentTally();
