// The simulator: the game's own start-up and frame on the headless device.
#include "tools/sim.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>

#include "app/button.h"
#include "app/checkpoints.h"
#include "app/game.h"
#include "app/input.h"
#include "app/results.h"
#include "engine/file_read.h"
#include "engine/music.h"
#include "engine/sprite_batch.h"
#include "platform/data_dir.h"
#include "platform/headless.h"
#include "player/actions.h"
#include "player/fireballs.h"
#include "player/player.h"
#include "units/unit_table.h"
#include "world/blocks.h"
#include "world/bonus.h"
#include "world/effects.h"
#include "world/level_file.h"
#include "world/level_text.h"
#include "world/map.h"
#include "world/sounds.h"

namespace {

const char* const kUsage =
    "usage: brinkhop-sim [--data DIR] [--level FILE] [--at COL,ROW] [--frames N] [--input FILE]\n"
    "                    [--trace] [--units]\n"
    "  --data DIR    the folder the game reads its files from (default: the game's own data)\n"
    "  --level FILE  play FILE (level source text or a level file) as the first level\n"
    "  --at COL,ROW  start at that cell instead of the level's start point\n"
    "  --frames N    frames of play to run (default: to the script's end line, else 600)\n"
    "  --input FILE  a script of touches and keys, one event a line ('-' reads standard input):\n"
    "                  F down FINGER X Y | BUTTON    F move FINGER X Y | BUTTON\n"
    "                  F up FINGER                    F key ACTION down|up\n"
    "                  F pad ACTION down|up           F focus lost|gained\n"
    "                  F clock MS  (the clock at frame F; later frames add 33 ms each)\n"
    "                  F end       (the last frame of a recorded run)\n"
    "                BUTTON: left right jump restart start retry;\n"
    "                ACTION: left right jump down fire restart retry pause mute\n"
    "  --trace       one JSON object per frame\n"
    "  --units       with --trace, the units of every frame too\n"
    "Exit status: 0; 1 when a level is refused (at the start or through a pipe) or the script\n"
    "cannot be read; 2 for a bad argument or script line.\n";

}  // namespace

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
  std::srand(1);
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

int RunSimulator(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  SimOptions options;
  bool framesGiven = false;
  std::string inputPath, levelPath;
  StartCell at;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc) return false;
      into = argv[++i];
      return true;
    };
    std::string text;
    if (const char* needs = OptionValueName(arg); needs && i + 1 >= argc) {
      err << "brinkhop-sim: " << arg << " needs " << needs << "\n" << kUsage;
      return 2;
    } else if ((arg == "--help" || arg == "-h") && i + 1 < argc) {
      err << "brinkhop-sim: " << arg << " takes nothing after it, not '" << argv[i + 1] << "'\n"
          << kUsage;
      return 2;
    } else if (arg == "--help" || arg == "-h") {
      out << kUsage;
      return 0;
    } else if (arg == "--trace") {
      options.trace = true;
    } else if (arg == "--units") {
      options.units = true;
    } else if (arg == "--data" && value(options.dataDir)) {
    } else if (arg == "--input" && value(inputPath)) {
    } else if (arg == "--level" && value(levelPath)) {
    } else if (arg == "--at" && value(text) && ParseCell(text, at)) {
    } else if (arg == "--frames" && value(text) && ParseScriptInt(text, options.frames) &&
               options.frames >= 0) {
      framesGiven = true;
    } else {
      err << "brinkhop-sim: bad argument '" << arg << "'\n" << kUsage;
      return 2;
    }
  }

  std::vector<SimEvent> events;
  if (!inputPath.empty()) {
    std::string script;
    std::string error;
    if (inputPath == "-") {
      script.assign(std::istreambuf_iterator<char>(std::cin), {});
    } else if (ReadWholeFile(inputPath, kMaxScriptBytes, script, error) != kFileReadOk) {
      err << "brinkhop-sim: " << inputPath << ": " << error << "\n";
      return 1;
    }
    if (!ParseSimScript(script, events, error)) {
      err << "brinkhop-sim: " << (inputPath == "-" ? "stdin" : inputPath) << ":" << error << "\n";
      return 2;
    }
  }

  if (!framesGiven && SimScriptEnd(events) >= 0) options.frames = SimScriptEnd(events) + 1;

  // The level and the start cell are the game's globals: they last only as long as this run.
  cPlayedLevelScope played(at);
  if (!played.Read(levelPath, err)) return 1;

  cSimulation sim;
  std::string error;
  if (!sim.Start(options.dataDir, error)) {
    err << "brinkhop-sim: " << error << "\n";
    return 1;
  }
  for (int f = 0; f < options.frames; ++f) {
    sim.RunFrame(events);
    if (options.trace) out << sim.TraceLine(options.units) << "\n";
  }
  if (!options.trace) out << sim.Summary() << "\n";
  // A level refused on the way (a pipe into a broken file) fails the run too.
  return gMap && gMap->refusedLoads > 0 ? 1 : 0;
}

const char* OptionValueName(const std::string& option) {
  static const struct {
    const char* option;
    const char* value;
  } kValues[] = {
      {"--data", "a folder"}, {"--level", "a file"},       {"--input", "a file"},
      {"--from", "a file"},   {"--at", "a cell COL,ROW"},  {"--frames", "a number"},
      {"--to", "a column"},   {"--look-back", "a number"},
  };
  for (const auto& row : kValues)
    if (option == row.option) return row.value;
  return nullptr;
}

int RunWithGameData(int argc, char** argv, ToolMain run) {
  bool dataGiven = false;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::string(argv[i]) == "--data" && argv[i + 1][0]) dataGiven = true;
  std::vector<const char*> args(argv, argv + argc);
  std::string defaultData;
  // The default goes first: after the caller's words, an option left without its value would
  // take it for its own.
  if (!dataGiven) {
    defaultData = FindDataDirectory();
    if (defaultData.empty()) defaultData = ".";
    args.insert(args.begin() + 1, {"--data", defaultData.c_str()});
  }
  return run(int(args.size()), args.data(), std::cout, std::cerr);
}
