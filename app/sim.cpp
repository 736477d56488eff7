// The simulator: the game's own start-up and frame on the headless device.
#include "app/sim.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "app/button.h"
#include "app/checkpoints.h"
#include "app/game.h"
#include "app/input.h"
#include "app/results.h"
#include "engine/file_read.h"
#include "engine/music.h"
#include "engine/random.h"
#include "engine/sprite_batch.h"
#include "platform/data_dir.h"
#include "platform/headless.h"
#include "player/actions.h"
#include "player/fireballs.h"
#include "player/player.h"
#include "units/unit_table.h"
#include "world/blocks.h"
#include "world/camera.h"
#include "world/bonus.h"
#include "world/effects.h"
#include "world/level_file.h"
#include "world/level_text.h"
#include "world/map.h"
#include "world/sounds.h"

cPlayedLevelScope::cPlayedLevelScope(StartCell at) { gStartCell = at; }

bool cPlayedLevelScope::Read(const std::string& path, std::ostream& err) {
  if (path.empty()) return true;
  std::vector<std::string> errors;
  if (!ReadPlayableLevel(path, mLevel, errors)) {
    for (const std::string& line : errors) err << line << "\n";
    return false;
  }
  gPlayedLevel = &mLevel;
  return true;
}

cPlayedLevelScope::~cPlayedLevelScope() {
  gPlayedLevel = nullptr;
  gStartCell = StartCell{};
}

bool ParseCell(const std::string& text, StartCell& cell) {
  const auto comma = text.find(',');
  return comma != std::string::npos && ParseScriptInt(text.substr(0, comma), cell.column) &&
         ParseScriptInt(text.substr(comma + 1), cell.row) && CellInGrid(cell.column, cell.row);
}

void cSimulation::ReleaseGame() {
  delete gMap;
  gMap = nullptr;
  for (cBonus*& bonus : gBonuses) {
    delete bonus;
    bonus = nullptr;
  }
  delete gDebris;
  gDebris = nullptr;
  delete gPopups;
  gPopups = nullptr;
  delete gFireField;
  gFireField = nullptr;
  delete gBurst;
  gBurst = nullptr;
  for (cFireball*& fireball : gFireballs) {
    delete fireball;
    fireball = nullptr;
  }
  DeleteAllUnits();
  delete gPlayer;
  gPlayer = nullptr;
}

bool cSimulation::Start(const std::string& dataDir, std::string& error) {
  if (!dataDir.empty() && chdir(dataDir.c_str()) != 0) {
    error = "cannot enter " + dataDir;
    return false;
  }
  // A level the game would refuse fails the run, as any unreadable input does; the game
  // itself would only say so and play on in an empty map. A level given in memory was checked
  // when it was compiled.
  LevelData level;
  if (!gPlayedLevel && !ReadLevelFile(kFirstLevel, level, error)) {
    error = std::string(kFirstLevel) + ": " + error;
    return false;
  }

  // Everything the game keeps between frames starts as in a fresh process.
  SeedRandom(1);
  HeadlessDevice& device = UseHeadlessPlatform();
  device.ticks = kFirstFrameTicks - kFrameTicks;
  ReleaseGame();
  SetMuted(false);
  StopMusic();
  ClearActions(kActionCount);
  ResetHeldInput();
  gScore = gCoins = gLives = 0;
  HideMessage();
  gFrameTime = gLastFrameEnd = gLastShuffle = 0;
  gSimulationSteps = 0;
  gBlockHitCooldown = 0;
  gMetersMoved = 0;
  for (float& value : gCamera) value = 0;
  gDrawnCameraY = 0;
  gDrawnCameraAtDeath = false;

  gScreenHeight = kDeviceScreenHeight;
  gScreenWidth = kDeviceScreenWidth;
  ClearFingers();
  Init();
  CreatePlayerAndBackground();
  // One pass of the start screen, with a press on its start button.
  const ButtonArea start = ButtonPlace(kButtonStart);
  HeadlessTouch(0, start.x + start.width / 2, start.y + start.height / 2, true);
  HeadlessFingerEvent(0, InputType::kFingerDown);
  CreateObjects();
  // The press on START is over before the first frame: a script's first touch of finger 0 is a
  // touch of play, whatever it is.
  device.fingers[0].down = false;
  ResetHeldInput();
  mFrame = 0;
  mTicks = kFirstFrameTicks - kFrameTicks;
  gSoundRecorder = nullptr;
  return true;
}

void cSimulation::RunFrame(const std::vector<SimEvent>& events) {
  mTicks = QueueSimFrame(events, mFrame, mTicks);
  Headless().ticks = mTicks;

  std::vector<SoundId> sounds;
  gSoundRecorder = &sounds;
  MainLoopPass();
  gSoundRecorder = nullptr;
  mSounds.assign(sounds.begin(), sounds.end());
  ++mFrame;
}

std::string cSimulation::TraceLine(bool withUnits) const {
  return TraceJson(mFrame - 1, mSounds, withUnits);
}

std::string cSimulation::Summary() const {
  const cPlayer* p = gPlayer;
  char text[200];
  std::snprintf(text, sizeof text, "frames %d x %.9g y %.9g score %d coins %d lives %d%s", mFrame,
                double(p ? p->x : 0), double(p ? p->y : 0), gScore, gCoins, gLives,
                p && p->dying ? " dying" : "");
  return text;
}
