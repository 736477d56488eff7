// A scratch data folder for whole-game tests: the game's own pictures and sounds beside a level
// the test made, so the simulator loads and draws exactly what the game would.
#pragma once

#include <string>

struct LevelData;

// Makes (afresh) TestScratchDir()/name holding links to the game's data files and `level`
// written as the file "level"; returns the folder.
std::string ScratchDataDir(const std::string& name, const LevelData& level);
