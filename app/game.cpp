// Start-up, main loop, frame, limiter and quit.
#include "app/game.h"

#include <cstdlib>

#include "app/backdrop.h"
#include "app/checkpoints.h"
#include "app/death_marks.h"
#include "app/goal.h"
#include "app/hud.h"
#include "app/input.h"
#include "app/level_tally.h"
#include "app/resources.h"
#include "app/results.h"
#include "app/start_screen.h"
#include "engine/gl_api.h"
#include "engine/gl_setup.h"
#include "engine/music.h"
#include "engine/random.h"
#include "engine/sprite_batch.h"
#include "engine/texture.h"
#include "platform/platform.h"
#include "player/fireballs.h"
#include "player/player.h"
#include "units/unit_table.h"
#include "world/blocks.h"
#include "world/bonus.h"
#include "world/camera.h"
#include "world/effects.h"
#include "world/map.h"
#include "world/numbers.h"

int32_t gScreenWidth = 0;
int32_t gScreenHeight = 0;
bool gRunning = false;
uint32_t gLastFrameEnd = 0;
int32_t gFrameRate = kFrameRate;
uint32_t gSimulationSteps = 0;

Texture* gBackground = nullptr;
PassHooks gPassHooks;

namespace {

constexpr uint32_t kWarpFrameWait = 10;  // ms after each frame of a pipe warp

}  // namespace

// The frame's world pass state: the sprite batch draws with it.
void SetWorldState() {
  gGL.Disable(GL_CULL_FACE);
  gGL.MatrixMode(GL_MODELVIEW);
  gGL.LoadIdentity();
  gGL.Enable(GL_TEXTURE_2D);
  gGL.Enable(GL_BLEND);
  gGL.Disable(GL_DEPTH_TEST);
  gGL.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  gGL.Color4ub(255, 255, 255, 255);
}

int RunGame() {
  if (!OpenGame()) return 1;
  RunStartScreen();
  gRunning = true;
  while (gRunning) {
    if (gPassHooks.before) gPassHooks.before();
    MainLoopPass();
    if (gPassHooks.after) gPassHooks.after();
    LimitFrameRate();
  }
  Quit();
  return 0;
}

void MainLoopPass() {
  if (!gStartDone)
    StartScreenStep();
  else if (gResultsShown)
    ResultsStep();
  else if (GamePaused())
    PausedPass();
  else
    Frame();
}

bool Init() {
  if (!gPlatform.OpenScreen(kDeviceScreenWidth, kDeviceScreenHeight, "Brinkhop")) return false;
  gPlatform.OpenAudio();
  SetupGL(gScreenWidth, gScreenHeight);
  gPresentWarpFrame = PresentWarpFrame;
  SetScreenInfo(gScreenWidth, gScreenHeight, kOrientationLandscape);
  return true;
}

// A frame of a pipe warp: the map and the player sliding into the pipe, no simulation, then
// a short wait.
void PresentWarpFrame() {
  BeginWorldWithBackdrop();
  cSpriteBatch& batch = cSpriteBatch::Instance();
  if (gPlayer)
    DrawSprite(gPlayer->textures[0], Trunc(gPlayer->x), Trunc(gPlayer->y), gPlayer->width,
               gPlayer->height, 0);
  if (gMap) gMap->UpdateAndDraw();
  batch.Flush();
  gPlatform.SwapBuffers();
  gPlatform.Delay(kWarpFrameWait);
}

void BeginLandscape2D() {
  Begin2D();
  gGL.Rotatef(kLandscapeTurn, 0, 0, 1);
  gGL.Translatef(0, kLandscapeShift, 0);
}

void BeginWorldWithBackdrop() {
  ClearScreen(kSkyColour[0], kSkyColour[1], kSkyColour[2], kSkyColour[3]);
  cSpriteBatch& batch = cSpriteBatch::Instance();
  if (HasOutdoorBackdrop()) {
    SetWorldState();
    BeginLandscape2D();
    // The backdrop's pixels are opaque or not there at all: the alpha test alone cuts them
    // out, and blending every pixel of the view would cost the software rasteriser dearly.
    gGL.Disable(GL_BLEND);
    batch.Begin(false);
    DrawOutdoorBackdrop();
    batch.Flush();
    End2D();
  }
  SetWorldState();
  // Up is world -x: the world turns a quarter onto the portrait screen, upright in landscape.
  LookAt(gCamera[0], gDrawnCameraY, gCamera[2], gCamera[3], gDrawnCameraY, gCamera[5], -1, 0, 0);
  // Textures first in the batch draw first: the dark backdrops go in before the world.
  batch.Begin(false);
  DrawDarkBackdrops();
}

void CreatePlayerAndBackground() {
  const int32_t* k = kStartupPlayerLayout;
  gPlayer = new cPlayer(k[0], k[1], k[2], k[3], k[4], k[5], k[6]);
  gBackground = LoadTexture("BG.png");
  gPlayer->startScreenFlag = true;
}

void CreateObjects() {
  CreateWorldObjects();
  RunStartScreen();
}

void CreateWorldObjects() {
  gMap = new cMap;
  for (cBonus*& bonus : gBonuses) bonus = new cBonus;
  gDebris = new cDebris;
  for (cFireball*& fireball : gFireballs) fireball = new cFireball;
  gPopups = new cPopups;
  gFireField = new cFireField;
  gBurst = new cBurst;
  LoadResources();
}

