// brinkhop-route: finds the jump presses that carry a player through a level.
#include "tools/route.h"
#include "tools/tool_main.h"

int main(int argc, char** argv) { return RunWithGameData(argc, argv, RunRouteFinder); }
