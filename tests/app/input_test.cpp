// Input: finger slots in landscape, the buttons' strict borders, flags rebuilt every frame,
// restart and retry on release, held actions from keys and pads, the spent START finger and
// the pause, all as the game's own events.
#include "app/input.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "app/button.h"
#include "app/checkpoints.h"
#include "app/game.h"
#include "app/results.h"
#include "platform/headless.h"
#include "player/player.h"
#include "tests/support/png.h"
#include "tests/support/scratch_data.h"
#include "world/map.h"

namespace {

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHeldInput();  // keys another test left held must not leak in
    // The reload plays this test's level from its own start, whatever another test set.
    gPlayedLevel = nullptr;
    gStartCell = StartCell{};
    ForgetCheckpoints();
    ResetResults();
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
    WriteLevelFile(levelPath, level);
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
    ResetHeldInput();
    UseHeadlessPlatform();
  }
  // A finger's event at its current place on the device.
  void Push(InputType type, int finger = 0) { HeadlessFingerEvent(finger, type); }
  void Key(InputAction action, bool down, InputSource source = InputSource::kKeyboard) {
    HeadlessAction(action, down, source);
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
  Push(InputType::kFingerDown);
  Push(InputType::kFingerDown, 11);  // past the slots: dropped
  Push(InputType::kFingerMove, -1);
  device.events.push_back(InputEvent{});  // a quit request: ignored during play
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
  Push(InputType::kFingerDown);
  HandleInput();
  EXPECT_FALSE(Reloaded());
  HeadlessTouch(0, 440, 40, false);
  Push(InputType::kFingerUp);
  HandleInput();
  EXPECT_TRUE(Reloaded());
  EXPECT_EQ(gLives, 5);

  // The retry button does nothing while alive; the restart button nothing while dying.
  HeadlessTouch(0, 240, 180, false);
  Push(InputType::kFingerUp);
  HandleInput();
  EXPECT_FALSE(Reloaded());
  gPlayer->dying = true;
  HeadlessTouch(0, 440, 40, false);
  Push(InputType::kFingerUp);
  HandleInput();
  EXPECT_FALSE(Reloaded());
  EXPECT_EQ(gLives, 5);

  // Retrying costs a life, even the last one.
  gLives = 0;
  HeadlessTouch(0, 240, 180, false);
  Push(InputType::kFingerUp);
  HandleInput();
  EXPECT_TRUE(Reloaded());
  EXPECT_FALSE(gPlayer->dying);
  EXPECT_EQ(gLives, -1);
}

TEST_F(InputTest, HeldActionsFeedTheSameFlagsAndHideTheButtons) {
  Key(InputAction::kLeft, true);
  Key(InputAction::kJump, true);
  Key(InputAction::kFire, true);
  HandleInput();
  EXPECT_TRUE(gActions[kActionLeft]);
  EXPECT_TRUE(gActions[kActionJump]);
  EXPECT_TRUE(gActions[kActionFire]);
  EXPECT_FALSE(gTouchControlsVisible);
  Key(InputAction::kLeft, false);
  HandleInput();
  EXPECT_FALSE(gActions[kActionLeft]);  // rebuilt every frame
  EXPECT_TRUE(gActions[kActionJump]);   // still held

  // A touch brings the buttons back; a pad hides them again.
  Push(InputType::kFingerDown);
  HandleInput();
  EXPECT_TRUE(gTouchControlsVisible);
  Key(InputAction::kDown, true, InputSource::kPad);
  Key(InputAction::kRight, true, InputSource::kPad);
  HandleInput();
  EXPECT_TRUE(gActions[kActionDown]);
  EXPECT_FALSE(gTouchControlsVisible);

  // The keyboard and a pad hold right each on their own: letting go of one keeps it held.
  Key(InputAction::kRight, true);
  Key(InputAction::kRight, false, InputSource::kPad);
  HandleInput();
  EXPECT_TRUE(gActions[kActionRight]);
  Key(InputAction::kRight, false);
  HandleInput();
  EXPECT_FALSE(gActions[kActionRight]);

  // Restart and retry are no held actions: they hide nothing and set no flag.
  Push(InputType::kFingerDown);
  Key(InputAction::kRestart, true);
  Key(InputAction::kStart, true, InputSource::kPad);
  HandleInput();
  EXPECT_TRUE(gTouchControlsVisible);
}

TEST_F(InputTest, TheFingerThatPressedStartIsNoTouchOfPlayUntilItLifts) {
  // START overlaps the right button: a finger still on it must not push the player.
  HeadlessTouch(0, 150, 250, true);
  SpendFinger(0);
  HandleInput();
  EXPECT_FALSE(gFingers[0].down);
  EXPECT_FALSE(gActions[kActionRight]);
  // Lifted, then pressed again: a touch like any other.
  device.fingers[0].down = false;
  HandleInput();
  HeadlessTouch(0, 150, 250, true);
  HandleInput();
  EXPECT_TRUE(gActions[kActionRight]);

  // A new press of the same finger counts at once, even in the frame after START.
  SpendFinger(0);
  Push(InputType::kFingerDown);
  HandleInput();
  EXPECT_TRUE(gActions[kActionRight]);
  // Other fingers are never spent.
  SpendFinger(3);
  HeadlessTouch(1, 150, 250, true);
  device.fingers[0].down = false;
  HandleInput();
  EXPECT_TRUE(gActions[kActionRight]);
}

TEST_F(InputTest, ThePauseKeyAndLostFocusStopTheFrames) {
  Key(InputAction::kPause, true);
  Key(InputAction::kPause, false);
  HandleInput();
  EXPECT_TRUE(GamePaused());
  // While paused only events are read: the picture is shown again, no frame runs, and a
  // release of restart waits for play.
  Key(InputAction::kRestart, true);
  HandleInput();
  const uint32_t steps = gSimulationSteps;
  Key(InputAction::kRestart, false);
  PausedPass();
  EXPECT_EQ(gSimulationSteps, steps);
  EXPECT_EQ(device.swaps, 1);
  EXPECT_FALSE(Reloaded());
  Key(InputAction::kPause, true);
  HandlePausedInput();
  EXPECT_FALSE(GamePaused());
  Key(InputAction::kPause, false);

  InputEvent focus;
  focus.type = InputType::kFocusLost;
  device.events.push_back(focus);
  HandleInput();
  EXPECT_TRUE(GamePaused());
  focus.type = InputType::kFocusGained;
  device.events.push_back(focus);
  HandlePausedInput();
  EXPECT_FALSE(GamePaused());

  // The death screen waits for a retry: a pad's Start, which pauses in play, does not pause.
  gPlayer->dying = true;
  Key(InputAction::kPause, true, InputSource::kPad);
  Key(InputAction::kRetry, true, InputSource::kPad);
  HandleInput();
  EXPECT_FALSE(GamePaused());
  Key(InputAction::kPause, false, InputSource::kPad);
  Key(InputAction::kRetry, false, InputSource::kPad);
  HandleInput();
  EXPECT_TRUE(Reloaded());
  EXPECT_FALSE(gPlayer->dying);

  // A pause read in the frame whose step then kills does not hold the death screen: the
  // retry key is taken, and play goes on unpaused.
  Key(InputAction::kPause, true);
  Key(InputAction::kPause, false);
  HandleInput();
  gPlayer->dying = true;
  EXPECT_FALSE(GamePaused());
  Key(InputAction::kRetry, true);
  Key(InputAction::kRetry, false);
  HandleInput();
  EXPECT_FALSE(gPlayer->dying);
  EXPECT_FALSE(GamePaused());
}

}  // namespace
