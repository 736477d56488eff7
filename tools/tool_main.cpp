// The game's data folder as a tool's default --data.
#include "tools/tool_main.h"

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "platform/data_dir.h"

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
    if (std::strcmp(argv[i], "--data") == 0 && argv[i + 1][0]) dataGiven = true;
  std::vector<const char*> args(argv, argv + argc);
  const std::string found = dataGiven ? std::string() : FindDataDirectory();
  const char* defaultData = found.empty() ? "." : found.c_str();
  // The default goes first: after the caller's words, an option left without its value would
  // take it for its own.
  if (!dataGiven) args.insert(args.begin() + 1, {"--data", defaultData});
  return run(int(args.size()), args.data(), std::cout, std::cerr);
}
