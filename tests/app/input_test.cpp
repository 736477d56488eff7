// Input: finger slots in landscape, the buttons' strict borders, flags rebuilt every frame,
// restart and retry on release, and the desktop's keys, gamepad and pause.
#include "app/input.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "app/button.h"
#include "app/game.h"
#include "platform/headless.h"
#include "player/player.h"
#include "tests/support/png.h"
#include "world/map.h"

namespace {

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDesktopInput();  // keys another test left held must not leak in
    ClearActions(kActionCount);
    CreateButtons(Texture{1, 256, 256, 256, 256}, Texture{2, 256, 64, 256, 64});
    gMap = map.get();
    const int32_t* k = kGamePlayerLayout;
    gPlayer = new cPlayer(k[0], k[1], k[2], k[3], k[4], k[5], k[6]);
    // A level whose start is cell (5, 5), so a reload is easy to see.
    LevelData level = EmptyLevel();
    level.triggers = {LevelTrigger{kTriggerStart, 0, 0, 0, 0, 0, 0}};
    level.layers[kFileTrigger][size_t(CellIndex(5, 5))] = 0;
    levelPath = TestScratchDir() + "/input_test_level";
    const std::vector<uint8_t> bytes = SerializeLevel(level);
    std::ofstream(levelPath, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    map->levelName = levelPath;
    gLives = 5;
  }
  void TearDown() override {
    for (cButton*& button : gButtons) {
      delete button;
      button = nullptr;
    }
    delete gPlayer;
    gPlayer = nullptr;
    gMap = nullptr;
    ClearFingers();
    ClearActions(kActionCount);
    ResetDesktopInput();
    UseHeadlessPlatform();
  }
  void Push(uint8_t type, uint8_t which = 0) {
    SDL_Event event{};
    event.type = type;
    if (type == SDL_MOUSEMOTION)
      event.motion.which = which;
    else
      event.button.which = which;
    device.events.push_back(event);
  }
  void Key(SDLKey key, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.keysym.sym = key;
    device.events.push_back(event);
  }
  bool Reloaded() {
    const bool atStart = gPlayer->x == 160.0f && gPlayer->y == 160.0f;
    gPlayer->x = gPlayer->y = 1000;
    map->levelName = levelPath;  // every load names the shipped "level" for the next one
    return atStart;
  }

  HeadlessDevice& device = UseHeadlessPlatform();
  std::unique_ptr<cMap> map = std::make_unique<cMap>();
  std::string levelPath;
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

  // Events move their slot; the poll has the last word on down.
  HeadlessTouch(0, 100, 200, false);
  Push(SDL_MOUSEBUTTONDOWN);
  Push(SDL_MOUSEBUTTONDOWN, 11);  // past the slots: dropped
  Push(SDL_MOUSEMOTION, 200);
  Push(SDL_QUIT);  // ignored during play
  HandleInput();
  EXPECT_TRUE(device.events.empty());
  EXPECT_EQ(gFingers[0].x, 100);
  EXPECT_FALSE(gFingers[0].down);
}

TEST_F(InputTest, ButtonsSetTheirFlagsOnlyInsideTheirBorders) {
  HeadlessTouch(0, 32, 250, true);  // on the left button's border
  HandleInput();
  EXPECT_FALSE(gActions[kActionLeft]);
  HeadlessTouch(0, 33, 250, true);
  HeadlessTouch(1, 430, 260, true);  // jump, with a second finger
  HandleInput();
  EXPECT_TRUE(gActions[kActionLeft]);
  EXPECT_TRUE(gActions[kActionJump]);
  EXPECT_FALSE(gActions[kActionRight]);
  // A finger sliding off its button clears the flag in the next frame, though still down.
  HeadlessTouch(0, 110, 250, true);
  HandleInput();
  EXPECT_TRUE(gFingers[0].down);
  EXPECT_FALSE(gActions[kActionLeft]);
  EXPECT_TRUE(gActions[kActionJump]);
  HeadlessTouch(1, 430, 260, false);
  HandleInput();
  EXPECT_FALSE(gActions[kActionJump]);
}

