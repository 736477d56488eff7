// The simulator: the game's own start-up and frame on the headless device.
#include "tools/sim.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <span>
#include <sstream>

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
#include "tools/level_text.h"
#include "units/unit_table.h"
#include "world/blocks.h"
#include "world/bonus.h"
#include "world/effects.h"
#include "world/level_file.h"
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

struct NamedKey {
  const char* name;
  InputAction action;
};
const NamedKey kScriptKeys[] = {{"left", InputAction::kLeft},   {"right", InputAction::kRight},
                                {"jump", InputAction::kJump},   {"down", InputAction::kDown},
                                {"fire", InputAction::kFire},   {"restart", InputAction::kRestart},
                                {"retry", InputAction::kRetry}, {"pause", InputAction::kPause},
                                {"mute", InputAction::kMute}};

const char* KeyName(InputAction action) {
  for (const NamedKey& k : kScriptKeys)
    if (k.action == action) return k.name;
  return nullptr;
}

struct NamedButton {
  const char* name;
  ButtonId id;
};
const NamedButton kScriptButtons[] = {{"left", kButtonLeft},   {"right", kButtonRight},
                                      {"jump", kButtonJump},   {"restart", kButtonRestart},
                                      {"start", kButtonStart}, {"retry", kButtonRetry}};

bool ParseInt(const std::string& word, int& value) {
  char* end = nullptr;
  const long parsed = std::strtol(word.c_str(), &end, 10);
  if (word.empty() || *end != '\0' || parsed < INT_MIN / 2 || parsed > INT_MAX / 2) return false;
  value = int(parsed);
  return true;
}

bool ParseCell(const std::string& text, StartCell& cell) {
  const auto comma = text.find(',');
  return comma != std::string::npos && ParseInt(text.substr(0, comma), cell.column) &&
         ParseInt(text.substr(comma + 1), cell.row) && CellInGrid(cell.column, cell.row);
}

std::string Float(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", double(value));
  return text;
}

// Orders script events, and finds a frame's, by frame number.
struct ByFrame {
  bool operator()(const SimEvent& a, const SimEvent& b) const { return a.frame < b.frame; }
  bool operator()(const SimEvent& e, int frame) const { return e.frame < frame; }
  bool operator()(int frame, const SimEvent& e) const { return frame < e.frame; }
};

}  // namespace

bool ParseSimScript(const std::string& text, std::vector<SimEvent>& events, std::string& error) {
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    const auto hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream in(line);
    std::vector<std::string> words{std::istream_iterator<std::string>(in), {}};
    if (words.empty()) continue;
    auto fail = [&](const std::string& message) {
      error = std::to_string(number) + ": " + message;
      return false;
    };
    SimEvent event;
    event.line = number;
    if (!ParseInt(words[0], event.frame) || event.frame < 0)
      return fail("expected a frame number, found '" + words[0] + "'");
    if (words.size() == 2 && words[1] == "end") {
      event.kind = SimEvent::kEnd;
      events.push_back(event);
      continue;
    }
    if (words.size() < 3) return fail("expected FRAME down|move|up FINGER ... or FRAME key ...");
    const std::string& verb = words[1];
    if (verb == "clock") {
      int ticks = 0;
      if (words.size() != 3 || !ParseInt(words[2], ticks) || ticks < 0)
        return fail("expected a clock time in milliseconds");
      event.kind = SimEvent::kClock;
      event.ticks = uint32_t(ticks);
      events.push_back(event);
      continue;
    }
    if (verb == "focus") {
      if (words.size() != 3 || (words[2] != "lost" && words[2] != "gained"))
        return fail("expected 'lost' or 'gained' after 'focus'");
      event.kind = SimEvent::kFocus;
      event.keyDown = words[2] == "gained";
      events.push_back(event);
      continue;
    }
    if (verb == "key" || verb == "pad") {
      event.kind = SimEvent::kKey;
      event.source = verb == "key" ? InputSource::kKeyboard : InputSource::kPad;
      bool found = false;
      for (const NamedKey& k : kScriptKeys)
        if (words[2] == k.name) {
          event.action = k.action;
          found = true;
        }
      if (!found) return fail("unknown key action '" + words[2] + "'");
      if (words.size() != 4 || (words[3] != "down" && words[3] != "up"))
        return fail("expected 'down' or 'up' after the key action");
      event.keyDown = words[3] == "down";
      events.push_back(event);
      continue;
    }
    if (verb == "down")
      event.kind = SimEvent::kDown;
    else if (verb == "move")
      event.kind = SimEvent::kMove;
    else if (verb == "up")
      event.kind = SimEvent::kUp;
    else
      return fail("unknown event '" + verb + "'");
    if (!ParseInt(words[2], event.finger) || event.finger < 0 || event.finger >= kFingerSlots)
      return fail("finger must be 0 to 10, found '" + words[2] + "'");
    if (event.kind == SimEvent::kUp) {
      if (words.size() != 3) return fail("'up' takes only a finger");
    } else if (int unused; words.size() == 4 && !ParseInt(words[3], unused)) {
      bool found = false;
      for (const NamedButton& b : kScriptButtons)
        if (words[3] == b.name) {
          const ButtonArea box = ButtonPlace(b.id);
          event.x = box.x + box.width / 2;
          event.y = box.y + box.height / 2;
          found = true;
        }
      if (!found) return fail("unknown button '" + words[3] + "'");
    } else if (words.size() != 5 || !ParseInt(words[3], event.x) || !ParseInt(words[4], event.y)) {
      return fail("expected a landscape point X Y or a button name");
    }
    events.push_back(event);
  }
  // Frame order, so a frame's events are found by a search; events of one frame keep the order
  // they were written in.
  std::stable_sort(events.begin(), events.end(), ByFrame{});
  return true;
}

