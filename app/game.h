// The game's spine: start-up, the fixed-rate main loop and its frame, the frame limiter,
// the orderly stop and the retry after a death.
#pragma once

#include <cstdint>

struct Texture;

constexpr int32_t kDeviceScreenWidth = 320;   // portrait pixels
constexpr int32_t kDeviceScreenHeight = 480;  // portrait pixels
constexpr int32_t kFrameRate = 30;            // frames per second
constexpr int kSubStepsPerFrame = 2;          // simulation steps per frame
constexpr uint32_t kSdlInitFlags = 0x100230;  // audio, video, joystick, no parachute
constexpr float kSkyColour[4] = {119 / 255.0f, 194 / 255.0f, 233 / 255.0f, 1.0f};
constexpr float kLandscapeTurn = 90.0f;     // degrees, the 2D pass onto the portrait screen
constexpr float kLandscapeShift = -320.0f;  // pixels, after the turn
constexpr int32_t kStartingLives = 5;

extern int32_t gScreenWidth;
extern int32_t gScreenHeight;
extern bool gRunning;
extern uint32_t gFrameTime;     // tick count at the start of the current frame
extern uint32_t gLastFrameEnd;  // tick count when the limiter last released
extern int32_t gFrameRate;
extern uint32_t gSimulationSteps;  // sub-steps run since start-up

extern int32_t gScore;
extern int32_t gCoins;
extern int32_t gLives;

// Camera eye x, y, z and centre x, y, z in world pixels; the player's step moves it.
extern float gCamera[6];
extern float gCameraDistance;

extern Texture* gBackground;

// The entry function's steps; returns only if the platform's exit returns (headless runs).
int RunGame();

void Init();
void CreatePlayerAndBackground();
void CreateObjects();
void Frame();
void LimitFrameRate();
void Quit();
void RestartAfterDeath();

// Pieces of the frame, in frame order.
void SimulationStep();
void DrawWorld();