TEST_F(InputTest, RestartAndRetryActOnReleaseEachInItsState) {
  // Lifting on the restart button while alive reloads the level; pressing does nothing.
  HeadlessTouch(0, 440, 40, true);
  Push(SDL_MOUSEBUTTONDOWN);
  HandleInput();
  EXPECT_FALSE(Reloaded());
  HeadlessTouch(0, 440, 40, false);
  Push(SDL_MOUSEBUTTONUP);
  HandleInput();
  EXPECT_TRUE(Reloaded());
  EXPECT_EQ(gLives, 5);

  // The retry button does nothing while alive; the restart button nothing while dying.
  HeadlessTouch(0, 240, 180, false);
  Push(SDL_MOUSEBUTTONUP);
  HandleInput();
  EXPECT_FALSE(Reloaded());
  gPlayer->dying = true;
  HeadlessTouch(0, 440, 40, false);
  Push(SDL_MOUSEBUTTONUP);
  HandleInput();
  EXPECT_FALSE(Reloaded());
  EXPECT_EQ(gLives, 5);

  // Retrying costs a life, even the last one.
  gLives = 0;
  HeadlessTouch(0, 240, 180, false);
  Push(SDL_MOUSEBUTTONUP);
  HandleInput();
  EXPECT_TRUE(Reloaded());
  EXPECT_FALSE(gPlayer->dying);
  EXPECT_EQ(gLives, -1);
}

TEST_F(InputTest, KeysAndGamepadFeedTheSameFlagsAndHideTheButtons) {
  Key(SDLK_a, true);
  Key(SDLK_SPACE, true);
  Key(SDLK_LSHIFT, true);
  HandleInput();
  EXPECT_TRUE(gActions[kActionLeft]);
  EXPECT_TRUE(gActions[kActionJump]);
  EXPECT_TRUE(gActions[kActionFire]);
  EXPECT_FALSE(gTouchControlsVisible);
  Key(SDLK_a, false);
  HandleInput();
  EXPECT_FALSE(gActions[kActionLeft]);  // rebuilt every frame
  EXPECT_TRUE(gActions[kActionJump]);   // still held

  // Two keys for one action: releasing one keeps the action held.
  Key(SDLK_RIGHT, true);
  Key(SDLK_d, true);
  Key(SDLK_RIGHT, false);
  HandleInput();
  EXPECT_TRUE(gActions[kActionRight]);

  // A touch brings the buttons back.
  Push(SDL_MOUSEBUTTONDOWN);
  HandleInput();
  EXPECT_TRUE(gTouchControlsVisible);

  SDL_Event stick{};
  stick.type = SDL_JOYAXISMOTION;
  stick.jaxis.axis = 1;
  stick.jaxis.value = 30000;
  device.events.push_back(stick);
  SDL_Event button{};
  button.type = SDL_JOYBUTTONDOWN;
  button.jbutton.button = 1;
  device.events.push_back(button);
  HandleInput();
  EXPECT_TRUE(gActions[kActionDown]);
  EXPECT_TRUE(gActions[kActionFire]);
  EXPECT_FALSE(gTouchControlsVisible);

  // R restarts on release while alive; Enter retries on release while dying.
  Key(SDLK_r, true);
  HandleInput();
  EXPECT_FALSE(Reloaded());
  Key(SDLK_r, false);
  HandleInput();
  EXPECT_TRUE(Reloaded());
  gPlayer->dying = true;
  Key(SDLK_RETURN, true);
  Key(SDLK_RETURN, false);
  HandleInput();
  EXPECT_TRUE(Reloaded());
  EXPECT_EQ(gLives, 4);
}

TEST_F(InputTest, ThePauseKeyAndLostFocusStopTheFrames) {
  Key(SDLK_p, true);
  Key(SDLK_p, false);
  HandleInput();
  EXPECT_TRUE(GamePaused());
  // While paused only events are read: the picture is shown again, no frame runs.
  const uint32_t steps = gSimulationSteps;
  PausedPass();
  EXPECT_EQ(gSimulationSteps, steps);
  EXPECT_EQ(device.swaps, 1);
  Key(SDLK_p, true);
  HandlePausedInput();
  EXPECT_FALSE(GamePaused());

  SDL_Event focus{};
  focus.type = SDL_ACTIVEEVENT;
  focus.active.state = SDL_APPINPUTFOCUS;
  focus.active.gain = 0;
  device.events.push_back(focus);
  HandleInput();
  EXPECT_TRUE(GamePaused());
  focus.active.gain = 1;
  device.events.push_back(focus);
  HandlePausedInput();
  EXPECT_FALSE(GamePaused());
}

}  // namespace