void StartGame() {
  SeedRandom(kPlaySeed);
  ReplacePlayerForGame();
  if (gMap) gMap->LoadLevel(kFirstLevel, 0);
  gCoins = 0;
  gLives = kStartingLives;
  gScore = 0;
  ResetResults();
  ForgetCheckpoints();
  ForgetDeaths();
  PlayTune(kTunePlay, true);
}

void SimulationStep() {
  ++gSimulationSteps;
  if (gPlayer) gPlayer->Update();
  for (cBonus* bonus : gBonuses)
    if (bonus) bonus->Update();
  if (gFireField) gFireField->Update();
  if (gDebris) gDebris->Update();
  if (gBurst) gBurst->Update();
  for (cFireball* fireball : gFireballs)
    if (fireball) fireball->Update();
  UpdateUnits();
  if (gPlayer && gPlayer->killRequest) gPlayer->StartDeath(0);
}

void DrawWorld() {
  for (cBonus* bonus : gBonuses)
    if (bonus) bonus->Draw();
  if (gMap) gMap->UpdateAndDraw();
  DrawDeathMarks();
  DrawCheckpoints();
  DrawGoal();
  if (gFireField) gFireField->Draw();
  DrawBump();
  DrawUnits();
  if (gDebris) gDebris->Draw();
  if (gBurst) gBurst->Draw();
  if (gPlayer && !PlayerWentIn()) gPlayer->Draw(0);
  for (cFireball* fireball : gFireballs)
    if (fireball) fireball->Draw();
  if (gPopups) gPopups->Draw();
}

void Frame() {
  gFrameTime = gPlatform.GetTicks();
  HandleInput();
  SteerAfterGoal();
  NoteLevelLoads();
  for (int step = 0; step < kSubStepsPerFrame; ++step) SimulationStep();
  WatchDeaths();
  WatchTally();
  UpdateGoal();
  UpdateCheckpoints();
  DuckMusic(gPlayer && gPlayer->dying);
  KeepMusicGoing();
  if (gPlayer)
    FollowDrawnCamera(gPlayer->dying      ? Footing::kDying
                      : gPlayer->onGround ? Footing::kStanding
                                          : Footing::kInTheAir);

  BeginWorldWithBackdrop();
  cSpriteBatch& batch = cSpriteBatch::Instance();
  DrawWorld();
  batch.Flush();

  BeginLandscape2D();
  batch.Begin(false);
  DrawHud();
  batch.Flush();
  End2D();
  gPlatform.SwapBuffers();
}

bool OpenGame() {
  if (!OpenGameScreen()) return false;
  FinishOpeningGame();
  return true;
}

bool OpenGameScreen() {
  gScreenHeight = kDeviceScreenHeight;
  gScreenWidth = kDeviceScreenWidth;
  ClearFingers();
  if (!Init()) {
    // Nothing to show the game on: the device has said what is missing.
    gPlatform.Exit(1);
    return false;
  }
  CreatePlayerAndBackground();
  return true;
}

void FinishOpeningGame() {
  CreateWorldObjects();
  gStartDone = false;
  gRunning = true;
}

bool FramePeriodPassed() {
  const uint32_t period = 1000u / uint32_t(gFrameRate);
  if (gPlatform.GetTicks() - gLastFrameEnd < period) return false;
  gLastFrameEnd = gPlatform.GetTicks();
  return true;
}

void PausedPass() {
  // The message clock stands still too: a message has the same time left when play goes on.
  const uint32_t now = gPlatform.GetTicks();
  gMessageStart += now - gFrameTime;
  gFrameTime = now;
  HandlePausedInput();
  // The picture stays: show the last frame again without running one.
  gPlatform.SwapBuffers();
}

void LimitFrameRate() {
  const uint32_t period = 1000u / uint32_t(gFrameRate);
  // Sleeps rather than spins: the wait is most of every frame, and spinning burns a core.
  for (;;) {
    const uint32_t elapsed = gPlatform.GetTicks() - gLastFrameEnd;
    if (elapsed >= period) break;
    gPlatform.Delay(period - elapsed);
  }
  gLastFrameEnd = gPlatform.GetTicks();
}

void Quit() {
  gRunning = false;
  gPlatform.CloseAudio();
  delete gMap;
  gMap = nullptr;
  // A quit is a normal end of the game, not a failure.
  gPlatform.Exit(0);
}

void RestartAfterDeath() {
  if (gMap) gMap->LoadLevel(gMap->levelName.c_str(), 0);
  PlaceAtCheckpoint();
  --gLives;
  ++gLivesLost;
  if (gPlayer) {
    gPlayer->blinkTimer = 0;
    gPlayer->dying = false;
    gPlayer->killRequest = false;
    gPlayer->speedX = 0.0f;
    gPlayer->speedY = 0.0f;
    gPlayer->SetPower(kPowerSmall);
  }
  HideMessage();
  ClearActions(kRetryClearedActions);
}

void RestartLevel() {
  ForgetCheckpoints();
  ForgetDeaths();
  if (gMap) gMap->LoadLevel(gMap->levelName.c_str(), 0);
  if (gPlayer) {
    gPlayer->dying = false;
    gPlayer->speedX = 0.0f;
    gPlayer->speedY = 0.0f;
    gPlayer->SetPower(kPowerSmall);
  }
}
