// Where the game's files are: the data folder beside the executable, or the installed one.
#pragma once

#include <string>

// <executable dir>/data, else <executable dir>/../share/brinkhop; empty if neither exists.
std::string FindDataDirectory();
