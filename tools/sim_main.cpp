// brinkhop-sim: the game headless, for level designers and regression tests.
#include "tools/sim.h"

int main(int argc, char** argv) { return RunWithGameData(argc, argv, RunSimulator); }
