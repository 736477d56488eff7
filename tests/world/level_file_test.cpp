// The level file loader on hand-built files: every section in its place, short levels, each
// way a file can be malformed, cut texts, kept trailing bytes, and the problems it reports.
#include "world/level_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Writes a level file field by field, as the format lays it out.
struct Bytes {
  std::vector<uint8_t> data;
  Bytes& Int(int32_t value) {
    for (int shift = 0; shift < 32; shift += 8) data.push_back(uint8_t(uint32_t(value) >> shift));
    return *this;
  }
  Bytes& Byte(uint8_t value) {
    data.push_back(value);
    return *this;
  }
  Bytes& Text(const std::string& text, uint8_t skipped = 0) {
    Int(int32_t(text.size())).Byte(skipped);
    data.insert(data.end(), text.begin(), text.end());
    return *this;
  }
  // Sizes and eight layers whose cell i holds layer * 1000 + i.
  Bytes& Layers(int32_t sizeA, int32_t sizeB) {
    Int(sizeA).Int(sizeB);
    for (int layer = 0; layer < kFileLayerCount; ++layer)
      for (int32_t i = 0; i < sizeA * sizeB; ++i) Int(layer * 1000 + i);
    return *this;
  }
  Bytes& Trailer() { return Int(0).Int(0).Int(0).Int(0); }
  // A section's tag, or a name's characters: bytes as written, no length.
  Bytes& Chars(const std::string& text) {
    data.insert(data.end(), text.begin(), text.end());
    return *this;
  }
};

LevelData Parsed(const Bytes& bytes) {
  LevelData level;
  std::string error;
  EXPECT_TRUE(ParseLevel(bytes.data.data(), bytes.data.size(), level, error)) << error;
  return level;
}

