// The finger slots: events and the per-frame poll, in landscape coordinates.
#include "app/input.h"

#include <gtest/gtest.h>

#include "platform/headless.h"

namespace {

class InputTest : public ::testing::Test {
 protected:
  void TearDown() override {
    ClearFingers();
    UseHeadlessPlatform();
  }
  void Push(uint8_t type, uint8_t which) {
    SDL_Event event{};
    event.type = type;
    if (type == SDL_MOUSEMOTION)
      event.motion.which = which;
    else
      event.button.which = which;
    device.events.push_back(event);
  }

  HeadlessDevice& device = UseHeadlessPlatform();
};

TEST_F(InputTest, FingersAreReadInLandscapeAndKeepTheirPlaceWhenLifted) {
  HeadlessTouch(2, 440, 310, true);
  EXPECT_EQ(device.fingers[2].x, 10);  // the device point of landscape (440, 310)
  EXPECT_EQ(device.fingers[2].y, 440);
  HandleInput();
  EXPECT_TRUE(gFingers[2].down);
  EXPECT_EQ(gFingers[2].x, 440);
  EXPECT_EQ(gFingers[2].y, 310);
  EXPECT_FALSE(gFingers[0].down);

  device.fingers[2].down = false;
  HandleInput();
  EXPECT_FALSE(gFingers[2].down);
  EXPECT_EQ(gFingers[2].x, 440);
  EXPECT_EQ(gFingers[2].y, 310);
}

TEST_F(InputTest, EventsMoveTheirSlotAndThePollHasTheLastWord) {
  HeadlessTouch(0, 100, 200, false);
  Push(SDL_MOUSEBUTTONDOWN, 0);
  Push(SDL_MOUSEMOTION, 0);
  Push(SDL_MOUSEBUTTONDOWN, 11);  // past the slots: dropped
  Push(SDL_MOUSEMOTION, 200);
  Push(SDL_QUIT, 0);  // ignored during play
  HandleInput();
  EXPECT_TRUE(device.events.empty());
  EXPECT_EQ(gFingers[0].x, 100);
  EXPECT_EQ(gFingers[0].y, 200);
  // The pointer reads as up by the time the slots are polled.
  EXPECT_FALSE(gFingers[0].down);
}

}  // namespace