int SimScriptEnd(const std::vector<SimEvent>& events) {
  int end = -1;
  for (const SimEvent& e : events)
    if (e.kind == SimEvent::kEnd && e.frame > end) end = e.frame;
  return end;
}

std::string SimEventLine(const SimEvent& e) {
  std::string line = std::to_string(e.frame) + " ";
  switch (e.kind) {
    case SimEvent::kKey:
      return line + (e.source == InputSource::kPad ? "pad " : "key ") + KeyName(e.action) +
             (e.keyDown ? " down" : " up");
    case SimEvent::kFocus:
      return line + (e.keyDown ? "focus gained" : "focus lost");
    case SimEvent::kClock:
      return line + "clock " + std::to_string(e.ticks);
    case SimEvent::kEnd:
      return line + "end";
    case SimEvent::kUp:
      return line + "up " + std::to_string(e.finger);
    default:
      return line + (e.kind == SimEvent::kDown ? "down " : "move ") + std::to_string(e.finger) +
             " " + std::to_string(e.x) + " " + std::to_string(e.y);
  }
}

bool SimEventOf(const InputEvent& input, int frame, SimEvent& e) {
  e = SimEvent{};
  e.frame = frame;
  switch (input.type) {
    case InputType::kFingerDown:
    case InputType::kFingerMove:
    case InputType::kFingerUp: {
      constexpr SimEvent::Kind kKinds[] = {SimEvent::kDown, SimEvent::kMove, SimEvent::kUp};
      e.kind = kKinds[int(input.type)];
      e.finger = input.finger;
      int32_t x = 0, y = 0;
      DeviceToLandscape(input.x, input.y, &x, &y);
      e.x = x;
      e.y = y;
      return input.finger >= 0 && input.finger < kFingerSlots;
    }
    case InputType::kActionPressed:
    case InputType::kActionReleased:
      e.kind = SimEvent::kKey;
      e.action = input.action;
      e.source = input.source == InputSource::kPad ? InputSource::kPad : InputSource::kKeyboard;
      e.keyDown = input.type == InputType::kActionPressed;
      return KeyName(input.action) != nullptr;
    case InputType::kFocusLost:
    case InputType::kFocusGained:
      e.kind = SimEvent::kFocus;
      e.keyDown = input.type == InputType::kFocusGained;
      return true;
    default:
      return false;
  }
}

