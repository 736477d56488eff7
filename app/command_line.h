// The game's command line: a table of options, each with its help line, read into the options
// a session starts with.
#pragma once

#include <iosfwd>
#include <string>

struct GameOptions {
  std::string dataDir;  // empty: the data folder beside the game
  std::string level;    // a level source or level file played instead of the data's own
  int atColumn = -1, atRow = -1;
  std::string record;  // where the session's input is written as a simulator script
  std::string replay;  // a simulator script played in the window
};

constexpr int kGoOn = -1;  // what ParseGameCommandLine returns when the game should start

// Reads the command line into `options`. Returns kGoOn to play, or the status to exit with:
// 0 after --help or --version (written to `out`; anything after them is a usage error), 2
// after a usage error (one line and the help text on `err`).
int ParseGameCommandLine(int argc, const char* const* argv, GameOptions& options, std::ostream& out,
                         std::ostream& err);

// The --help text.
std::string GameUsage();
