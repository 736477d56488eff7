// What every command-line tool over the simulator shares: the game's own data folder as the
// default --data.
#pragma once

#include <iosfwd>
#include <string>

// Runs a tool's command line with the game's own data folder (beside the executable) added as
// --data when the line names none.
using ToolMain = int (*)(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
int RunWithGameData(int argc, char** argv, ToolMain run);

// What a tool's option needs after it ("a file"), for the line that says it is missing; null
// for a flag or an unknown word.
const char* OptionValueName(const std::string& option);