uint32_t QueueSimFrame(const std::vector<SimEvent>& events, int frame, uint32_t previousTicks) {
  HeadlessDevice& device = Headless();
  uint32_t ticks = previousTicks + cSimulation::kFrameTicks;
  const auto [first, last] = std::equal_range(events.begin(), events.end(), frame, ByFrame{});
  // From a pointer and a count: the browser's older library has no span of two iterators.
  const std::span<const SimEvent> now(events.data() + (first - events.begin()),
                                      size_t(last - first));
  // Fingers take their places first: as on the phone, a finger's events report where it is
  // when the frame reads them, not where the script put it on the way.
  for (const SimEvent& e : now) {
    if (e.kind == SimEvent::kClock) ticks = e.ticks;
    if (e.kind == SimEvent::kDown || e.kind == SimEvent::kMove)
      HeadlessTouch(e.finger, e.x, e.y, true);
    else if (e.kind == SimEvent::kUp)
      device.fingers[e.finger].down = false;
  }
  constexpr InputType kFingerEvents[] = {InputType::kFingerDown, InputType::kFingerMove,
                                         InputType::kFingerUp};
  for (const SimEvent& e : now) {
    if (e.kind == SimEvent::kKey) {
      HeadlessAction(e.action, e.keyDown, e.source);
    } else if (e.kind == SimEvent::kFocus) {
      InputEvent focus;
      focus.type = e.keyDown ? InputType::kFocusGained : InputType::kFocusLost;
      device.events.push_back(focus);
    } else if (e.kind <= SimEvent::kUp) {
      HeadlessFingerEvent(e.finger, kFingerEvents[e.kind]);
    }
  }
  return ticks;
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

std::string TraceJson(int frame, const std::vector<int>& frameSounds, bool withUnits) {
  const cPlayer* p = gPlayer;
  std::string line = "{\"frame\":" + std::to_string(frame);
  auto add = [&](const char* key, const std::string& value) {
    line += ",\"";
    line += key;
    line += "\":";
    line += value;
  };
  auto flag = [](bool value) { return std::string(value ? "true" : "false"); };
  add("x", Float(p ? p->x : 0));
  add("y", Float(p ? p->y : 0));
  add("vx", Float(p ? p->speedX : 0));
  add("vy", Float(p ? p->speedY : 0));
  add("w", std::to_string(p ? p->width : 0));
  add("h", std::to_string(p ? p->height : 0));
  add("power", std::to_string(p ? p->power : 0));
  add("star", std::to_string(p ? p->starTimer : 0));
  add("blink", std::to_string(p ? p->blinkTimer : 0));
  add("dying", flag(p && p->dying));
  add("onGround", flag(p && p->onGround));
  add("jumpTimer", std::to_string(p ? p->jumpTimer : 0));
  add("score", std::to_string(gScore));
  add("coins", std::to_string(gCoins));
  add("lives", std::to_string(gLives));
  add("message", std::to_string(gMessageIndex));
  add("meters", Float(gMetersMoved));
  add("camX", Float(gCamera[0]));
  add("camY", Float(gCamera[1]));
  std::string sounds = "[";
  for (size_t i = 0; i < frameSounds.size(); ++i) {
    if (i) sounds += ",";
    sounds += "\"" + std::string(kSoundFiles[frameSounds[i]]) + "\"";
  }
  add("sounds", sounds + "]");
  if (withUnits) {
    std::string units = "[";
    for (int slot = 0; slot < kUnitSlots; ++slot) {
      const cBaseUnit* unit = gUnits[slot];
      float x = 0, y = 0;
      if (!unit) continue;
      UnitPosition(*unit, x, y);
      if (units.size() > 1) units += ",";
      units += "{\"slot\":" + std::to_string(slot) + ",\"type\":" + std::to_string(unit->type) +
               ",\"x\":" + Float(x) + ",\"y\":" + Float(y) + "}";
    }
    add("units", units + "]");
  }
  add("completed", flag(gGoalReached));
  add("checkpoint", std::to_string(gCheckpointReached));
  return line + "}";
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
    if (arg == "--help" || arg == "-h") {
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
    } else if (arg == "--frames" && value(text) && ParseInt(text, options.frames) &&
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

  LevelData level;
  if (!levelPath.empty()) {
    std::vector<std::string> errors;
    if (!ReadPlayableLevel(levelPath, level, errors)) {
      for (const std::string& line : errors) err << line << "\n";
      return 1;
    }
  }
  // The level and the start cell are the game's globals: they last only as long as this run.
  struct Played {
    Played(const LevelData* level, StartCell at) {
      gPlayedLevel = level;
      gStartCell = at;
    }
    ~Played() {
      gPlayedLevel = nullptr;
      gStartCell = StartCell{};
    }
  } played(levelPath.empty() ? nullptr : &level, at);

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

int RunWithGameData(int argc, char** argv, ToolMain run) {
  bool dataGiven = false;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::string(argv[i]) == "--data" && argv[i + 1][0]) dataGiven = true;
  std::vector<const char*> args(argv, argv + argc);
  std::string defaultData;
  if (!dataGiven) {
    defaultData = FindDataDirectory();
    if (defaultData.empty()) defaultData = ".";
    args.push_back("--data");
    args.push_back(defaultData.c_str());
  }
  return run(int(args.size()), args.data(), std::cout, std::cerr);
}
