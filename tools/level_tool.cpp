// brinkhop-level: the level designer's tool. Builds the game's level file from source text,
// dumps a level file back to text, checks a level the way the game reads it, counts what it
// holds, and renders it.
#include <stb_image_write.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/file_read.h"
#include "tools/level_render.h"
#include "world/level_checks.h"
#include "world/level_text.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kMinScale = 1;
constexpr int kMaxScale = 32;           // the game's own cell size: nothing finer to show
constexpr int kMaxPictureWidth = 8192;  // px; longer levels wrap into strips

constexpr const char* kUsage =
    "usage: brinkhop-level COMMAND ARGUMENTS\n"
    "\n"
    "  build SOURCE -o LEVEL        make the game's level file from level source text\n"
    "  dump LEVEL [-o SOURCE]       write a level file as source text (default: stdout)\n"
    "  check LEVEL                  list everything the game would refuse or cut\n"
    "  stats LEVEL                  count what the level holds: blocks, units, triggers, ...\n"
    "  render LEVEL -o MAP.png [--data DIR] [--scale S]\n"
    "                               draw the whole level with the game's pictures\n"
    "\n"
    "'brinkhop-level COMMAND --help' tells more about a command.\n";

struct Command {
  const char* name;
  const char* help;
  std::vector<std::string> valueOptions;  // options that take a value
  int positionals;
  std::function<int(const std::vector<std::string>&, std::map<std::string, std::string>&)> run;
};

struct Arguments {
  std::vector<std::string> positionals;
  std::map<std::string, std::string> options;
};

int Usage(const std::string& message) {
  std::fprintf(stderr, "brinkhop-level: %s\n%s", message.c_str(), kUsage);
  return kExitUsage;
}

// Level source text: a full level written out is a few megabytes.

bool WriteFile(const std::string& path, const void* data, size_t size) {
  if (path == "-") return std::fwrite(data, 1, size, stdout) == size;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(static_cast<const char*>(data), std::streamsize(size));
  return bool(file);
}

// Source text, by the rule the game reads levels with; an empty or unreadable file is not.
bool LooksLikeSourceText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  char head[16] = {};
  file.read(head, sizeof head);
  return file.gcount() > 0 && LooksLikeLevelText(std::string_view(head, size_t(file.gcount())));
}

// Reads a level file, or source text as the game would play it, printing why it cannot be
// read: a designer's own source given where a built file was meant is read, not taken for a
// level file of absurd sizes.
bool LoadLevel(const std::string& path, LevelData& level, std::vector<std::string>* clipped) {
  std::error_code ignored;
  if (std::filesystem::is_regular_file(path, ignored) && LooksLikeSourceText(path)) {
    std::vector<std::string> errors;
    if (ReadPlayableLevel(path, level, errors)) return true;
    for (const std::string& line : errors) std::fprintf(stderr, "%s\n", line.c_str());
    return false;
  }
  std::string error;
  if (ReadLevelFile(path, level, error, clipped)) return true;
  std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
  return false;
}

int Build(const std::vector<std::string>& args, std::map<std::string, std::string>& options) {
  const std::string& source = args[0];
  std::string text, error;
  if (ReadWholeFile(source, kMaxLevelSourceBytes, text, error) != kFileReadOk) {
    std::fprintf(stderr, "%s: %s\n", source.c_str(), error.c_str());
    return kExitFailed;
  }
  LevelData level;
  std::vector<std::string> errors;
  if (!CompileLevelText(text, source, level, errors)) {
    for (const std::string& error : errors) std::fprintf(stderr, "%s\n", error.c_str());
    return kExitFailed;
  }
  // The game would cut or ignore these; the level still builds so it can be tried out.
  for (const std::string& problem : LevelProblems(level))
    std::fprintf(stderr, "%s: warning: %s\n", source.c_str(), problem.c_str());
  for (const std::string& note : LevelNotes(level))
    std::fprintf(stderr, "%s: note: %s\n", source.c_str(), note.c_str());
  for (const std::string& warning : HighTexts(level))
    std::fprintf(stderr, "%s: warning: %s\n", source.c_str(), warning.c_str());
  const std::vector<uint8_t> bytes = SerializeLevel(level);
  if (!WriteFile(options["-o"], bytes.data(), bytes.size())) {
    std::fprintf(stderr, "%s: cannot write the file\n", options["-o"].c_str());
    return kExitFailed;
  }
  return kExitOk;
}

