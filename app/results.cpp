// The results screen: the figures of the finished run and the press that leaves it.
#include "app/results.h"

#include <cstdio>
#include <cstring>

#include "app/backdrop.h"
#include "app/game.h"
#include "app/level_tally.h"
#include "app/start_screen.h"
#include "engine/font.h"
#include "engine/gl_api.h"
#include "engine/gl_setup.h"
#include "engine/music.h"
#include "engine/sprite_batch.h"
#include "engine/texture.h"
#include "platform/platform.h"
#include "player/actions.h"
#include "player/player.h"
#include "world/map.h"
#include "world/score.h"

int32_t gLivesLost = 0;
bool gResultsShown = false;

namespace {

constexpr const char* kResultsTitle = "YOU MADE IT!";
// Names what answers: a key on the desktop, a tap on a phone.
constexpr const char* kResultsPrompt = "SPACE OR TAP TO PLAY AGAIN";
constexpr DrawColour kTitleTint = {1.0f, 0.82f, 0.25f, 1.0f};  // the coins' gold
constexpr int kTitleY = 18;                                    // landscape px
constexpr int kPanelX = 32, kPanelY = 52;                      // landscape px
constexpr int kPanelWidth = 416, kPanelHeight = 196;
constexpr int kHeroX = 60, kHeroY = 110, kHeroSize = 64;  // the hero, twice its size
constexpr int kLabelsX = 160;                             // landscape px
constexpr int kValuesRight = 424;                         // values end here, right-aligned
constexpr int kFirstLineY = 72;                           // landscape px
constexpr int kLineSpacing = 34;                          // landscape px
constexpr int kPromptY = 276;                             // landscape px
constexpr int kScreenCentreX = kDeviceScreenHeight / 2;   // landscape px: the portrait height
constexpr int kPromptBlink = 32;  // frames a cycle; the prompt shows in the first 24
constexpr int kPromptShown = 24;

// Frames before a press counts, so a key still held from play does not skip the results.
constexpr int32_t kResultsGrace = 15;
int32_t gResultsFrames = 0;
Texture* gPanelPicture = nullptr;

void DrawResults() {
  if (gPanelPicture) DrawSprite(gPanelPicture, kPanelX, kPanelY, kPanelWidth, kPanelHeight, 0);
  if (gPlayer && gPlayer->textures[0])
    DrawSprite(gPlayer->textures[0], kHeroX, kHeroY, kHeroSize, kHeroSize, 0);
  DrawTextOutlinedCentred(kScreenCentreX, kTitleY, kResultsTitle, kTitleTint);
  ResultLine lines[kResultLines];
  FormatResultLines(lines);
  for (int i = 0; i < kResultLines; ++i) {
    const int y = kFirstLineY + i * kLineSpacing;
    DrawTextOutlined(kLabelsX, y, lines[i].label);
    const int width = int(std::strlen(lines[i].value)) * kGlyphSize;
    DrawTextOutlined(kValuesRight - width, y, lines[i].value, kTitleTint);
  }
  if (gResultsFrames % kPromptBlink < kPromptShown)
    DrawTextOutlinedCentred(kScreenCentreX, kPromptY, kResultsPrompt, kWhite);
}

}  // namespace

void ResetResults() {
  ResetGoal();
  ForgetTally();
  gLivesLost = 0;
  gResultsShown = false;
  gResultsFrames = 0;
}

void ShowResults() {
  gResultsShown = true;
  gResultsFrames = 0;
}

void FormatResultLines(ResultLine lines[kResultLines]) {
  const int32_t seconds = gGoalFrame / kFrameRate;
  const Tally tally = CurrentTally();
  lines[0].label = "TIME";
  std::snprintf(lines[0].value, kResultValueLength, "%d:%02d", seconds / 60, seconds % 60);
  lines[1].label = "SCORE";
  std::snprintf(lines[1].value, kResultValueLength, "%d", gScore);
  lines[2].label = "COINS";
  std::snprintf(lines[2].value, kResultValueLength, "%d/%d", tally.coinsFound, tally.coins);
  lines[3].label = "SECRETS";
  std::snprintf(lines[3].value, kResultValueLength, "%d/%d", tally.secretsFound, tally.secrets);
  lines[4].label = "DEATHS";
  std::snprintf(lines[4].value, kResultValueLength, "%d", gLivesLost);
}

void ResultsStep() {
  ++gResultsFrames;
  // The level's own sky, where the run ended, behind the figures.
  ClearScreen(kSkyColour[0], kSkyColour[1], kSkyColour[2], kSkyColour[3]);
  cSpriteBatch& batch = cSpriteBatch::Instance();
  if (HasOutdoorBackdrop()) {
    SetWorldState();
    BeginLandscape2D();
    batch.Begin(false);
    DrawOutdoorBackdrop();
    batch.Flush();
    End2D();
  }
  SetWorldState();
  BeginLandscape2D();
  batch.Begin(false);
  DrawResults();
  batch.Flush();
  End2D();
  gPlatform.SwapBuffers();

  InputEvent event;
  bool press = false;
  while (gPlatform.PollEvent(&event)) {
    if (event.type == InputType::kQuit) {
      Quit();
      return;
    }
    if (event.type == InputType::kFingerDown) {
      press = true;
    } else if (event.type == InputType::kActionPressed) {
      // The mute and the full screen are no answer to the results.
      if (event.action == InputAction::kMute)
        ToggleMute();
      else if (event.action != InputAction::kFullScreen)
        press = true;
    }
  }
  if (press && gResultsFrames > kResultsGrace) {
    gResultsShown = false;
    gStartDone = false;  // the main loop shows the start screen again
  }
}

void LoadResultsPicture() { gPanelPicture = LoadTexture("results_panel.png"); }
