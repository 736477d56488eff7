// brinkhop-sim: the game headless, for level designers and regression tests; a command line over
// the simulator's frame driver (app/sim.h).
#include <algorithm>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "app/sim.h"
#include "engine/file_read.h"
#include "tools/tool_main.h"
#include "world/map.h"

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

// The whole command line; returns the exit status (0; 1 an unreadable script or a level refused,
// at the start or on the way; 2 usage).
static int RunSimulator(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
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

int main(int argc, char** argv) { return RunWithGameData(argc, argv, RunSimulator); }
