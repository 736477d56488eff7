// The start screen loop.
#include "app/start_screen.h"

#include "app/button.h"
#include "app/game.h"
#include "app/input.h"
#include "engine/font.h"
#include "engine/gl_api.h"
#include "engine/gl_setup.h"
#include "engine/music.h"
#include "engine/sprite_batch.h"
#include "platform/platform.h"

bool gStartDone = false;
int32_t gBlinkCounter = 0;

namespace {

// Over the start button, blinking with it: a keyboard player is told the key as well.
constexpr const char* kStartPrompt = "SPACE OR TAP TO START";
constexpr int kStartPromptY = 216;  // landscape px, just above the button

}  // namespace

void RunStartScreen() {
  gStartDone = false;
  while (!gStartDone) {
    StartScreenStep();
    LimitFrameRate();
  }
}

void DrawTitlePicture(bool button) {
  ClearScreen(kSkyColour[0], kSkyColour[1], kSkyColour[2], kSkyColour[3]);
  SetWorldState();
  BeginLandscape2D();
  cSpriteBatch& batch = cSpriteBatch::Instance();
  batch.Begin(false);
  DrawImage(gBackground, 0, 0);
  // In the same batch as the picture, after it: drawn on its own after the batch's flush, the
  // button never reached the screen.
  if (button && gButtons[kButtonStart]) {
    gButtons[kButtonStart]->Queue();
    DrawTextOutlinedCentred(kDeviceScreenHeight / 2, kStartPromptY, kStartPrompt, kWhite);
  }
  batch.Flush();
  End2D();
}

void StartScreenStep() {
  KeepTune(kTuneTitle, true);
  gBlinkCounter = gBlinkCounter < kBlinkCycle ? gBlinkCounter + 1 : 0;
  DrawTitlePicture(gBlinkCounter < kBlinkShownBelow);

  // Every event of the pass belongs to the start screen: the press that starts the game does
  // not carry into the first frame of play.
  bool start = false;
  InputEvent event;
  while (gPlatform.PollEvent(&event)) {
    if (event.type == InputType::kFingerDown) {
      int32_t x, y;
      DeviceToLandscape(event.x, event.y, &x, &y);
      if (gButtons[kButtonStart] && gButtons[kButtonStart]->Contains(x, y)) {
        SpendFinger(event.finger);
        start = true;
      }
    } else if (event.type == InputType::kActionPressed && event.action == InputAction::kStart) {
      start = true;
    } else if (event.type == InputType::kActionPressed && event.action == InputAction::kMute) {
      ToggleMute();
    } else if (event.type == InputType::kQuit) {
      Quit();
      gStartDone = true;
      return;
    }
  }
  if (start) {
    StartGame();
    gStartDone = true;
    return;
  }
  gPlatform.SwapBuffers();
}