int Dump(const std::vector<std::string>& args, std::map<std::string, std::string>& options) {
  LevelData level;
  std::vector<std::string> clipped;
  if (!LoadLevel(args[0], level, &clipped)) return kExitFailed;
  for (const std::string& note : clipped)
    std::fprintf(stderr, "%s: warning: %s; the source keeps what the game keeps\n", args[0].c_str(),
                 note.c_str());
  const std::string text = DecompileLevel(level);
  const std::string output = options.count("-o") ? options["-o"] : "-";
  if (!WriteFile(output, text.data(), text.size())) {
    std::fprintf(stderr, "%s: cannot write the file\n", output.c_str());
    return kExitFailed;
  }
  return kExitOk;
}

std::string Summary(const LevelData& level) {
  const auto count = [&](int layer, const std::function<bool(int32_t)>& keep) {
    return std::count_if(level.layers[layer].begin(), level.layers[layer].end(), keep);
  };
  const auto nonZero = [](int32_t value) { return value != 0; };
  std::ostringstream out;
  out << level.sizeA << " x " << level.sizeB << " cells, " << UsedColumns(level)
      << " columns used, ";
  if (const auto start = StartCell(level))
    out << "start (" << start->first << ", " << start->second << "), ";
  out << level.triggers.size() << " triggers, " << level.texts.size() << " texts, "
      << count(kFileGround, nonZero) << " ground, " << count(kFileBlock, nonZero) << " blocks, "
      << count(kFileCoin, nonZero) << " coins, "
      << count(kFileUnit, [](int32_t v) { return v > 0; }) << " units, "
      << count(kFileDeco, nonZero) << " decorations";
  return out.str();
}

// The game loads a warp's level from its own folder: here, the folder the level is in. A pipe
// into a file that is not there, or that the game would refuse, strands the player.
std::vector<std::string> WarpTargetProblems(const std::string& path, const LevelData& level) {
  std::vector<std::string> problems;
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  for (size_t i = 0; i < level.warps.size(); ++i) {
    const std::string& name = level.warps[i].fileName;
    if (!WarpFileNameUsable(name)) continue;  // reported as no warp at all
    const std::string target = (folder / name).string();
    LevelData targetLevel;
    std::string error;
    if (ReadLevelFile(target, targetLevel, error)) continue;
    // Beside source text, the target is source text too, built under the name without .txt.
    std::vector<std::string> sourceErrors;
    std::error_code ignored;
    if (!std::filesystem::exists(target, ignored) && LooksLikeSourceText(target + ".txt") &&
        ReadPlayableLevel(target + ".txt", targetLevel, sourceErrors))
      continue;
    const bool opened = std::ifstream(target).good();
    problems.push_back("warp " + std::to_string(i) + ": level '" + name + "' beside it " +
                       (opened ? "would be refused: " : "cannot be loaded: ") + error);
  }
  return problems;
}

int Check(const std::vector<std::string>& args, std::map<std::string, std::string>&) {
  const std::string& path = args[0];
  LevelData level;
  std::vector<std::string> clipped;
  std::string error;
  std::error_code notAFile;
  if (std::filesystem::is_regular_file(path, notAFile) && LooksLikeSourceText(path)) {
    std::vector<std::string> errors;
    if (!ReadPlayableLevel(path, level, errors)) {
      for (const std::string& line : errors) std::printf("%s\n", line.c_str());
      return kExitFailed;
    }
  } else if (!ReadLevelFile(path, level, error, &clipped)) {
    // A file that is there but malformed is one the game would refuse to load. (Asking the
    // name, not opening it: a FIFO must not block the check.)
    std::error_code ignored;
    const bool opened = std::filesystem::is_regular_file(path, ignored);
    std::printf("%s: %s%s\n", path.c_str(), opened ? "refused: " : "", error.c_str());
    return kExitFailed;
  }
  std::vector<std::string> problems = clipped;
  const std::vector<std::string> found = LevelProblems(level);
  problems.insert(problems.end(), found.begin(), found.end());
  const std::vector<std::string> targets = WarpTargetProblems(path, level);
  problems.insert(problems.end(), targets.begin(), targets.end());
  for (const std::string& problem : problems)
    std::printf("%s: %s\n", path.c_str(), problem.c_str());
  for (const std::string& note : LevelNotes(level))
    std::printf("%s: note: %s\n", path.c_str(), note.c_str());
  // A sign placed too high is a fault in the play, not in the file: the level still loads.
  for (const std::string& warning : HighTexts(level))
    std::printf("%s: warning: %s\n", path.c_str(), warning.c_str());
  if (!problems.empty()) return kExitFailed;
  std::printf("%s: %s\n", path.c_str(), Summary(level).c_str());
  return kExitOk;
}

