// The message table.
#include "world/messages.h"

const char* const kMessages[kMessageCount] = {
    "DEATH BY CRACKED PLATFORM", "TOUCH THE INVISIBLE BOX",   "DEATH BY JUMP PAD",
    "STUCK IN THE HOLE",         "DEATH BY CURIOUS",          "FOUND A CASTLE",
    "FOUND A SECRET ROOM",       "FOUND A SECRET MONEY ROOM", "FOUND A WARPZONE ROOM",
    "BRUTAL DEATH IN WARPZONE",  "WARPZONE ESCAPER",          "FOUND A ANOTHER CASTLE",
    "PASS THE SEA OF DEATH",     "HI, FINAL BOSS!!!",
};

uint32_t gFrameTime = 0;
int32_t gMessageIndex = kNoMessage;
uint32_t gMessageStart = 0;

void ShowMessage(int32_t index) {
  if (index < 0 || index >= kMessageCount) return;
  gMessageIndex = index;
  gMessageStart = gFrameTime;
}

void HideMessage() { gMessageIndex = kNoMessage; }
