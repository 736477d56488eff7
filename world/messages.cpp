// The message table.
#include "world/messages.h"

#include <iterator>

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

namespace {
constexpr int32_t kFirstMessageTrigger = 53;
constexpr int32_t kMessageOfTrigger[] = {0, 1, 2, 3, 4, 5, 2, 6, 7, 8, 9, 10, 11, 12, 13};
}  // namespace

int32_t MessageOfTrigger(int32_t triggerIndex) {
  const int64_t slot = int64_t(triggerIndex) - kFirstMessageTrigger;
  if (slot < 0 || slot >= int64_t(std::size(kMessageOfTrigger))) return kNoMessage;
  return kMessageOfTrigger[slot];
}

void ShowMessage(int32_t index) {
  if (index < 0 || index >= kMessageCount) return;
  gMessageIndex = index;
  gMessageStart = gFrameTime;
}

void HideMessage() { gMessageIndex = kNoMessage; }