// One "name(code) count" item a kind, in code order, or "none".
template <typename Count>
std::string CountList(const std::map<int32_t, Count>& counts,
                      const std::function<const char*(int32_t)>& name) {
  std::string out;
  for (const auto& [code, count] : counts) {
    if (!out.empty()) out += ", ";
    const char* text = name(code);
    out += std::string(text && *text ? text : "?") + "(" + std::to_string(code) + ") " +
           std::to_string(count);
  }
  return out.empty() ? "none" : out;
}

int Stats(const std::vector<std::string>& args, std::map<std::string, std::string>&) {
  LevelData level;
  if (!LoadLevel(args[0], level, nullptr)) return kExitFailed;
  std::map<int32_t, int> blocks, decorations, units, linkedKinds;
  std::map<int32_t, int64_t> spawned;  // a rectangle's area may pass 2^31
  std::vector<bool> linked(level.triggers.size());
  int coins = 0, labels = 0, lastColumn = -1;
  const int cells = level.CellCount();
  for (int cell = 0; cell < cells; ++cell) {
    const auto at = [&](int layer) { return level.layers[size_t(layer)][size_t(cell)]; };
    if (at(kFileBlock) != 0) ++blocks[at(kFileBlock)];
    if (at(kFileDeco) != 0) ++decorations[at(kFileDeco)];
    if (at(kFileUnit) > 0) ++units[at(kFileUnit) - 1];
    if (at(kFileCoin) != 0) ++coins;
    if (at(kFileLabel) >= 0 && at(kFileReveal) == 1) ++labels;
    const int32_t link = at(kFileTrigger);
    if (link >= 0 && size_t(link & 0xFFFF) < linked.size()) linked[size_t(link & 0xFFFF)] = true;
    if (at(kFileGround) || at(kFileBlock) || at(kFileUnit) > 0 || at(kFileCoin))
      lastColumn = std::max(lastColumn, cell / kMapRows);
  }
  int linkedCount = 0;
  for (size_t i = 0; i < level.triggers.size(); ++i) {
    if (!linked[i]) continue;
    ++linkedCount;
    ++linkedKinds[level.triggers[i].kind];
    const LevelTrigger& trigger = level.triggers[i];
    // One unit for every cell of the rectangle that is on the grid, as the game clips it;
    // any level values at all give a count that fits.
    if (trigger.kind == kTriggerSpawn)
      spawned[trigger.unitType] +=
          std::max<int64_t>(0, int64_t(std::min(trigger.column1, kMapColumns - 1)) -
                                   std::max(trigger.column0, 0) + 1) *
          std::max<int64_t>(
              0, int64_t(std::min(trigger.row1, kMapRows - 1)) - std::max(trigger.row0, 0) + 1);
  }
  std::printf("%s: %d columns used\n", args[0].c_str(), lastColumn + 1);
  std::printf("blocks: %s\n", CountList(blocks, BlockCodeName).c_str());
  std::printf("decorations: %s\n", CountList(decorations, DecoCodeName).c_str());
  std::printf("units: %s\n", CountList(units, UnitTypeName).c_str());
  std::printf("units spawned by triggers: %s\n", CountList(spawned, UnitTypeName).c_str());
  std::printf("triggers: %zu records, %d linked from the map: %s\n", level.triggers.size(),
              linkedCount, CountList(linkedKinds, TriggerKindName).c_str());
  std::printf("coins: %d\n", coins);
  std::printf("texts: %zu, shown in %d cells\n", level.texts.size(), labels);
  std::string files;
  for (const LevelWarp& warp : level.warps) files += " " + warp.fileName;
  std::printf("warps: %zu%s%s\n", level.warps.size(), files.empty() ? "" : ":", files.c_str());
  std::string places;
  for (const LevelCell& cell : level.checkpoints)
    places += " (" + std::to_string(cell.column) + ", " + std::to_string(cell.row) + ")";
  std::printf("checkpoints: %zu%s%s\n", level.checkpoints.size(), places.empty() ? "" : ":",
              places.c_str());
  if (level.hasGoal)
    std::printf("goal: (%d, %d)-(%d, %d)\n", level.goal.column0, level.goal.row0,
                level.goal.column1, level.goal.row1);
  else
    std::printf("goal: none\n");
  return kExitOk;
}

std::string DefaultDataDir() {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "data";
  const std::string exe(path, size_t(length));
  return exe.substr(0, exe.rfind('/') + 1) + "data";
}

