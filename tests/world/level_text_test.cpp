// The level source text and brinkhop-level: what a designer's text builds, the faults it
// reports, dump then build giving back the same bytes, the picture, and the command line.
#include "world/level_text.h"

#include <gtest/gtest.h>
#include <stb_image.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "tests/support/png.h"
#include "tests/support/scratch_data.h"
#include "tools/level_render.h"

namespace {

LevelData Compile(const std::string& text) {
  LevelData level;
  std::vector<std::string> errors;
  EXPECT_TRUE(CompileLevelText(text, "test.txt", level, errors))
      << (errors.empty() ? "" : errors[0]);
  return level;
}

std::vector<std::string> CompileErrors(const std::string& text) {
  LevelData level;
  std::vector<std::string> errors;
  EXPECT_FALSE(CompileLevelText(text, "test.txt", level, errors)) << text;
  return errors;
}

int32_t At(const LevelData& level, int layer, int column, int row) {
  return level.layers[layer][size_t(CellIndex(column, row))];
}

std::string ShippedSource() {
  std::ifstream file(BRINKHOP_LEVEL_SOURCE);
  return std::string((std::istreambuf_iterator<char>(file)), {});
}

std::array<int, 3> Rgb(const RgbaImage& image, int x, int y) {
  const uint8_t* p = &image.pixels[(size_t(y) * size_t(image.width) + size_t(x)) * 4];
  return {p[0], p[1], p[2]};
}

TEST(LevelTextTest, TheDefaultCharactersBuildWhatADesignerDraws) {
  const LevelData level = Compile(R"(
; a comment line
# another one
[map 10]
08 ?B!=+
11 oc..^*
12 ####
[links legend]
'm' 53 keep rearm disarm
[links 10]
11 0m
[triggers]
0 start
1 strike from=10,8 to=12,8 only=brick   ; a trailing comment
2 spawn from=1,2 to=3,4 unit=turtle
3 teleport at=100,5
53 message
[texts]
0 "HI \"YOU\" \x01\\" skip=9
[labels 10]
08 ....0
)");
  EXPECT_EQ(level.CellCount(), kMapCells);
  // Boxes and terrain show from the start; the hidden box and the deadly ground do not. A
  // crawler is type code 0, stored plus one; cells nobody wrote keep the reset values.
  const int32_t cells[][4] = {
      {kFileBlock, 10, 8, 2},    {kFileReveal, 10, 8, 1},  {kFileBlock, 11, 8, 1},
      {kFileBlock, 12, 8, 3},    {kFileReveal, 12, 8, 0},  {kFileBlock, 13, 8, 12},
      {kFileGround, 13, 8, 1},   {kFileReveal, 14, 8, 1},  {kFileCoin, 10, 11, 1},
      {kFileUnit, 11, 11, 1},    {kFileDeco, 14, 11, 3},   {kFileGround, 14, 11, 1},
      {kFileReveal, 14, 11, 0},  {kFileDeco, 15, 11, 5},   {kFileGround, 13, 12, 1},
      {kFileGround, 14, 12, 0},  {kFileTrigger, 0, 0, -1}, {kFileLabel, 0, 0, -1},
      {kFileTrigger, 10, 11, 0}, {kFileLabel, 14, 8, 0}};
  for (const auto& [layer, column, row, value] : cells)
    EXPECT_EQ(At(level, layer, column, row), value)
        << kLevelLayerNames[layer] << " " << column << "," << row;
  EXPECT_EQ(At(level, kFileTrigger, 11, 11), 53 | kLinkKeepFlag | kLinkRearmFlag | kLinkDisarmFlag);

  // Unlisted triggers up to the highest index are filler that does nothing.
  ASSERT_EQ(level.triggers.size(), 54u);
  EXPECT_EQ(level.triggers[0], (LevelTrigger{kTriggerStart, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(level.triggers[1], (LevelTrigger{kTriggerStrike, 0, 1, 10, 12, 8, 8}));
  EXPECT_EQ(level.triggers[2], (LevelTrigger{kTriggerSpawn, 1, 0, 1, 3, 2, 4}));
  EXPECT_EQ(level.triggers[3], (LevelTrigger{kTriggerTeleport, 0, 0, 100, 0, 5, 0}));
  EXPECT_EQ(level.triggers[4], (LevelTrigger{kTriggerNothing, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(level.triggers[53].kind, kTriggerMessage);
  ASSERT_EQ(level.texts.size(), 1u);
  EXPECT_EQ(level.texts[0], (LevelText{9, "HI \"YOU\" \x01\\"}));
  EXPECT_TRUE(LevelProblems(level).empty());
  EXPECT_EQ(StartCell(level), (std::pair<int, int>(10, 11)));
}

TEST(LevelTextTest, AFileLegendAddsCharactersAndOverridesDefaults) {
  const LevelData level = Compile(R"(
size 3 64
trailer 1 -2 3 0x80000000
[map legend]
'#' ground=4
'Q' block=brick coin=1 reveal=1
'"' unit=hammer9 deco=2
[map]
05 #Q"
[triggers]
count 3
1 none from=7,8 unit=5
[texts]
count 2
[extra]
00ff 7a
)");
  EXPECT_EQ(level.CellCount(), 3 * 64);
  EXPECT_EQ(At(level, kFileGround, 0, 5), 4);
  EXPECT_EQ(At(level, kFileReveal, 0, 5), 0);  // an override replaces the whole entry
  EXPECT_EQ(At(level, kFileBlock, 1, 5), 1);
  EXPECT_EQ(At(level, kFileCoin, 1, 5), 1);
  EXPECT_EQ(At(level, kFileUnit, 2, 5), 19);
  EXPECT_EQ(At(level, kFileDeco, 2, 5), 2);
  EXPECT_EQ(level.trailer, (std::array<int32_t, 4>{1, -2, 3, INT32_MIN}));
  ASSERT_EQ(level.triggers.size(), 3u);
  EXPECT_EQ(level.triggers[1], (LevelTrigger{kTriggerNothing, 5, 0, 7, 0, 8, 0}));
  EXPECT_EQ(level.texts.size(), 2u);
  EXPECT_EQ(level.extra, (std::vector<uint8_t>{0x00, 0xff, 0x7a}));
}

TEST(LevelTextTest, FaultsAreReportedOneALineWithLineAndColumn) {
  const struct {
    const char* source;
    const char* error;
  } cases[] = {
      {"[map 0]\n11 ..#Q\n", "test.txt:2:7: 'Q' is not in the map legend"},
      {"[map 4095]\n11 ##\n", "test.txt:2:5: cell (4096, 11) is off the 4096 x 64 map"},
      {"[map 0]\n64 #\n", "test.txt:2:1: row 64 is past row 63"},
      {"[map 0]\n11 #\n11 #\n", "test.txt:3:1: row 11 is given twice in this grid section"},
      {"[map 0]\n11#\n", "test.txt:2:3: the row number is followed by one space, then the cells"},
      {"size 2 64\n[map 0]\n05 ..#\n", "test.txt:3:6: cell (2, 5) is past the 128 cells"},
      {"size 4097 64\n", "test.txt:1:6: size 4097 x 64 does not fit the 4096 x 64 map"},
      {"colour 3\n", "test.txt:1:1: unknown setting 'colour'"},
      {"[maps 0]\n", "test.txt:1:2: unknown section [maps]"},
      {"[map legend]\n# ground=1\n'#' ground=1 lava=2\n", "test.txt:3:14: expected LAYER=VALUE"},
      {"[map legend]\n'.' ground=1\n", "test.txt:2:2: a grid character is a visible character"},
      {"[map legend]\n'X' block=lava\n",
       "test.txt:2:11: 'lava' is neither a number nor a block name"},
      {"[links legend]\n'a' 3 forever\n", "test.txt:2:7: unknown link flag 'forever'"},
      {"[triggers]\n1 start\n1 none\n", "test.txt:3:1: trigger 1 is already given on line 2"},
      {"[triggers]\n1 explode\n", "test.txt:2:3: unknown trigger kind 'explode'"},
      {"[triggers]\n1 strike from=1\n", "test.txt:2:10: expected a cell COLUMN,ROW in 'from=1'"},
      {"[triggers]\n1024 start\n", "test.txt:2:1: a trigger index is 0 to 1023"},
      {"[triggers]\ncount 2\n5 start\n",
       "test.txt:3:1: trigger 5 is past the count of 2 on line 2"},
      {"[texts]\n0 \"abc\n", "test.txt:2:3: the text has no closing \""},
      {"[texts]\n0 \"a\\qb\"\n", "test.txt:2:5: unknown escape in the text"},
      {"[texts]\n0 \""
       "0123456789012345678901234567890123456789012345678901234567890123"
       "0123456789012345678901234567890123456789012345678901234567890123\"\n",
       "test.txt:2:3: the text is 128 bytes long; the game keeps at most 127"},
      {"[cells]\nmagma 1 2 3\n", "test.txt:2:1: unknown layer 'magma'"},
      {"[extra]\n0g\n", "test.txt:2:1: extra bytes are written as pairs of hex digits"},
      {"[goal]\nfrom=1,1\n", "test.txt:2:1: an area needs both from=C,R and to=C,R"},
      {"[goal]\nfrom=1,1 to=2,2\nfrom=3,3 to=4,4\n",
       "test.txt:3:1: the goal is already given on line 2"},
      {"[backdrops]\nforest from=1,1 to=2,2\n",
       "test.txt:2:1: a backdrop is sky, cave, castle or a number"},
      {"[backdrops]\ncave from=1,1 at=2,2\n",
       "test.txt:2:15: expected from=C,R and to=C,R, once each"},
      {"[checkpoints]\nfrom=1,1\n", "test.txt:2:1: a checkpoint is one at=C,R"},
      {"[checkpoints]\nat=1\n", "test.txt:2:1: expected a cell COLUMN,ROW in 'at=1'"},
      {"[checkpoints]\n[checkpoints]\n", "test.txt:2:1: [checkpoints] is given twice"},
      {"[warps]\n0 at=1,1 dir=sideways\n",
       "test.txt:2:14: dir is down, right, left, up or a number"},
      {"[warps]\n40 at=1,1\n", "test.txt:2:1: a warp index is 0 to 31"},
      // An unclosed quote after a key is a fault with its place, not a cut-off name.
      {"[warps]\n0 at=1,1 dir=down start=0 file=\"my level\n",
       "test.txt:2:27: the text has no closing \""},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> errors = CompileErrors(c.source);
    ASSERT_FALSE(errors.empty()) << c.source;
    EXPECT_EQ(errors[0].rfind(c.error, 0), 0u) << "got: " << errors[0] << "\nwanted: " << c.error;
  }
  // Every fault of a file is reported, not only the first.
  EXPECT_EQ(CompileErrors("[map 0]\n01 Q\n02 Q\n[triggers]\nx start\n").size(), 3u);
}

// A level with the odd values a file may hold: any layer value, any text bytes, filler records
// at the end, trailing bytes, and sizes other than the full map.
LevelData RandomLevel(std::mt19937& random, int32_t sizeA, int32_t sizeB, int distinctValues,
                      int32_t sparseness = 4) {
  const auto pick = [&](int32_t below) { return int32_t(random() % uint32_t(below)); };
  LevelData level;
  level.sizeA = sizeA;
  level.sizeB = sizeB;
  const size_t cells = size_t(sizeA) * size_t(sizeB);
  std::vector<int32_t> odd = {INT32_MIN, INT32_MAX, -2, 1 << 24 | 7, int32_t(0xffff0003), 70000};
  for (int i = 0; i < distinctValues; ++i) odd.push_back(int32_t(random()));
  for (int layer = 0; layer < kFileLayerCount; ++layer) {
    level.layers[layer].assign(cells, ResetValue(layer));
    for (size_t i = 0; i < cells; ++i)
      if (pick(sparseness) == 0)
        level.layers[layer][i] = pick(3) ? pick(40) - 2 : odd[size_t(pick(int32_t(odd.size())))];
  }
  level.triggers.resize(size_t(pick(80)));
  for (LevelTrigger& t : level.triggers)
    t = pick(3) == 0
            ? LevelTrigger{kTriggerNothing, 0, 0, 0, 0, 0, 0}
            : LevelTrigger{
                  pick(9) - 1,  pick(25) - 3, pick(3) ? 0 : pick(40), pick(5000) - 100, pick(5000),
                  pick(70) - 3, pick(70),
              };
  level.texts.resize(size_t(pick(40)));
  for (LevelText& text : level.texts) {
    text.skipped = uint8_t(pick(3) ? 0 : pick(256));
    text.text.resize(size_t(pick(3) ? pick(20) : pick(128)));
    for (char& c : text.text) c = char(pick(4) ? ' ' + pick(95) : pick(256));
  }
  for (int32_t& value : level.trailer) value = pick(2) ? 0 : int32_t(random());
  level.extra.resize(size_t(pick(2) ? 0 : pick(100)));
  for (uint8_t& byte : level.extra) byte = uint8_t(pick(256));
  return level;
}

void ExpectRoundTrip(const LevelData& level, const std::string& what) {
  const std::vector<uint8_t> bytes = SerializeLevel(level);
  LevelData parsed;
  std::string error;
  ASSERT_TRUE(ParseLevel(bytes.data(), bytes.size(), parsed, error)) << what << ": " << error;
  const std::string text = DecompileLevel(parsed);
  LevelData rebuilt;
  std::vector<std::string> errors;
  ASSERT_TRUE(CompileLevelText(text, "dump.txt", rebuilt, errors))
      << what << ": " << errors[0] << "\n"
      << text.substr(0, 4000);
  EXPECT_TRUE(SerializeLevel(rebuilt) == bytes) << what;
}

TEST(LevelTextTest, DumpThenBuildGivesBackTheSameBytes) {
  std::mt19937 random(20240601);
  const std::pair<int32_t, int32_t> sizes[] = {{1, 1},   {3, 50},  {128, 1},  {2, 64},
                                               {64, 65}, {100, 7}, {4096, 64}};
  for (const auto& [sizeA, sizeB] : sizes)
    ExpectRoundTrip(RandomLevel(random, sizeA, sizeB, 4, sizeA * sizeB > 10000 ? 200 : 4),
                    std::to_string(sizeA) + " x " + std::to_string(sizeB));
  // More distinct cells than there are grid characters: the rest go to [cells].
  const LevelData crowded = RandomLevel(random, 200, 64, 400);
  ExpectRoundTrip(crowded, "crowded");
  EXPECT_NE(DecompileLevel(crowded).find("\n[cells]\n"), std::string::npos);
  ExpectRoundTrip(EmptyLevel(), "empty");
}

// The optional sections, each built from its own text and dumped back; empty lists still write
// their section, and a level without them writes none.
TEST(LevelTextTest, GoalBackdropCheckpointAndWarpSectionsBuildAndDumpBack) {
  const LevelData level = Compile(
      "[goal]\n"
      "from=697,0 to=698,39   ; the end\n"
      "[backdrops]\n"
      "castle from=611,34 to=623,39\n"
      "cave from=300,44 to=470,58\n"
      "7 from=-1,0 to=2,2\n"
      "[checkpoints]\n"
      "at=230,38   ; the first third\n"
      "at=470,38\n"
      "at=-5,70\n"
      "[warps]\n"
      "0 at=10,9 dir=down start=0 file=\"bonus\"\n"
      "2 x=100 y=37 dir=right start=3 file=\"level\"\n");
  EXPECT_TRUE(level.hasGoal);
  EXPECT_EQ(level.goal, (LevelArea{697, 0, 698, 39}));
  EXPECT_EQ(level.backdrops, (std::vector<LevelBackdrop>{{{611, 34, 623, 39}, kBackdropCastle},
                                                         {{300, 44, 470, 58}, kBackdropCave},
                                                         {{-1, 0, 2, 2}, 7}}));  // kept, if useless
  EXPECT_EQ(level.checkpoints, (std::vector<LevelCell>{{230, 38}, {470, 38}, {-5, 70}}));
  ASSERT_EQ(level.warps.size(), 3u);
  EXPECT_EQ(level.warps[0], (LevelWarp{320, 288, 1, 0, "bonus"}));
  EXPECT_EQ(level.warps[1], LevelWarp{});
  EXPECT_EQ(level.warps[2], (LevelWarp{100, 37, 2, 3, "level"}));
  const std::string dumped = DecompileLevel(level);
  EXPECT_NE(dumped.find("[goal]\nfrom=697,0 to=698,39\n"), std::string::npos) << dumped;
  EXPECT_NE(dumped.find("[checkpoints]\nat=230,38\nat=470,38\nat=-5,70\n"), std::string::npos);
  ExpectRoundTrip(level, "sections");
  const LevelData empty = Compile("[backdrops]\n[checkpoints]\n");
  EXPECT_TRUE(empty.hasBackdropSection && empty.hasCheckpointSection);
  ExpectRoundTrip(empty, "empty sections");
  const std::string plain = DecompileLevel(Compile("size 4096 64\n"));
  for (const char* section : {"[goal]", "[backdrops]", "[checkpoints]", "[warps]"})
    EXPECT_EQ(plain.find(section), std::string::npos) << section;
}

TEST(LevelRenderTest, CellsUseTheGamePicturesOrAPlainColourAndLongLevelsWrap) {
  const std::string data = TestScratchDir() + "/render-data";
  std::filesystem::create_directories(data);
  WriteTestPng(data + "/tile.png", 32, 32, [](int, int) { return 0xff0000ffu; });
  LevelData level = EmptyLevel();
  level.layers[kFileGround][size_t(CellIndex(2, 10))] = 1;  // tile.png
  level.layers[kFileCoin][size_t(CellIndex(3, 10))] = 1;    // coin1.png is missing
  level.layers[kFileTrigger][size_t(CellIndex(1, 9))] = 0;
  level.triggers.push_back({kTriggerStart, 0, 0, 0, 0, 0, 0});
  std::vector<std::string> missing;
  const RgbaImage image = RenderLevel(level, {data, 4, 1024}, &missing);
  EXPECT_EQ(image.width, 4 * 4);  // columns 0..3
  EXPECT_EQ(image.height, 64 * 4);
  EXPECT_EQ(Rgb(image, 2 * 4 + 2, 10 * 4 + 2), (std::array<int, 3>{255, 0, 0}));
  EXPECT_NE(Rgb(image, 3 * 4 + 2, 10 * 4 + 2), Rgb(image, 0, 0));  // the coin's stand-in colour
  EXPECT_EQ(Rgb(image, 1 * 4, 9 * 4), (std::array<int, 3>{0, 0xe6, 0}));  // the start's frame
  EXPECT_NE(std::find(missing.begin(), missing.end(), "coin1.png"), missing.end());

  level.layers[kFileGround][size_t(CellIndex(4000, 5))] = 1;
  const RgbaImage wrapped = RenderLevel(level, {data, 2, 1024}, nullptr);
  EXPECT_EQ(wrapped.width, 1024 * 2);
  EXPECT_EQ(wrapped.height, (4 * 65 - 1) * 2);  // four strips with a gap row between
}

// Runs the tool; returns its exit status and what it printed on both streams.
int RunTool(const std::string& arguments, std::string* output = nullptr) {
  return RunCommand(std::string(BRINKHOP_LEVEL_TOOL) + " " + arguments + " 2>&1", output);
}

std::string Scratch(const std::string& name, const std::string& content = "") {
  const std::string path = TestScratchDir() + "/" + name;
  if (!content.empty()) std::ofstream(path, std::ios::binary) << content;
  return path;
}

std::string ScratchLevel(const std::string& name, const LevelData& level) {
  return WriteLevelFile(TestScratchDir() + "/" + name, level);
}

// Level values at the ends of the int range count as the game plays them: a spawn rectangle
// over the whole range spawns on the grid's cells only.
TEST(LevelToolTest, StatsCountAHugeSpawnRectangleOnTheGrid) {
  LevelData level = EmptyLevel();
  level.triggers = {LevelTrigger{1, 0, 0, INT_MIN, INT_MAX, INT_MIN, INT_MAX}};
  level.layers[kFileTrigger][size_t(CellIndex(1, 5))] = 0;
  const std::string path = ScratchLevel("huge_spawn.level", level);
  std::string out;
  EXPECT_EQ(RunTool("stats " + path, &out), 0) << out;
  EXPECT_NE(out.find("units spawned by triggers: " + std::string(UnitTypeName(0)) + "(0) " +
                     std::to_string(kMapColumns * kMapRows) + "\n"),
            std::string::npos)
      << out;
}

TEST(LevelToolTest, CommandsReportUsageFaultsAndProblemsByExitStatus) {
  std::string out;
  EXPECT_EQ(RunTool("", &out), 2);
  EXPECT_EQ(RunTool("paint x", &out), 2);
  EXPECT_NE(out.find("unknown command 'paint'"), std::string::npos);
  EXPECT_EQ(RunTool("build " + Scratch("a.txt", "size 1 1\n"), &out), 2);  // no -o
  EXPECT_EQ(RunTool("render x -o y --scale 0", &out), 2);
  EXPECT_EQ(RunTool("check a b", &out), 2);
  for (const char* command : {"build", "dump", "check", "render"}) {
    EXPECT_EQ(RunTool(std::string(command) + " --help", &out), 0);
    EXPECT_NE(out.find(std::string("usage: brinkhop-level ") + command), std::string::npos);
  }

  const std::string bad = Scratch("bad.txt", "size 4096 64\n[map 0]\n11 ..Z\n");
  EXPECT_EQ(RunTool("build " + bad + " -o " + Scratch("bad.level"), &out), 1);
  EXPECT_EQ(out, bad + ":3:6: 'Z' is not in the map legend\n");
  // An editor's file caught between truncating and writing is no level.
  const std::string empty = TestScratchDir() + "/empty.txt";
  std::ofstream(empty) << "\n  \n";
  EXPECT_EQ(RunTool("build " + empty + " -o " + Scratch("empty.level"), &out), 1);
  EXPECT_EQ(out, empty + ": the level source is empty\n");

  const std::string source =
      Scratch("good.txt", "[map 0]\n11 .o?\n12 ###\n[links 0]\n11 0\n[triggers]\n0 start\n");
  const std::string level = Scratch("good.level");
  ASSERT_EQ(RunTool("build " + source + " -o " + level, &out), 0) << out;
  EXPECT_EQ(RunTool("check " + level, &out), 0);
  EXPECT_EQ(out, level +
                     ": 4096 x 64 cells, 3 columns used, start (0, 11), 1 triggers, 0 texts, 3 "
                     "ground, 1 blocks, 1 coins, 0 units, 0 decorations\n");
  const std::string dumped = Scratch("dumped.txt");
  const std::string rebuilt = Scratch("rebuilt.level");
  ASSERT_EQ(RunTool("dump " + level + " -o " + dumped, &out), 0) << out;
  ASSERT_EQ(RunTool("build " + dumped + " -o " + rebuilt, &out), 0) << out;
  std::ifstream a(level, std::ios::binary), b(rebuilt, std::ios::binary);
  EXPECT_TRUE(std::equal(std::istreambuf_iterator<char>(a), {}, std::istreambuf_iterator<char>(b)));

  const std::string png = Scratch("map.png");
  ASSERT_EQ(RunTool("render " + level + " -o " + png + " --scale 5 --data " + TestScratchDir()), 0);
  int width = 0, height = 0, channels = 0;
  ASSERT_TRUE(stbi_info(png.c_str(), &width, &height, &channels));
  EXPECT_EQ(width, 3 * 5);
  EXPECT_EQ(height, 64 * 5);

  // The game would clip this level's block; and a cut file it would refuse.
  const std::string clipped = Scratch("clipped.level");
  ASSERT_EQ(
      RunTool("build " + Scratch("clip.txt", "[cells]\nblock 4 5 99\n") + " -o " + clipped, &out),
      0);
  EXPECT_NE(out.find("warning: cell (4, 5): block code has no picture: 99"), std::string::npos);
  EXPECT_EQ(RunTool("check " + clipped, &out), 1);
  EXPECT_NE(out.find(clipped + ": cell (4, 5): block code has no picture: 99\n"),
            std::string::npos);
  // A sign four rows above the ground under it is read over the heads-up display: a warning,
  // and the level still passes. Three rows is fine; so is a text over a pit.
  const std::string signs = Scratch("signs.level");
  ASSERT_EQ(RunTool("build " +
                        Scratch("signs.txt",
                                "[map 0]\n20 a.a\n21 .b.\n25 ###\n[map legend]\n"
                                "'a' reveal=1\n'b' reveal=1\n[labels 0]\n20 0.1\n21 .0.\n"
                                "[texts]\n0 \"HOP RIGHT!\"\n1 \"OVER THE PIT\"\n"
                                "[cells]\nground 2 25 0\n") +
                        " -o " + signs,
                    &out),
            0)
      << out;
  EXPECT_NE(out.find("warning: text 0 \"HOP RIGHT!\" at (0, 20) is 4 rows above the ground"),
            std::string::npos)
      << out;
  EXPECT_EQ(RunTool("check " + signs, &out), 0);
  EXPECT_NE(out.find(signs + ": warning: text 0 \"HOP RIGHT!\" at (0, 20) is 4 rows above"),
            std::string::npos)
      << out;
  EXPECT_EQ(out.find("(1, 21)"), std::string::npos) << out;
  EXPECT_EQ(out.find("OVER THE PIT"), std::string::npos) << out;
  // The designer's source is checked as the game would play it, not read as a level file.
  EXPECT_EQ(RunTool("check " + TestScratchDir() + "/signs.txt", &out), 0);
  EXPECT_NE(out.find("signs.txt: warning: text 0 \"HOP RIGHT!\" at (0, 20)"), std::string::npos)
      << out;
  EXPECT_EQ(RunTool("check " + Scratch("typo.txt", "[map 0]\n00 Q\n"), &out), 1);
  EXPECT_NE(out.find("typo.txt:2:4: 'Q' is not in the map legend"), std::string::npos) << out;
  EXPECT_EQ(RunTool("check " + Scratch("short.level", std::string("\x01\x00", 2)), &out), 1);
  EXPECT_EQ(out, TestScratchDir() +
                     "/short.level: refused: truncated: expected 8 bytes of "
                     "sizes, found 2\n");
}

// A pipe into a level the game cannot load would strand the player: check looks for every
// warp's file beside the level and names the ones that are missing or would be refused.
TEST(LevelToolTest, CheckNamesWarpsWhoseLevelIsMissingOrRefused) {
  const std::string dir = TestScratchDir() + "/warp_targets";
  std::filesystem::create_directories(dir);
  std::ofstream(dir + "/broken", std::ios::binary) << std::string("\x01\x00", 2);
  const std::string level = dir + "/level";
  std::string out;
  ASSERT_EQ(RunTool("build " +
                        Scratch("warps.txt",
                                "[map 0]\n11 ...\n12 ###\n[links 0]\n11 0\n[triggers]\n0 start\n"
                                "[warps]\n0 at=1,11 dir=down file=\"missing\"\n"
                                "1 at=2,11 dir=down file=\"broken\"\n"
                                "2 at=0,11 dir=left file=\"level\"\n") +
                        " -o " + level,
                    &out),
            0)
      << out;
  EXPECT_EQ(RunTool("check " + level, &out), 1);
  EXPECT_NE(out.find(level + ": warp 0: level 'missing' beside it cannot be loaded: "),
            std::string::npos)
      << out;
  EXPECT_NE(out.find(level + ": warp 1: level 'broken' beside it would be refused: truncated"),
            std::string::npos)
      << out;
  EXPECT_EQ(out.find("warp 2"), std::string::npos) << out;  // back into itself: fine

  // With both files in place the level passes.
  std::filesystem::copy_file(level, dir + "/missing");
  std::filesystem::copy_file(level, dir + "/broken",
                             std::filesystem::copy_options::overwrite_existing);
  EXPECT_EQ(RunTool("check " + level, &out), 0) << out;
}

// Warp names with spaces and quotes come back whole through dump and build, and check finds
// the levels they name beside it.
TEST(LevelToolTest, WarpFileNamesWithSpacesAndQuotesSurviveDumpAndBuild) {
  LevelData level = EmptyLevel();
  level.triggers = {LevelTrigger{kTriggerStart, 0, 0, 0, 0, 0, 0}};
  level.layers[kFileTrigger][size_t(CellIndex(2, 10))] = 0;
  level.warps = {LevelWarp{64, 320, 1, 0, "my level"},
                 LevelWarp{96, 320, 2, 0, "say \"hi\" \\ twice;  ok"},
                 LevelWarp{128, 320, 4, 0, " tab\tand spaces "}};
  ExpectRoundTrip(level, "spaced warp names");
  for (const LevelWarp& warp : level.warps) ScratchLevel(warp.fileName, level);
  std::string out;
  EXPECT_EQ(RunTool("check " + ScratchLevel("spaced_warps.level", level), &out), 0) << out;
}

// A folder, a FIFO or a huge file where a level or its source should be: one line and status
// 1 from every command, never an abort or a wait.
TEST(LevelToolTest, FoldersFifosAndHugeFilesAreRefusedByEveryCommand) {
  const std::string dir = Scratch("level_as_folder");
  std::filesystem::create_directories(dir);
  const std::string fifo = Scratch("level_as_fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string out = Scratch("hostile_out");
  std::string said;
  for (const std::string& path : {dir, fifo}) {
    for (const std::string& command :
         {"check " + path, "dump " + path, "stats " + path,
          "render " + path + " -o " + out + ".png", "build " + path + " -o " + out}) {
      EXPECT_EQ(RunTool(command, &said), 1) << command;
      EXPECT_EQ(said, path + ": not a regular file\n") << command;
    }
  }
  const std::string huge = Scratch("huge.level");
  std::ofstream(huge).close();
  std::filesystem::resize_file(huge, uint64_t(1) << 30);
  EXPECT_EQ(RunTool("check " + huge, &said), 1);
  EXPECT_EQ(said, huge + ": refused: larger than 16777216 bytes\n");
  EXPECT_EQ(RunTool("build " + huge + " -o " + out, &said), 1);
  EXPECT_EQ(said, huge + ": larger than 67108864 bytes\n");
}

// The overview shows where the dark backdrops stand and where the goal is.
TEST(LevelRenderTest, BackdropRegionsAndTheGoalShowInTheOverview) {
  LevelData level = Compile(
      "[map 0]\n"
      "10 ##########\n"
      "[goal]\n"
      "from=8,0 to=9,9\n"
      "[backdrops]\n"
      "cave from=0,11 to=3,20\n");
  RenderOptions options;
  options.dataDir = "/nonexistent";
  const RgbaImage image = RenderLevel(level, options);
  const auto pixel = [&](int column, int row, int dx, int dy) {
    return Rgb(image, column * 8 + dx, row * 8 + dy);
  };
  const std::array<int, 3> sky = pixel(5, 20, 4, 4), cave = pixel(1, 15, 4, 4);
  EXPECT_NE(sky, cave);
  EXPECT_LT(cave[0] + cave[1] + cave[2], sky[0] + sky[1] + sky[2]);  // dark
  EXPECT_EQ(pixel(5, 21, 4, 4), sky);
  EXPECT_EQ(pixel(4, 15, 4, 4), sky);                               // past the region
  EXPECT_EQ(pixel(8, 0, 0, 4), (std::array<int, 3>{255, 215, 0}));  // the goal's frame
}

// The pipe pieces and the walkways are characters of the shipped level's own legend: a level
// drawn with them builds the codes the game draws as pipes and belts, passes the checks, and
// comes back byte for byte through dump and build.
TEST(LevelTextTest, TheShippedLegendsPipesAndWalkwaysBuildAndDumpBack) {
  const std::string source = ShippedSource();
  const size_t from = source.find("[map legend]");
  ASSERT_NE(from, std::string::npos);
  const std::string legend = source.substr(from, source.find("\n[", from + 1) - from + 1);
  LevelData level = Compile(legend +
                            "[map 0]\n"
                            "08 .D...A...E\n"
                            "09 .d...a...e\n"
                            "10 .d...a...e.<<>>\n"
                            "11 ###########\n");
  // Pipes: 35 and 36 the green top and body, 37 and 38 orange, 39 and 40 blue. Walkways: 32
  // carries left, 33 right.
  const struct {
    int column, row;
    int32_t code;
  } pieces[] = {
      {1, 8, 35}, {1, 9, 36},  {1, 10, 36},  {5, 8, 37},   {5, 9, 38},
      {9, 8, 39}, {9, 10, 40}, {12, 10, 32}, {13, 10, 33},
  };
  for (const auto& p : pieces) {
    EXPECT_EQ(At(level, kFileBlock, p.column, p.row), p.code) << p.column << "," << p.row;
    EXPECT_EQ(At(level, kFileGround, p.column, p.row), 0);  // solid by its block alone
    const int32_t shown = p.code >= 35 ? 1 : 0;             // pipes seen from afar, walkways met
    EXPECT_EQ(At(level, kFileReveal, p.column, p.row), shown);
  }
  EXPECT_TRUE(LevelProblems(level).empty());
  ExpectRoundTrip(level, "pipes and walkways");

  // Without the pictures the overview still tells the three colours apart.
  const RgbaImage image = RenderLevel(level, {"/nonexistent", 8, 1024});
  const auto pixel = [&](int column, int row) { return Rgb(image, column * 8 + 4, row * 8 + 4); };
  EXPECT_NE(pixel(1, 9), pixel(5, 9));
  EXPECT_NE(pixel(5, 9), pixel(9, 9));
  EXPECT_NE(pixel(1, 9), pixel(1, 7));  // not the sky

  // Past the last pipe piece no block code has a picture.
  level.layers[kFileBlock][size_t(CellIndex(2, 2))] = 41;
  EXPECT_EQ(LevelProblems(level).size(), 1u);
}

// The shipped level as its designer sees it: playable from a start on the ground, with linked
// messages and strikes, whole through dump and build, six checkpoints on the ground, none more
// than a fifth of the way to the goal from the last retry point, reported by stats with the
// goal, and no warning from the tool.
TEST(LevelToolTest, TheShippedLevelIsPlayableAndItsStatsReportItsCheckpointsAndGoal) {
  const LevelData data = Compile(ShippedSource());
  EXPECT_TRUE(LevelProblems(data).empty());
  const auto start = StartCell(data);
  ASSERT_TRUE(start.has_value());
  EXPECT_GT(start->first, 0);
  EXPECT_GE(start->second, 10);  // below the top rows: the run starts on the ground, no fall
  EXPECT_EQ(At(data, kFileGround, start->first, start->second + 1), 1);
  std::vector<bool> linked(data.triggers.size());
  for (int32_t link : data.layers[kFileTrigger])
    if (link >= 0) linked[size_t(link & kLinkIndexMask)] = true;
  bool message = false, strike = false;
  for (size_t i = 0; i < data.triggers.size(); ++i) {
    message |= linked[i] && data.triggers[i].kind == kTriggerMessage && TriggerMessage(int32_t(i));
    strike |= linked[i] && data.triggers[i].kind == kTriggerStrike;
  }
  EXPECT_TRUE(message);
  EXPECT_TRUE(strike);
  ExpectRoundTrip(data, "shipped level");
  ASSERT_EQ(data.checkpoints.size(), 6u);
  const double goal = data.goal.column0;
  double last = 0;
  for (const LevelCell& cell : data.checkpoints) {
    EXPECT_GT(cell.column, last);
    EXPECT_LE((cell.column - last) / goal, 0.2) << cell.column;
    last = cell.column;
    EXPECT_EQ(At(data, kFileGround, cell.column, cell.row), 0);  // a cell to stand in ...
    EXPECT_TRUE(At(data, kFileGround, cell.column, cell.row + 1) != 0 ||
                At(data, kFileBlock, cell.column, cell.row + 1) != 0)
        << cell.column;  // ... on the ground or a block
  }
  EXPECT_LE((goal - last) / goal, 0.2);

  const std::string level = Scratch("shipped.level");
  std::string out;
  ASSERT_EQ(RunTool("build " + std::string(BRINKHOP_LEVEL_SOURCE) + " -o " + level, &out), 0)
      << out;
  EXPECT_EQ(out.find("warning"), std::string::npos) << out;
  ASSERT_EQ(RunTool("stats " + level, &out), 0);
  EXPECT_NE(
      out.find("\ncheckpoints: 6: (74, 37) (152, 33) (236, 39) (333, 38) (466, 39) (603, 39)\n"),
      std::string::npos)
      << out;
  EXPECT_NE(out.find("\ngoal: (697, 0)-(698, 39)\n"), std::string::npos) << out;
  // The check looks for the money room beside the level, as the game does.
  const std::string source = BRINKHOP_LEVEL_SOURCE;
  const std::string bonus = source.substr(0, source.rfind('/') + 1) + "bonus.txt";
  ASSERT_EQ(RunTool("build " + bonus + " -o " + Scratch("bonus"), &out), 0) << out;
  EXPECT_EQ(out.find("warning"), std::string::npos) << out;
  ASSERT_EQ(RunTool("check " + level, &out), 0) << out;
  EXPECT_EQ(out.find("warning"), std::string::npos) << out;
}

}  // namespace
