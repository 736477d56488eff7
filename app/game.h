// The game's spine: start-up, the fixed-rate main loop and its frame, the frame limiter,
// the orderly stop and the retry after a death.
#pragma once

#include <cstdint>

#include "world/camera.h"
#include "world/messages.h"
#include "world/score.h"

struct Texture;

constexpr int32_t kDeviceScreenWidth = 320;   // portrait pixels
constexpr int32_t kDeviceScreenHeight = 480;  // portrait pixels
constexpr int32_t kFrameRate = 30;            // frames per second
constexpr int kSubStepsPerFrame = 2;          // simulation steps per frame
constexpr float kSkyColour[4] = {119 / 255.0f, 194 / 255.0f, 233 / 255.0f, 1.0f};
constexpr float kLandscapeTurn = 90.0f;     // degrees, the 2D pass onto the portrait screen
constexpr float kLandscapeShift = -320.0f;  // pixels, after the turn
constexpr int32_t kStartingLives = 5;
constexpr int kOrientationLandscape = 3;  // the screen mode of the turned 2D pass

extern int32_t gScreenWidth;
extern int32_t gScreenHeight;
extern bool gRunning;
extern uint32_t gLastFrameEnd;  // tick count when the limiter last released
extern int32_t gFrameRate;
extern uint32_t gSimulationSteps;  // sub-steps run since start-up

extern Texture* gBackground;

// What a session around the game (a recording, a replay, a level being edited) does at the
// start and the end of every main-loop pass of play; null does nothing.
struct PassHooks {
  void (*before)() = nullptr;
  void (*after)() = nullptr;
};
extern PassHooks gPassHooks;

// Every game starts from the same random sequence, so a run replays the same.
constexpr unsigned kPlaySeed = 1;

// The start-up player's key layout: indices into the action flags, and its fall speed cap.
constexpr int32_t kStartupPlayerLayout[7] = {1, 2, 3, 4, 5, 6, 8};
constexpr const char* kFirstLevel = "level";

// The entry function's steps; returns only if the platform's exit returns (headless runs),
// with the exit status.
int RunGame();

// The screen, sound and GL state; false when there is no screen to play on.
bool Init();
void CreatePlayerAndBackground();
// The map, the effects and the resources, then the start screen until it is left.
void CreateObjects();
// CreateObjects without the start screen.
void CreateWorldObjects();
// For a device that calls the game once per display frame instead of running RunGame's loop:
// RunGame's start-up up to its first pass (the start screen then runs as passes); false when
// there is no screen. Then, before each pass, FramePeriodPassed: the limiter's test without its
// wait, true (and the frame's start taken) once a frame's period has passed.
bool OpenGame();
bool FramePeriodPassed();
// OpenGame in two halves, so that a device may show the start screen's picture in between:
// the screen, the audio and the start-up player and background; then everything else.
bool OpenGameScreen();
void FinishOpeningGame();
void Frame();
void LimitFrameRate();
void Quit();
void RestartAfterDeath();
void RestartLevel();
// What pressing the start button does: the game player, the first level, a fresh score.
void StartGame();
// One pass of the main loop: the start screen, the results, a paused pass or a frame.
void MainLoopPass();
// A main-loop pass while paused: events only, and the last picture shown again.
void PausedPass();

// One frame of a pipe warp: the map and the sliding player, then a short wait.
void PresentWarpFrame();

// The GL state of the world pass; the start screen draws with it too.
void SetWorldState();
// The 2D pass turned so that landscape coordinates land on the portrait screen: the start
// screen, the results, the backdrop and the heads-up display all draw through it.
void BeginLandscape2D();

// The backdrop of the world pass: the outdoor layers across the view, then the world's camera
// with the batch begun and the dark backdrops in it, so the world drawn next stands in front.
void BeginWorldWithBackdrop();

// Pieces of the frame, in frame order.
void SimulationStep();
void DrawWorld();