int Render(const std::vector<std::string>& args, std::map<std::string, std::string>& options) {
  RenderOptions render;
  render.dataDir = options.count("--data") ? options["--data"] : DefaultDataDir();
  if (options.count("--scale")) {
    char* end = nullptr;
    const long scale = std::strtol(options["--scale"].c_str(), &end, 10);
    if (*end || scale < kMinScale || scale > kMaxScale)
      return Usage("--scale takes whole pixels per cell, 1 to 32");
    render.cellPixels = int(scale);
  }
  render.stripColumns = kMaxPictureWidth / render.cellPixels;
  LevelData level;
  if (!LoadLevel(args[0], level, nullptr)) return kExitFailed;
  std::vector<std::string> missing;
  const RgbaImage image = RenderLevel(level, render, &missing);
  if (!missing.empty()) {
    std::string names;
    for (const std::string& name : missing) names += " " + name;
    std::fprintf(stderr, "%s: plain cells stand in for pictures missing from %s:%s\n",
                 args[0].c_str(), render.dataDir.c_str(), names.c_str());
  }
  if (!stbi_write_png(options["-o"].c_str(), image.width, image.height, 4, image.pixels.data(),
                      image.width * 4)) {
    std::fprintf(stderr, "%s: cannot write the picture\n", options["-o"].c_str());
    return kExitFailed;
  }
  return kExitOk;
}

const Command kCommands[] = {
    {"build",
     "usage: brinkhop-level build SOURCE -o LEVEL\n"
     "Compiles level source text into the game's binary level file. Faults are reported one\n"
     "a line as SOURCE:LINE:COLUMN: message; values the game would cut or ignore are warnings.\n",
     {"-o"},
     1,
     Build},
    {"dump",
     "usage: brinkhop-level dump LEVEL [-o SOURCE]\n"
     "Writes a level file as source text (to stdout without -o). Building the text gives back\n"
     "the same bytes for every level that 'check' accepts.\n",
     {"-o"},
     1,
     Dump},
    {"check",
     "usage: brinkhop-level check LEVEL\n"
     "Prints, one a line, why the game would refuse the file or what it would cut or ignore,\n"
     "with the cell or record, and the pipe warps whose level, looked for in the same folder,\n"
     "is missing or would be refused. Exit status 1 if there is any such problem; otherwise 0\n"
     "and a one-line summary of the level. Notes point at things that are harmless but unusual.\n",
     {},
     1,
     Check},
    {"stats",
     "usage: brinkhop-level stats LEVEL\n"
     "Counts what the level holds: blocks, decorations and placed units by code, units that\n"
     "triggers spawn, triggers linked from the map by kind, coins, texts and pipe warps.\n",
     {},
     1,
     Stats},
    {"render",
     "usage: brinkhop-level render LEVEL -o MAP.png [--data DIR] [--scale S]\n"
     "Draws the used columns of the level with the game's pictures, every cell as if revealed,\n"
     "with frames on trigger cells (by kind), unit pictures and the start cell in green.\n"
     "--data DIR   where the pictures are (default: the data folder beside this program)\n"
     "--scale S    pixels per cell, 1 to 32 (default 8); long levels wrap into strips\n",
     {"-o", "--data", "--scale"},
     1,
     Render},
};

// Splits a command's arguments; false with a message on anything unexpected.
bool ParseArguments(const Command& command, int argc, char** argv, Arguments& out,
                    std::string& message) {
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool takesValue = std::find(command.valueOptions.begin(), command.valueOptions.end(),
                                      arg) != command.valueOptions.end();
    if (takesValue) {
      if (i + 1 >= argc) {
        message = arg + " needs a value";
        return false;
      }
      out.options[arg] = argv[++i];
    } else if (arg.size() > 1 && arg[0] == '-') {
      message = "unknown option " + arg + " for " + command.name;
      return false;
    } else {
      out.positionals.push_back(arg);
    }
  }
  if (int(out.positionals.size()) != command.positionals) {
    message = std::string(command.name) + " takes one file";
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage("no command given");
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    std::printf("%s", kUsage);
    return kExitOk;
  }
  for (const Command& command : kCommands) {
    if (name != command.name) continue;
    for (int i = 2; i < argc; ++i)
      if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
        std::printf("%s", command.help);
        if (name == "build") std::printf("\n%s", LevelTextReference().c_str());
        return kExitOk;
      }
    Arguments args;
    std::string message;
    if (!ParseArguments(command, argc - 2, argv + 2, args, message)) return Usage(message);
    const bool needsOutput = name == "build" || name == "render";
    if (needsOutput && !args.options.count("-o")) return Usage(name + " needs -o OUTPUT");
    return command.run(args.positionals, args.options);
  }
  return Usage("unknown command '" + name + "'");
}
