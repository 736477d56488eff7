// The game's data folder as a tool's default --data.
#include "tools/tool_main.h"

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "platform/data_dir.h"

int RunWithGameData(int argc, char** argv, ToolMain run) {
  bool dataGiven = false;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--data") == 0 && argv[i + 1][0]) dataGiven = true;
  std::vector<const char*> args(argv, argv + argc);
  const std::string found = dataGiven ? std::string() : FindDataDirectory();
  const char* defaultData = found.empty() ? "." : found.c_str();
  if (!dataGiven) {
    args.push_back("--data");
    args.push_back(defaultData);
  }
  return run(int(args.size()), args.data(), std::cout, std::cerr);
}
