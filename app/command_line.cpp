// Reading the game's command line by its option table.
#include "app/command_line.h"

#include <cstdlib>
#include <ostream>

#include "world/level_file.h"

#ifndef BRINKHOP_VERSION
#define BRINKHOP_VERSION "0"
#endif

namespace {

// Fills its option from the value; false with why the value is unusable.
using ApplyOption = bool (*)(GameOptions&, const std::string& value, std::string& why);

struct OptionRow {
  const char* name;
  const char* value;  // the value's name in the help, null for a flag
  const char* help;
  ApplyOption apply;
};

bool ParseNumber(const std::string& text, int low, int high, int& out) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < low || value > high) return false;
  out = int(value);
  return true;
}

bool ApplyAt(GameOptions& o, const std::string& value, std::string& why) {
  const auto comma = value.find(',');
  if (comma == std::string::npos ||
      !ParseNumber(value.substr(0, comma), 0, kMapColumns - 1, o.atColumn) ||
      !ParseNumber(value.substr(comma + 1), 0, kMapRows - 1, o.atRow)) {
    why = "--at takes a cell COL,ROW with COL 0 to " + std::to_string(kMapColumns - 1) +
          " and ROW 0 to " + std::to_string(kMapRows - 1) + ", not '" + value + "'";
    return false;
  }
  return true;
}

const OptionRow kOptions[] = {
    {"--data", "DIR", "read the game's files from DIR",
     [](GameOptions& o, const std::string& v, std::string&) { return !(o.dataDir = v).empty(); }},
    {"--level", "FILE",
     "play FILE (level source text or a level file) instead of the data's level;\n"
     "reloaded whenever the file changes",
     [](GameOptions& o, const std::string& v, std::string&) { return !(o.level = v).empty(); }},
    {"--at", "COL,ROW", "start at that cell instead of the level's start point", ApplyAt},
    {"--record", "FILE", "write the session's input to FILE as a simulator script",
     [](GameOptions& o, const std::string& v, std::string&) { return !(o.record = v).empty(); }},
    {"--replay", "FILE", "play a simulator script in the window, to watch it",
     [](GameOptions& o, const std::string& v, std::string&) { return !(o.replay = v).empty(); }},
    {"--help", nullptr, "show this text", nullptr},
    {"--version", nullptr, "show the game's version", nullptr},
};

}  // namespace

std::string GameUsage() {
  std::string text =
      "usage: brinkhop [--data DIR] [--level FILE] [--at COL,ROW] [--record FILE]\n"
      "                [--replay FILE] [--help] [--version]\n";
  for (const OptionRow& option : kOptions) {
    std::string name = std::string("  ") + option.name;
    if (option.value) name += std::string(" ") + option.value;
    name.resize(20, ' ');
    std::string help = option.help;
    for (size_t at = help.find('\n'); at != std::string::npos; at = help.find('\n', at + 1))
      help.insert(at + 1, 20, ' ');
    text += name + help + "\n";
  }
  return text;
}

int ParseGameCommandLine(int argc, const char* const* argv, GameOptions& options, std::ostream& out,
                         std::ostream& err) {
  auto usage = [&](const std::string& message) {
    err << "brinkhop: " << message << "\n" << GameUsage();
    return 2;
  };
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const OptionRow* row = nullptr;
    for (const OptionRow& option : kOptions)
      if (arg == option.name) row = &option;
    if (!row) return usage("unknown argument '" + arg + "'");
    // "--help extra" is more likely a mistyped command than a request for help.
    if (!row->value && i + 1 < argc)
      return usage(arg + " takes nothing after it, not '" + argv[i + 1] + "'");
    if (arg == "--help") {
      out << GameUsage();
      return 0;
    }
    if (arg == "--version") {
      out << "brinkhop " << BRINKHOP_VERSION << "\n";
      return 0;
    }
    if (i + 1 >= argc) return usage(arg + " needs a value (" + row->value + ")");
    std::string why;
    if (!row->apply(options, argv[++i], why))
      return usage(why.empty() ? arg + " needs a value (" + row->value + ")" : why);
  }
  return kGoOn;
}
