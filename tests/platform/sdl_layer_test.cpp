// The real SDL 2 desktop layer under Xvfb, with the real game on its own data: a virtual
// game controller starts, moves and jumps the player and lets go when pulled out; touch-finger
// events take the lowest free slots at the right landscape points, before and after a resize
// with black bars, and two fingers run and jump together. Run by tests/e2e/sdl_layer_test.sh.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "app/game.h"
#include "app/input.h"
#include "app/start_screen.h"
#include "engine/gl_api.h"
#include "engine/music.h"
#include "platform/desktop.h"
#include "player/player.h"

namespace {

constexpr int kTouchDevice = 77;

// Plays real frames at the game's own pace.
void RunFrames(int count) {
  for (int i = 0; i < count; ++i) {
    if (GamePaused())
      PausedPass();
    else
      Frame();
    LimitFrameRate();
  }
}

SDL_Window* Window() { return SDL_GL_GetCurrentWindow(); }

// A touch-finger event at a window point, as a touch screen's driver sends it.
void Touch(Uint32 type, SDL_FingerID finger, float windowX, float windowY) {
  int width = 0, height = 0;
  SDL_GetWindowSize(Window(), &width, &height);
  SDL_Event e{};
  e.type = type;
  e.tfinger.touchId = kTouchDevice;
  e.tfinger.fingerId = finger;
  e.tfinger.x = windowX / float(width);
  e.tfinger.y = windowY / float(height);
  e.tfinger.windowID = SDL_GetWindowID(Window());
  ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
}

struct Pad {
  int index = -1;
  SDL_Joystick* joystick = nullptr;
  void Button(SDL_GameControllerButton button, bool down) {
    SDL_JoystickSetVirtualButton(joystick, button, down ? 1 : 0);
  }
  void Axis(SDL_GameControllerAxis axis, Sint16 value) {
    SDL_JoystickSetVirtualAxis(joystick, axis, value);
  }
};

TEST(SdlLayerTest, AVirtualPadStartsMovesAndJumpsThePlayerAndLetsGoWhenPulledOut) {
  const char* data = std::getenv("BRINKHOP_TEST_DATA");
  ASSERT_NE(data, nullptr);
  ASSERT_EQ(chdir(data), 0);
  UseDesktopPlatform();
  UseDesktopGL();
  gScreenWidth = kDeviceScreenWidth;
  gScreenHeight = kDeviceScreenHeight;
  ASSERT_TRUE(Init());
  CreatePlayerAndBackground();

  // Plugged in while the game runs: the game opens it by the controller database.
  Pad pad;
  pad.index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                        SDL_CONTROLLER_BUTTON_MAX, 0);
  ASSERT_GE(pad.index, 0) << SDL_GetError();
  ASSERT_TRUE(SDL_IsGameController(pad.index));
  pad.joystick = SDL_JoystickOpen(pad.index);
  ASSERT_NE(pad.joystick, nullptr);
  HandlePausedInput();  // the game sees the pad arrive
  pad.Button(SDL_CONTROLLER_BUTTON_START, true);
  CreateObjects();  // the start screen, until Start starts the game
  ASSERT_TRUE(gStartDone);
  ASSERT_TRUE(gPlayer && !gPlayer->startScreenFlag);
  pad.Button(SDL_CONTROLLER_BUTTON_START, false);
  RunFrames(10);
  EXPECT_FALSE(GamePaused());

  const float groundY = gPlayer->y;
  float highest = groundY;
  pad.Button(SDL_CONTROLLER_BUTTON_A, true);
  for (int i = 0; i < 12; ++i) {
    RunFrames(1);
    if (gPlayer->y < highest) highest = gPlayer->y;
  }
  EXPECT_LT(highest, groundY - 10) << "A did not jump";
  EXPECT_FALSE(gTouchControlsVisible);
  RunFrames(20);  // landed again, A still held

  const float startX = gPlayer->x;
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 32000);
  RunFrames(10);
  EXPECT_TRUE(gActions[kActionRight]);
  EXPECT_GT(gPlayer->x, startX + 10);

  // Pulled out while right and A are held: the player stops.
  SDL_JoystickClose(pad.joystick);
  ASSERT_EQ(SDL_JoystickDetachVirtual(pad.index), 0);
  RunFrames(45);
  EXPECT_FALSE(gActions[kActionRight]);
  EXPECT_FALSE(gActions[kActionJump]);
  const float stoppedX = gPlayer->x;
  RunFrames(10);
  EXPECT_EQ(gPlayer->x, stoppedX);

  // Start pauses in play and again goes on; a pad plugged in now works at once.
  pad.index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                        SDL_CONTROLLER_BUTTON_MAX, 0);
  pad.joystick = SDL_JoystickOpen(pad.index);
  RunFrames(2);
  pad.Button(SDL_CONTROLLER_BUTTON_START, true);
  RunFrames(2);
  EXPECT_TRUE(GamePaused());
  pad.Button(SDL_CONTROLLER_BUTTON_START, false);
  RunFrames(2);
  pad.Button(SDL_CONTROLLER_BUTTON_START, true);
  RunFrames(2);
  EXPECT_FALSE(GamePaused());
  pad.Button(SDL_CONTROLLER_BUTTON_START, false);
  SDL_JoystickClose(pad.joystick);
  SDL_JoystickDetachVirtual(pad.index);
  RunFrames(2);
}

