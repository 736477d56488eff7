// Scratch files for whole-game tests: data folders with the game's own pictures and sounds
// beside a level the test made, level files, and the command-line tools run on them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "world/level_file.h"

// Makes (afresh) TestScratchDir()/name holding links to the game's data files and `level`
// written as the file "level"; returns the folder.
std::string ScratchDataDir(const std::string& name, const LevelData& level);

// Writes `level` as a level file at `path`; returns the path.
std::string WriteLevelFile(const std::string& path, const LevelData& level);

// Runs a shell command, stopped after a minute so a tool that waits fails instead of hanging;
// returns its exit status (-1 if it did not exit) and what it wrote to the pipe.
int RunCommand(const std::string& command, std::string* output = nullptr);

// Ground on `row` from column `from` to `to`, and the start standing on it at `startColumn`.
LevelData GroundLevel(int row, int from, int to, int startColumn);

// A test that starts the game, which moves into its data folder: each test ends back in the
// folder it started in.
class GameFolderTest : public ::testing::Test {
 protected:
  void TearDown() override { std::filesystem::current_path(startFolder); }
  const std::filesystem::path startFolder = std::filesystem::current_path();
};
