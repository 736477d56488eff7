// The goal, the walk on and the results screen.
#include "app/results.h"

#include <cstdio>
#include <cstring>

#include "app/game.h"
#include "app/start_screen.h"
#include "engine/font.h"
#include "engine/gl_api.h"
#include "engine/gl_setup.h"
#include "engine/music.h"
#include "engine/sprite_batch.h"
#include "platform/platform.h"
#include "player/actions.h"
#include "player/player.h"
#include "world/map.h"
#include "world/score.h"

bool gGoalReached = false;
int32_t gGoalFrame = 0;
int32_t gPlayFrames = 0;
int32_t gLivesLost = 0;
bool gResultsShown = false;

namespace {

constexpr float kResultsColour[4] = {24 / 255.0f, 20 / 255.0f, 48 / 255.0f, 1.0f};
constexpr const char* kResultsTitle = "YOU MADE IT!";
constexpr const char* kResultsPrompt = "PRESS TO PLAY AGAIN";
constexpr int kTitleY = 48;         // landscape px
constexpr int kFirstLineY = 112;    // landscape px
constexpr int kLineSpacing = 28;    // landscape px
constexpr int kLinesX = 136;        // landscape px
constexpr int kPromptY = 256;       // landscape px
constexpr int kScreenColumns = 30;  // 480 px of 16-px glyphs
constexpr int kPromptBlink = 32;    // frames a cycle; the prompt shows in the first 24
constexpr int kPromptShown = 24;

// Frames before a press counts, so a key still held from play does not skip the results.
constexpr int32_t kResultsGrace = 15;
int32_t gResultsFrames = 0;
int32_t gWalkedFrames = 0;

bool PlayerInGoal() {
  if (!gMap || !gMap->hasGoal || !gPlayer || gPlayer->dying) return false;
  const int32_t column = PixelToCell(int32_t(gPlayer->x) + gPlayer->width / 2);
  const int32_t row = PixelToCell(int32_t(gPlayer->y) + gPlayer->height / 2);
  return gMap->goal.Contains(column, row);
}

void DrawCentred(int y, const char* text) {
  const int length = int(std::strlen(text));
  DrawText(int16_t((kScreenColumns - length) * kGlyphSize / 2), int16_t(y), text);
}

}  // namespace

void ResetResults() {
  gGoalReached = false;
  gGoalFrame = gPlayFrames = gLivesLost = 0;
  gResultsShown = false;
  gResultsFrames = gWalkedFrames = 0;
}

void SteerAfterGoal() {
  if (!gGoalReached) return;
  ClearActions(kActionCount);
  gActions[kActionRight] = true;
}

void UpdateGoal() {
  if (gResultsShown) return;
  if (!gGoalReached) {
    ++gPlayFrames;
    if (!PlayerInGoal()) return;
    gGoalReached = true;
    gGoalFrame = gPlayFrames;
    PlayTune(kTuneJingle, false);
    return;
  }
  if (++gWalkedFrames < kWalkOnFrames) return;
  gResultsShown = true;
  gResultsFrames = 0;
}

void FormatResultLines(char lines[kResultLines][kResultLineLength]) {
  const int32_t seconds = gGoalFrame / kFrameRate;
  std::snprintf(lines[0], kResultLineLength, "TIME       %d:%02d", seconds / 60, seconds % 60);
  std::snprintf(lines[1], kResultLineLength, "SCORE      %d", gScore);
  std::snprintf(lines[2], kResultLineLength, "COINS      %d", gCoins);
  std::snprintf(lines[3], kResultLineLength, "LIVES LOST %d", gLivesLost);
}

void ResultsStep() {
  ++gResultsFrames;
  ClearScreen(kResultsColour[0], kResultsColour[1], kResultsColour[2], kResultsColour[3]);
  SetWorldState();
  BeginLandscape2D();
  cSpriteBatch& batch = cSpriteBatch::Instance();
  batch.Begin(false);
  DrawCentred(kTitleY, kResultsTitle);
  char lines[kResultLines][kResultLineLength];
  FormatResultLines(lines);
  for (int i = 0; i < kResultLines; ++i)
    DrawText(kLinesX, int16_t(kFirstLineY + i * kLineSpacing), lines[i]);
  if (gResultsFrames % kPromptBlink < kPromptShown) DrawCentred(kPromptY, kResultsPrompt);
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
