// The start screen loop.
#include "app/start_screen.h"

#include "app/button.h"
#include "app/game.h"
#include "app/input.h"
#include "engine/gl_api.h"
#include "engine/gl_setup.h"
#include "engine/music.h"
#include "engine/sprite_batch.h"
#include "platform/platform.h"

bool gStartDone = false;
int32_t gBlinkCounter = 0;

namespace {

// Keys that press start on the desktop, as the mouse on the button does.
bool StartKey(SDLKey key) {
  return key == SDLK_RETURN || key == SDLK_KP_ENTER || key == SDLK_SPACE;
}

// Lets the pointer read as a landscape point.
void PointerInLandscape(int32_t* x, int32_t* y) {
  int deviceX = 0, deviceY = 0;
  gPlatform.GetMouseState(&deviceX, &deviceY);
  DeviceToLandscape(deviceX, deviceY, x, y);
}

}  // namespace

void RunStartScreen() {
  gStartDone = false;
  while (!gStartDone) {
    StartScreenStep();
    LimitFrameRate();
  }
}

void StartScreenStep() {
  KeepTune(kTuneTitle, true);
  ClearScreen(kSkyColour[0], kSkyColour[1], kSkyColour[2], kSkyColour[3]);
  SetWorldState();
  Begin2D();
  gGL.Rotatef(kLandscapeTurn, 0, 0, 1);
  gGL.Translatef(0, kLandscapeShift, 0);
  cSpriteBatch& batch = cSpriteBatch::Instance();
  batch.Begin(false);
  DrawImage(gBackground, 0, 0);
  gBlinkCounter = gBlinkCounter < kBlinkCycle ? gBlinkCounter + 1 : 0;
  batch.Flush();
  if (gBlinkCounter < kBlinkShownBelow && gButtons[kButtonStart]) gButtons[kButtonStart]->Draw();
  End2D();

  SDL_Event event;
  while (gPlatform.PollEvent(&event)) {
    bool press = false;
    if (event.type == SDL_MOUSEBUTTONDOWN) {
      int32_t x, y;
      PointerInLandscape(&x, &y);
      press = gButtons[kButtonStart] && gButtons[kButtonStart]->Contains(x, y);
    } else if (event.type == SDL_KEYDOWN) {
      if (event.key.keysym.sym == SDLK_m) ToggleMute();
      press = StartKey(event.key.keysym.sym);
    } else if (event.type == SDL_JOYBUTTONDOWN) {
      press = true;
    } else if (event.type == SDL_QUIT) {
      Quit();
      gStartDone = true;
      return;
    }
    if (press) {
      StartGame();
      gStartDone = true;
      return;
    }
  }
  gPlatform.SwapBuffers();
}
