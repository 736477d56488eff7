// The fourteen on-screen messages and which one shows; the heads-up display draws it.
#pragma once

#include <cstdint>

constexpr int kMessageCount = 14;
constexpr uint32_t kMessageMilliseconds = 6000;
constexpr int32_t kNoMessage = -1;

extern const char* const kMessages[kMessageCount];

// Tick count at the start of the current frame: the time base of messages.
extern uint32_t gFrameTime;
extern int32_t gMessageIndex;
extern uint32_t gMessageStart;

// The message a message trigger shows, chosen by the trigger's own index (53 to 67), or
// kNoMessage for any other index.
int32_t MessageOfTrigger(int32_t triggerIndex);

void ShowMessage(int32_t index);
void HideMessage();