TEST(SdlLayerTest, TouchFingersTakeTheLowestFreeSlotsAndPlayTogether) {
  ASSERT_TRUE(gStartDone) << "needs the game the pad started";
  RestartLevel();
  RunFrames(15);  // settled on the ground

  // Right (landscape 160, 262) and jump (432, 262), twice that in the 960 x 640 window.
  Touch(SDL_FINGERDOWN, 1001, 320, 524);
  Touch(SDL_FINGERDOWN, 1002, 864, 524);
  // The mouse event SDL makes of a touch is not a finger of its own.
  SDL_Event mouse{};
  mouse.type = SDL_MOUSEBUTTONDOWN;
  mouse.button.which = SDL_TOUCH_MOUSEID;
  mouse.button.button = SDL_BUTTON_LEFT;
  mouse.button.x = 100;
  mouse.button.y = 100;
  SDL_PushEvent(&mouse);
  const float startX = gPlayer->x, groundY = gPlayer->y;
  RunFrames(1);
  EXPECT_TRUE(gTouchControlsVisible);
  EXPECT_TRUE(gFingers[0].down);
  EXPECT_EQ(gFingers[0].x, 160);
  EXPECT_EQ(gFingers[0].y, 262);
  EXPECT_TRUE(gFingers[1].down);
  EXPECT_EQ(gFingers[1].x, 432);
  EXPECT_EQ(gFingers[1].y, 262);
  EXPECT_FALSE(gFingers[2].down);
  float highest = groundY;
  for (int i = 0; i < 12; ++i) {
    RunFrames(1);
    if (gPlayer->y < highest) highest = gPlayer->y;
  }
  EXPECT_TRUE(gActions[kActionRight]);
  EXPECT_GT(gPlayer->x, startX + 5) << "right did not run";
  EXPECT_LT(highest, groundY - 10) << "jump did not jump";

  // Lifting the first frees slot 0 for the next finger; the second keeps slot 1.
  Touch(SDL_FINGERUP, 1001, 320, 524);
  RunFrames(1);
  EXPECT_FALSE(gFingers[0].down);
  EXPECT_TRUE(gFingers[1].down);
  Touch(SDL_FINGERDOWN, 1003, 100, 100);
  RunFrames(1);
  EXPECT_TRUE(gFingers[0].down);
  EXPECT_EQ(gFingers[0].x, 50);
  EXPECT_EQ(gFingers[0].y, 50);
  Touch(SDL_FINGERUP, 1003, 100, 100);
  Touch(SDL_FINGERUP, 1002, 864, 524);
  RunFrames(2);
  for (const FingerSlot& slot : gFingers) EXPECT_FALSE(slot.down);

  // A wider window: the picture sits between bars of 120, and a touch in a bar touches nothing.
  SDL_SetWindowSize(Window(), 1200, 640);
  for (int i = 0; i < 60; ++i) {
    RunFrames(1);
    int width = 0, height = 0;
    SDL_GetWindowSize(Window(), &width, &height);
    if (width == 1200) break;
  }
  RunFrames(2);
  Touch(SDL_FINGERDOWN, 1004, 60, 320);
  RunFrames(1);
  EXPECT_FALSE(gFingers[0].down) << "a touch in the bar";
  Touch(SDL_FINGERDOWN, 1005, 120 + 320, 524);
  RunFrames(1);
  EXPECT_TRUE(gFingers[0].down);
  EXPECT_EQ(gFingers[0].x, 160);
  EXPECT_EQ(gFingers[0].y, 262);
  EXPECT_TRUE(gActions[kActionRight]);
  Touch(SDL_FINGERUP, 1005, 120 + 320, 524);
  Touch(SDL_FINGERUP, 1004, 60, 320);
  RunFrames(2);
  EXPECT_FALSE(gActions[kActionRight]);
}

void Key(SDL_Keycode key, bool down) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.sym = key;
  e.key.windowID = SDL_GetWindowID(Window());
  SDL_PushEvent(&e);
}

TEST(SdlLayerTest, KeysHoldUntilTheLastLetsGoMTogglesTheMuteAndF11GoesFullScreenAndBack) {
  ASSERT_TRUE(gStartDone) << "needs the game the pad started";
  // Two keys for one action: letting go of one keeps it held.
  Key(SDLK_RIGHT, true);
  Key(SDLK_d, true);
  RunFrames(1);
  EXPECT_TRUE(gActions[kActionRight]);
  EXPECT_FALSE(gTouchControlsVisible);
  Key(SDLK_RIGHT, false);
  RunFrames(1);
  EXPECT_TRUE(gActions[kActionRight]);
  Key(SDLK_d, false);
  RunFrames(1);
  EXPECT_FALSE(gActions[kActionRight]);

  // M mutes and unmutes, on the press.
  const bool muted = Muted();
  Key(SDLK_m, true);
  RunFrames(1);
  EXPECT_NE(Muted(), muted);
  Key(SDLK_m, false);
  RunFrames(1);
  EXPECT_NE(Muted(), muted);
  Key(SDLK_m, true);
  Key(SDLK_m, false);
  RunFrames(1);
  EXPECT_EQ(Muted(), muted);

  int width = 0, height = 0;
  SDL_GetWindowSize(Window(), &width, &height);
  Key(SDLK_F11, true);
  Key(SDLK_F11, false);
  RunFrames(10);
  EXPECT_TRUE(SDL_GetWindowFlags(Window()) & SDL_WINDOW_FULLSCREEN_DESKTOP);
  Key(SDLK_F11, true);
  Key(SDLK_F11, false);
  int w = 0, h = 0;
  for (int i = 0; i < 30 && (w != width || h != height); ++i) {
    RunFrames(1);
    SDL_GetWindowSize(Window(), &w, &h);
  }
  EXPECT_FALSE(SDL_GetWindowFlags(Window()) & SDL_WINDOW_FULLSCREEN_DESKTOP);
  EXPECT_EQ(w, width);
  EXPECT_EQ(h, height);
}

}  // namespace