std::string ParseError(const Bytes& bytes) {
  LevelData level;
  std::string error;
  EXPECT_FALSE(ParseLevel(bytes.data.data(), bytes.data.size(), level, error));
  return error;
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(LevelFileTest, AFullLevelFillsEveryLayerInFileOrderAndWritesBackTheSameBytes) {
  Bytes file;
  file.Int(kMapColumns).Int(kMapRows);
  for (int layer = 0; layer < kFileLayerCount; ++layer)
    for (int i = 0; i < kMapCells; ++i) file.Int(i == CellIndex(7, 12) ? 100 + layer : 0);
  file.Int(2);
  file.Int(0).Int(1).Int(2).Int(3).Int(4).Int(5).Int(6);  // kind, unit, only, c0, c1, r0, r1
  file.Int(3).Int(0).Int(0).Int(9).Int(0).Int(11).Int(0);
  file.Int(2).Text("HELLO", 0x5a).Text("").Int(-1).Int(2).Int(3).Int(4);

  const LevelData level = Parsed(file);
  EXPECT_EQ(level.CellCount(), kMapCells);
  // The file orders the layers ground, coin, block, unit, trigger, label, reveal, deco.
  for (int layer = 0; layer < kFileLayerCount; ++layer) {
    EXPECT_EQ(level.layers[layer][CellIndex(7, 12)], 100 + layer) << kLevelLayerNames[layer];
    EXPECT_EQ(level.layers[layer][CellIndex(7, 13)], 0);
  }
  ASSERT_EQ(level.triggers.size(), 2u);
  EXPECT_EQ(level.triggers[0], (LevelTrigger{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(level.triggers[1].kind, 3);
  ASSERT_EQ(level.texts.size(), 2u);
  EXPECT_EQ(level.texts[0], (LevelText{0x5a, "HELLO"}));
  EXPECT_EQ(level.texts[1].text, "");
  EXPECT_EQ(level.trailer, (std::array<int32_t, 4>{-1, 2, 3, 4}));
  EXPECT_TRUE(level.extra.empty());
  EXPECT_EQ(SerializeLevel(level), file.data);
}

TEST(LevelFileTest, ASmallerLevelHoldsOnlyItsFirstCellsInColumnOrder) {
  // 128 cells are columns 0 and 1, whichever way the two sizes split them.
  for (const auto& [sizeA, sizeB] : {std::pair{2, 64}, std::pair{128, 1}}) {
    Bytes file;
    file.Layers(sizeA, sizeB).Int(0).Int(0).Trailer();
    const LevelData level = Parsed(file);
    EXPECT_EQ(level.CellCount(), 128);
    EXPECT_EQ(level.sizeA, sizeA);
    EXPECT_EQ(level.layers[kFileBlock][size_t(CellIndex(1, 63))], 2000 + 127);
    EXPECT_EQ(level.layers[kFileDeco][size_t(CellIndex(1, 0))], 7000 + 64);
    EXPECT_EQ(SerializeLevel(level), file.data);
  }
}

TEST(LevelFileTest, MalformedFilesAreRefusedWithTheirReason) {
  const auto layersOnly = [] { return Bytes().Layers(1, 1); };
  const auto plain = [&] { return layersOnly().Int(0).Int(0).Trailer(); };
  const int layerBytes = 8 * 4;  // one cell per layer
  struct Case {
    const char* what;
    Bytes file;
    std::string error;
  };
  const Case cases[] = {
      {"empty", Bytes(), "truncated: expected 8 bytes of sizes, found 0"},
      {"one size", Bytes().Int(4096), "truncated: expected 8 bytes of sizes, found 4"},
      {"zero size", Bytes().Int(0).Int(64),
       "bad size: 0 x 64 cells does not fit the 4096 x 64 map"},
      {"negative size", Bytes().Int(-1).Int(64),
       "bad size: -1 x 64 cells does not fit the 4096 x 64 map"},
      {"both negative", Bytes().Int(-4096).Int(-64),
       "bad size: -4096 x -64 cells does not fit the 4096 x 64 map"},
      {"too many cells", Bytes().Int(4097).Int(64),
       "bad size: 4097 x 64 cells does not fit the 4096 x 64 map"},
      // The full map's cells fit (the full level above); one more writes past the map.
      {"one cell more than the map", Bytes().Int(kMapCells + 1).Int(1),
       "bad size: 262145 x 1 cells does not fit the 4096 x 64 map"},
      {"one cell more, the other way", Bytes().Int(1).Int(kMapCells + 1),
       "bad size: 1 x 262145 cells does not fit the 4096 x 64 map"},
      {"product wraps to zero in 32 bits", Bytes().Int(65536).Int(65536),
       "bad size: 65536 x 65536 cells does not fit the 4096 x 64 map"},
      {"product wraps to a small number", Bytes().Int(0x10001).Int(0x10000),
       "bad size: 65537 x 65536 cells does not fit the 4096 x 64 map"},
      {"layers cut",
       [] {
         Bytes b;
         b.Int(4096).Int(64);
         b.data.resize(1000);
         return b;
       }(),
       "truncated: expected 8388616 bytes of layers, found 1000"},
      {"no trigger count", layersOnly(),
       "truncated: expected " + std::to_string(8 + layerBytes + 4) +
           " bytes of the trigger count, found " + std::to_string(8 + layerBytes)},
      {"negative trigger count", layersOnly().Int(-1), "bad trigger count: -1 (0 to 1024)"},
      {"too many triggers", layersOnly().Int(1025), "bad trigger count: 1025 (0 to 1024)"},
      {"trigger record cut", layersOnly().Int(2).Int(0).Int(0).Int(0).Int(0).Int(0).Int(0).Int(0),
       "truncated: expected " + std::to_string(8 + layerBytes + 4 + 56) +
           " bytes of trigger records, found " + std::to_string(8 + layerBytes + 4 + 28)},
      {"no text count", layersOnly().Int(0), "of the text count"},
      {"negative text count", layersOnly().Int(0).Int(-3), "bad text count: -3 (0 to 1024)"},
      {"too many texts", layersOnly().Int(0).Int(1025), "bad text count: 1025 (0 to 1024)"},
      {"text header cut", layersOnly().Int(0).Int(1).Int(3), "bytes of texts"},
      {"negative text length", layersOnly().Int(0).Int(1).Int(-5).Byte(0), "text 0: bad length -5"},
      {"text shorter than its length", layersOnly().Int(0).Int(1).Int(10).Byte(0).Byte('A'),
       "bytes of texts"},
      {"second text cut", layersOnly().Int(0).Int(2).Text("OK"), "bytes of texts"},
      {"no trailer", layersOnly().Int(0).Int(0).Int(1).Int(2), "bytes of the trailer"},
      {"too many warps", plain().Chars("WARP").Int(33), "bad warp count: 33 (0 to 32)"},
      {"long warp name", plain().Chars("WARP").Int(1).Int(0).Int(0).Int(2).Int(0).Int(500),
       "warp 0: bad file name length 500"},
      {"warp cut", plain().Chars("WARP").Int(1).Int(0).Int(0), "truncated: expected"},
      {"goal cut", plain().Chars("GOAL").Int(1).Int(2), "truncated: expected"},
      {"too many backdrops", plain().Chars("BACK").Int(65), "bad backdrop count: 65 (0 to 64)"},
      {"backdrop cut", plain().Chars("BACK").Int(1).Int(0).Int(0), "truncated: expected"},
      {"too many checkpoints", plain().Chars("FLAG").Int(33), "bad checkpoint count: 33 (0 to 32)"},
      {"checkpoint cut", plain().Chars("FLAG").Int(1).Int(5), "truncated: expected"},
  };
  for (const Case& c : cases) {
    const std::string error = ParseError(c.file);
    EXPECT_NE(error.find(c.error), std::string::npos)
        << c.what << ": \"" << error << "\" lacks \"" << c.error << "\"";
  }
}

TEST(LevelFileTest, LongTextsAreCutTo127BytesWithANoteAndTrailingBytesAreKept) {
  const std::string longText(200, 'X');
  Bytes file;
  file.Layers(1, 1).Int(0).Int(3).Text("SHORT").Text(longText, 7).Text(std::string(127, 'Y'));
  file.Trailer().Byte(0xde).Byte(0xad);
  LevelData level;
  std::string error;
  std::vector<std::string> clipped;
  ASSERT_TRUE(ParseLevel(file.data.data(), file.data.size(), level, error, &clipped)) << error;
  ASSERT_EQ(level.texts.size(), 3u);
  EXPECT_EQ(level.texts[1].text, std::string(127, 'X'));
  EXPECT_EQ(level.texts[1].skipped, 7);
  EXPECT_EQ(level.texts[2].text.size(), 127u);
  EXPECT_EQ(clipped, std::vector<std::string>{"text 1: 200 bytes long, cut to 127"});
  EXPECT_EQ(level.extra, (std::vector<uint8_t>{0xde, 0xad}));
  // Written back, the trailing bytes stay and the cut text stays cut.
  Bytes expected;
  expected.Layers(1, 1).Int(0).Int(3).Text("SHORT").Text(std::string(127, 'X'), 7);
  expected.Text(std::string(127, 'Y')).Trailer().Byte(0xde).Byte(0xad);
  EXPECT_EQ(SerializeLevel(level), expected.data);
}

TEST(LevelFileTest, ProblemsNameEachValueTheGameWouldIgnoreWithItsCellOrRecord) {
  LevelData level = EmptyLevel();
  EXPECT_TRUE(LevelProblems(level).empty());
  const auto set = [&](int layer, int column, int row, int32_t value) {
    level.layers[layer][size_t(CellIndex(column, row))] = value;
  };
  // The last good value of each kind is no problem.
  set(kFileGround, 1, 1, 5);
  set(kFileDeco, 1, 1, 6);
  set(kFileBlock, 1, 1, 34);
  set(kFileBlock, 1, 2, 24);
  set(kFileUnit, 1, 1, kUnitTypeCodes);
  set(kFileTrigger, 1, 1, (1 << 24) | (1 << 20) | 1023);
  set(kFileLabel, 1, 1, 1023);
  level.triggers.push_back({0, 0, 0, 0, 4095, 0, 63});
  level.triggers.push_back({1, 18, 0, 4095, 4095, 63, 63});
  level.triggers.push_back({2, 0, 0, 4095, 0, 63, 0});
  EXPECT_TRUE(LevelProblems(level).empty());

  set(kFileGround, 2, 3, 6);
  set(kFileGround, 2, 4, -1);
  set(kFileDeco, 4, 5, kDecoCodes + 1);
  set(kFileBlock, 6, 7, 27);  // 25 and 26 are the pipe lying down
  set(kFileUnit, 8, 9, kUnitTypeCodes + 1);
  set(kFileTrigger, 10, 11, (1 << 24) | 1024);
  set(kFileLabel, 12, 13, 1024);
  level.triggers.push_back({0, 0, 0, 4090, 4096, 0, 0});
  level.triggers.push_back({1, kUnitTypeCodes, 0, 5, 5, 5, 5});
  level.triggers.push_back({2, 0, 0, 3, 0, -1, 0});
  const std::vector<std::string> problems = LevelProblems(level);
  for (const std::string& expected : std::initializer_list<std::string>{
           "cell (2, 3): ground value has no picture: 6",
           "cell (2, 4): ground value has no picture: -1",
           "cell (4, 5): decoration has no picture: 8",
           "cell (6, 7): block code has no picture: 27",
           "cell (8, 9): unit value names no unit type: " + std::to_string(kUnitTypeCodes + 1),
           "cell (10, 11): trigger link points past the 1024 triggers: 16778240",
           "cell (12, 13): label points past the 1024 texts: 1024",
           "trigger 3: rectangle (4090, 0)-(4096, 0) reaches off the grid",
           "trigger 4: unit type " + std::to_string(kUnitTypeCodes) + " does not exist",
           "trigger 5: teleport target (3, -1) is off the grid",
       })
    EXPECT_TRUE(Has(problems, expected)) << "missing: " << expected;
  EXPECT_EQ(problems.size(), 10u);
}

// The tagged sections past the trailer, each optional: warps, the goal, backdrops and
// checkpoints. An older file ends before them; a file may hold any without the others.
TEST(LevelFileTest, OptionalSectionsFollowTheTrailerAndWriteBackTheSameBytes) {
  const Bytes plain = Bytes().Layers(1, 1).Int(0).Int(0).Trailer();
  Bytes file = plain;
  file.Chars("WARP").Int(2).Int(320).Int(288).Int(1).Int(0).Int(5).Chars("bonus");
  file.Int(64).Int(96).Int(4).Int(31).Int(5).Chars("../up");
  file.Chars("GOAL").Int(697).Int(0).Int(698).Int(39);
  file.Chars("BACK").Int(2).Int(300).Int(44).Int(470).Int(58).Int(1);
  file.Int(0).Int(0).Int(4095).Int(63).Int(9);
  file.Chars("FLAG").Int(2).Int(230).Int(38).Int(470).Int(99).Byte(0x42);

  LevelData level = Parsed(file);
  ASSERT_EQ(level.warps.size(), 2u);
  EXPECT_EQ(level.warps[0], (LevelWarp{320, 288, 1, 0, "bonus"}));
  EXPECT_EQ(level.warps[1].startIndex, 31);
  EXPECT_EQ(level.goal, (LevelArea{697, 0, 698, 39}));
  ASSERT_EQ(level.backdrops.size(), 2u);
  EXPECT_EQ(level.backdrops[0], (LevelBackdrop{{300, 44, 470, 58}, kBackdropCave}));
  EXPECT_EQ(level.checkpoints, (std::vector<LevelCell>{{230, 38}, {470, 99}}));
  EXPECT_EQ(level.extra, std::vector<uint8_t>{0x42});
  EXPECT_EQ(SerializeLevel(level), file.data);
  // The first region holding a cell decides; a kind the game has no picture for is the sky.
  EXPECT_EQ(BackdropAt(level, 300, 44), kBackdropCave);
  EXPECT_EQ(BackdropAt(level, 470, 59), kBackdropSky);
  EXPECT_EQ(BackdropAt(level, 10, 10), kBackdropSky);
  std::vector<std::string> problems = LevelProblems(level);
  for (const char* expected :
       {"warp 1: the level name must be a plain file name in the game's folder",  // a path
        "backdrop 1: kind 9 is not 0 (sky), 1 (cave) or 2 (castle)",
        "checkpoint 1: cell (470, 99) is off the grid"})
    EXPECT_TRUE(Has(problems, expected)) << expected;

  level = Parsed(plain);
  EXPECT_FALSE(level.hasWarpSection || level.hasGoal || level.hasBackdropSection ||
               level.hasCheckpointSection);
  EXPECT_EQ(SerializeLevel(level), plain.data);
  const Bytes backOnly = Bytes(plain).Chars("BACK").Int(0);
  level = Parsed(backOnly);
  EXPECT_TRUE(level.hasBackdropSection && !level.hasWarpSection && !level.hasGoal);
  EXPECT_EQ(SerializeLevel(level), backOnly.data);

  // Levels have only start point 0: any other, in the old table's range or not, is named.
  level.warps = {LevelWarp{0, 0, 7, 40, "level"}, LevelWarp{0, 0, 1, 1, "bonus"},
                 LevelWarp{0, 0, 1, 0, "bonus"}};
  level.hasGoal = true;
  level.goal = {10, 5, 8, 70};
  problems = LevelProblems(level);
  for (const char* expected :
       {"warp 0: direction 7 is not 1 (down) to 4 (up)",
        "warp 0: start point 40 does not exist; levels have only start point 0, which the game "
        "uses instead",
        "warp 1: start point 1 does not exist; levels have only start point 0, which the game "
        "uses instead",
        "the goal: (10, 5)-(8, 70) is no rectangle on the grid"})
    EXPECT_TRUE(Has(problems, expected)) << expected;
}

}  // namespace
