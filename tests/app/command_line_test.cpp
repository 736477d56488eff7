// The game's command line: every option read, and each way to get it wrong ending with one
// line, the usage and status 2.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

struct Parsed {
  int status = 0;
  GameOptions options;
  std::string out, err;
};

Parsed Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "brinkhop");
  Parsed p;
  std::ostringstream out, err;
  p.status = ParseGameCommandLine(int(args.size()), args.data(), p.options, out, err);
  p.out = out.str();
  p.err = err.str();
  return p;
}

TEST(CommandLineTest, NoOptionsPlaysAsAlwaysAndEveryOptionIsRead) {
  const Parsed none = Parse({});
  EXPECT_EQ(none.status, kGoOn);
  EXPECT_TRUE(none.options.level.empty());
  EXPECT_EQ(none.options.atColumn, -1);

  const Parsed all = Parse({"--data", "d", "--level", "room.txt", "--at", "4095,63", "--record",
                            "run.txt", "--replay", "old.txt"});
  EXPECT_EQ(all.status, kGoOn) << all.err;
  EXPECT_EQ(all.options.dataDir, "d");
  EXPECT_EQ(all.options.level, "room.txt");
  EXPECT_EQ(all.options.atColumn, 4095);
  EXPECT_EQ(all.options.atRow, 63);
  EXPECT_EQ(all.options.record, "run.txt");
  EXPECT_EQ(all.options.replay, "old.txt");
  EXPECT_TRUE(all.out.empty() && all.err.empty());
}

TEST(CommandLineTest, HelpAndVersionEndWithZero) {
  const Parsed help = Parse({"--level", "x.txt", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out, GameUsage());
  for (const char* option : {"--data DIR", "--level FILE", "--at COL,ROW", "--record FILE",
                             "--replay FILE", "--help", "--version"})
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  const Parsed version = Parse({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("brinkhop ", 0), 0u);
}

TEST(CommandLineTest, UsageErrorsSayWhatIsWrongThenTheUsage) {
  const struct {
    std::vector<const char*> args;
    const char* line;
  } bad[] = {
      {{"--bogus"}, "brinkhop: unknown argument '--bogus'"},
      {{"level.txt"}, "brinkhop: unknown argument 'level.txt'"},
      {{"--level"}, "brinkhop: --level needs a value (FILE)"},
      {{"--record", ""}, "brinkhop: --record needs a value (FILE)"},
      {{"--at", "5"}, "brinkhop: --at takes a cell COL,ROW"},
      {{"--at", "5,"}, "brinkhop: --at takes a cell COL,ROW"},
      {{"--at", "4096,0"}, "brinkhop: --at takes a cell COL,ROW"},
      {{"--at", "0,64"}, "brinkhop: --at takes a cell COL,ROW"},
      {{"--at", "-1,3"}, "brinkhop: --at takes a cell COL,ROW"},
      {{"--at", "a,b"}, "brinkhop: --at takes a cell COL,ROW"},
      {{"--help", "extra"}, "brinkhop: --help takes nothing after it, not 'extra'"},
      {{"--version", "--bogus"}, "brinkhop: --version takes nothing after it, not '--bogus'"},
  };
  for (const auto& b : bad) {
    const Parsed p = Parse(b.args);
    EXPECT_EQ(p.status, 2) << b.line;
    EXPECT_EQ(p.err.rfind(b.line, 0), 0u) << p.err;
    const auto newline = p.err.find('\n');
    ASSERT_NE(newline, std::string::npos);
    EXPECT_EQ(p.err.substr(newline + 1), GameUsage());
    EXPECT_TRUE(p.out.empty());
  }
}

}  // namespace
