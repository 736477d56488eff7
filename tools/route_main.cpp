// brinkhop-route: finds the jump presses that carry a player through a level.
#include <iostream>
#include <string>
#include <vector>

#include "platform/data_dir.h"
#include "tools/route.h"

// The game's own data folder, beside this executable, unless --data says otherwise.
int main(int argc, char** argv) {
  std::string dataArg;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::string(argv[i]) == "--data") dataArg = argv[i + 1];
  std::vector<const char*> args(argv, argv + argc);
  std::string defaultData;
  if (dataArg.empty()) {
    defaultData = FindDataDirectory();
    if (defaultData.empty()) defaultData = ".";
    args.push_back("--data");
    args.push_back(defaultData.c_str());
  }
  return RunRouteFinder(int(args.size()), args.data(), std::cout, std::cerr);
}
