// Level source text, both ways. A source is sections of lines: a header with the grid size,
// legends saying what a grid character stands for, grids of one character per cell, and
// lists of triggers, texts, single cells and trailing bytes. Everything a binary level holds
// has a place there, so a dumped level builds back to the same bytes.
#include "world/level_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <iterator>
#include <map>
#include <optional>
#include <set>

#include "engine/file_read.h"
#include "world/messages.h"

namespace {

struct CodeName {
  int32_t code;
  const char* name;
};

// Only codes with a role of their own get a name; inert look-alikes stay numbers.
constexpr CodeName kBlockNames[] = {
    {kBlockBrick, "brick"},
    {kBlockCoinBox, "coinbox"},
    {kBlockHiddenCoinBox, "hiddencoinbox"},
    {kBlockGrowthBox, "growbox"},
    {kBlockPoisonBox, "deadlybox"},
    {kBlockVanishingBox, "vanishbox"},
    {kBlockStarBox, "starbox"},
    {kBlockLifeBox, "lifebox"},
    {kBlockHiddenBonusBox, "hiddenlifebox"},
    {kBlockInertBox, "inertbox"},
    {kBlockUsedBox, "usedbox"},
    {kBlockCracked, "cracked"},
    {kBlockStone, "stone"},
    {kBlockInvisible, "invisible"},
    {kBlockBumping, "bumping"},
    {kBlockPipeSideMouth, "pipemouth"},
    {kBlockPipeSideBody, "pipelying"},
    {kBlockWalkwayLeft, "walkway-left"},
    {kBlockWalkwayRight, "walkway-right"},
    {PipeTop(kPipeGreen), "greenpipetop"},
    {PipeBody(kPipeGreen), "greenpipe"},
    {PipeTop(kPipeOrange), "orangepipetop"},
    {PipeBody(kPipeOrange), "orangepipe"},
    {PipeTop(kPipeBlue), "bluepipetop"},
    {PipeBody(kPipeBlue), "bluepipe"},
};
constexpr CodeName kDecoNames[] = {
    {1, "bush"},
    {2, "grass"},
    {6, "flower"},
    {7, "bones"},
    {kDecoDeadlyA, "deadlyground"},
    {kDecoDeadlyB, "deadlyceiling"},
    {kDecoJumpPad, "jumppad"},
};
constexpr CodeName kUnitNames[] = {
    {kUnitCrawler, "crawler"},
    {kUnitTurtle, "turtle"},
    {kUnitTurtleFly, "wingedturtle"},
    {kUnitSpiky, "spiky"},
    {kUnitFireCircle, "firebar"},
    {kUnitFireCircle2, "swellingfirebar"},
    {kUnitFireCircle3, "bouncingfire"},
    {kUnitCannon, "cannon"},
    {kUnitBrett, "board"},
    {kUnitKillerBlume, "plant"},
    {kUnitFire, "fire"},
    {kUnitFly, "spinningfire"},
    {kUnitHammerRange0, "hammer0"},
    {kUnitHammerRange2, "hammer2"},
    {kUnitHammerRange3, "hammer3"},
    {kUnitHammerRange5, "hammer5"},
    {kUnitHammerRange7, "hammer7"},
    {kUnitHammerRange9, "hammer9"},
    {kUnitBoss, "boss"},
};
constexpr CodeName kKindNames[] = {
    {kTriggerStrike, "strike"}, {kTriggerSpawn, "spawn"},  {kTriggerTeleport, "teleport"},
    {kTriggerStart, "start"},   {kTriggerNothing, "none"}, {kTriggerMessage, "message"},
};

template <size_t N>
const char* NameOf(const CodeName (&table)[N], int64_t code) {
  for (const CodeName& entry : table)
    if (entry.code == code) return entry.name;
  return nullptr;
}

template <size_t N>
std::optional<int32_t> CodeOf(const CodeName (&table)[N], std::string_view name) {
  for (const CodeName& entry : table)
    if (name == entry.name) return entry.code;
  return std::nullopt;
}

// ---------------------------------------------------------------------------------------------
// Planes: the layers that share one grid. The map grid holds what a cell shows and whether
// it shows from the start (reveal), so a designer sees the level as one picture; trigger
// links and the placing of texts each get a grid of their own over the same cells.

enum Plane { kMapPlane, kLinksPlane, kLabelsPlane, kPlaneCount };
constexpr int kMaxPlaneLayers = 6;
using Values = std::array<int32_t, kMaxPlaneLayers>;  // one cell's values in one plane

struct PlaneInfo {
  const char* name;
  int layerCount;
  std::array<int, kMaxPlaneLayers> layers;
};
constexpr PlaneInfo kPlanes[kPlaneCount] = {
    {"map", 6, {kFileGround, kFileCoin, kFileBlock, kFileUnit, kFileDeco, kFileReveal}},
    {"links", 1, {kFileTrigger}},
    {"labels", 1, {kFileLabel}},
};

Values ResetValues(Plane plane) {
  Values values{};
  for (int k = 0; k < kPlanes[plane].layerCount; ++k)
    values[k] = ResetValue(kPlanes[plane].layers[k]);
  return values;
}

Values CellValues(const LevelData& level, Plane plane, size_t index) {
  Values values{};
  for (int k = 0; k < kPlanes[plane].layerCount; ++k)
    values[k] = level.layers[kPlanes[plane].layers[k]][index];
  return values;
}

struct DefaultSymbol {
  char symbol;
  Values values;  // ground, coin, block, unit, deco, reveal
  const char* note;
};

// The map's default characters. Terrain, boxes and coins show from the start; the traps stay
// hidden until the player comes near (a hidden cell draws no ground either).
constexpr DefaultSymbol kDefaultSymbols[] = {
    {'#', {1, 0, 0, 0, 0, 1}, "ground"},
    {'=', {1, 0, 12, 0, 0, 1}, "cracked platform: looks like ground, gives way when stood on"},
    {'B', {0, 0, 1, 0, 0, 1}, "brick"},
    {'S', {0, 0, 14, 0, 0, 1}, "stone"},
    {'?', {0, 0, 2, 0, 0, 1}, "coin box"},
    {'!', {0, 0, 3, 0, 0, 0}, "hidden coin box: only a jump from below finds it"},
    {'G', {0, 0, 4, 0, 0, 1}, "growth box"},
    {'K', {0, 0, 5, 0, 0, 1}, "box with a deadly bonus"},
    {'V', {0, 0, 6, 0, 0, 1}, "box that vanishes and drops a deadly bonus"},
    {'I', {0, 0, 7, 0, 0, 1}, "invincibility box"},
    {'L', {0, 0, 8, 0, 0, 1}, "extra-life box"},
    {'H', {0, 0, 9, 0, 0, 0}, "hidden extra-life box"},
    {'N', {0, 0, 10, 0, 0, 1}, "inert box"},
    {'U', {0, 0, 11, 0, 0, 1}, "used box"},
    {'W', {0, 0, 15, 0, 0, 0}, "invisible wall"},
    {'o', {0, 1, 0, 0, 0, 1}, "coin"},
    {'^', {1, 0, 0, 0, 3, 0}, "deadly ground, hidden: kills the player landing on it"},
    {'v', {0, 0, 0, 0, 4, 0}, "deadly ceiling, hidden: kills the player jumping into it"},
    {'*', {1, 0, 0, 0, 5, 1}, "jump pad in the ground"},
    {'%', {0, 0, 0, 0, 1, 0}, "decoration 1"},
    {'&', {0, 0, 0, 0, 2, 0}, "decoration 2"},
    {'~', {0, 0, 0, 0, 6, 0}, "decoration 6"},
    {'+', {0, 0, 0, 0, 0, 1}, "empty, shown from the start: a text placed here shows at once"},
    {'c', {0, 0, 0, 1, 0, 0}, "crawler"},
    {'t', {0, 0, 0, 2, 0, 0}, "turtle"},
    {'w', {0, 0, 0, 3, 0, 0}, "winged turtle"},
    {'s', {0, 0, 0, 4, 0, 0}, "spiky"},
    {'x', {0, 0, 0, 5, 0, 0}, "fire bar"},
    {'y', {0, 0, 0, 6, 0, 0}, "swelling fire bar"},
    {'z', {0, 0, 0, 7, 0, 0}, "bouncing fire ball"},
    {'k', {0, 0, 0, 8, 0, 0}, "cannon"},
    {'b', {0, 0, 0, 9, 0, 0}, "moving board"},
    {'p', {0, 0, 0, 11, 0, 0}, "killer plant"},
    {'f', {0, 0, 0, 12, 0, 0}, "fire on the ground"},
    {'q', {0, 0, 0, 13, 0, 0}, "spinning fire ball"},
    {'0', {0, 0, 0, 14, 0, 0}, "hammer 0"},
    {'2', {0, 0, 0, 15, 0, 0}, "hammer 2"},
    {'3', {0, 0, 0, 16, 0, 0}, "hammer 3"},
    {'5', {0, 0, 0, 17, 0, 0}, "hammer 5"},
    {'7', {0, 0, 0, 18, 0, 0}, "hammer 7"},
    {'9', {0, 0, 0, 19, 0, 0}, "hammer 9"},
    {'M', {0, 0, 0, 20, 0, 0}, "the boss: two cells wide and tall, its feet in this cell"},
};

// Links and labels: digits and capitals stand for trigger or text 0..35 by default.
constexpr std::string_view kIndexSymbols = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
// Symbols for values no default covers, most readable first.
constexpr std::string_view kSymbolPool =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
    "!\"#$%&'()*+,-/:;<=>?@[\\]^_`{|}~";
constexpr char kEmptySymbol = '.';

using Legend = std::array<std::optional<Values>, 128>;

Legend DefaultLegend(Plane plane) {
  Legend legend;
  if (plane == kMapPlane)
    for (const DefaultSymbol& entry : kDefaultSymbols) legend[size_t(entry.symbol)] = entry.values;
  else
    for (size_t i = 0; i < kIndexSymbols.size(); ++i)
      legend[size_t(kIndexSymbols[i])] = Values{int32_t(i)};
  return legend;
}

const char* DefaultNote(Plane plane, char symbol, const Values& values) {
  if (plane != kMapPlane) return nullptr;
  for (const DefaultSymbol& entry : kDefaultSymbols)
    if (entry.symbol == symbol && entry.values == values) return entry.note;
  return nullptr;
}

bool IsSymbol(char c) { return c > ' ' && c < 127 && c != kEmptySymbol; }

// ---------------------------------------------------------------------------------------------
// Reading.

struct Token {
  std::string_view text;
  int column;  // 1-based
};

struct SourceLine {
  int number;
  std::string_view text;
};

struct Section {
  std::string_view name;
  std::string_view argument;
  int argumentColumn = 0;
  int line = 0;
  std::vector<SourceLine> lines;
};

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

bool IsCommentOrBlank(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  return first == std::string_view::npos || text[first] == '#' || text[first] == ';';
}

// Decimal, or hexadecimal with 0x for bit patterns (0x80000000 and up wrap to negatives).
std::optional<int32_t> ParseInt(std::string_view text) {
  bool negative = false;
  if (!text.empty() && text[0] == '-') {
    negative = true;
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  uint64_t magnitude = 0;
  const auto [end, status] =
      std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (status != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (base == 16 && !negative) {
    if (magnitude > 0xffffffffu) return std::nullopt;
    return int32_t(uint32_t(magnitude));
  }
  const int64_t value = negative ? -int64_t(magnitude) : int64_t(magnitude);
  if (magnitude > (uint64_t(1) << 31) || value < INT32_MIN || value > INT32_MAX)
    return std::nullopt;
  return int32_t(value);
}

class Compiler {
 public:
  Compiler(std::string_view text, const std::string& fileName, std::vector<std::string>& errors)
      : mText(text), mFileName(fileName), mErrors(errors) {}

  bool Run(LevelData& out);

 private:
  bool Error(int line, int column, const std::string& message);
  bool Tokenize(const SourceLine& line, std::vector<Token>& tokens);
  void SplitSections();

  void Header(const Section& section);
  void LegendSection(Plane plane, const Section& section);
  bool MapLegendValues(const SourceLine& line, const std::vector<Token>& tokens, Values& values);
  bool LinkValue(const SourceLine& line, const std::vector<Token>& tokens, int32_t& value);
  void GridSection(Plane plane, const Section& section);
  void GridLine(Plane plane, int firstColumn, const SourceLine& line, std::set<int>& rows);
  void Triggers(const Section& section);
  void Texts(const Section& section);
  void Warps(const Section& section);
  void Goal(const Section& section);
  void Backdrops(const Section& section);
  void Checkpoints(const Section& section);
  bool AreaFields(const SourceLine& line, const std::vector<Token>& tokens, size_t first,
                  LevelArea& area);
  void Cells(const Section& section);
  void Extra(const Section& section);
  void Finish();

  std::optional<int32_t> Number(const SourceLine& line, const Token& token, const char* what);
  std::optional<int32_t> LayerValue(int layer, const SourceLine& line, const Token& token);
  bool CellPair(const SourceLine& line, const Token& token, std::string_view text, int32_t& column,
                int32_t& row);
  bool CellExists(const SourceLine& line, int column, int32_t cellColumn, int32_t cellRow);
  bool Count(const SourceLine& line, const std::vector<Token>& tokens, int32_t limit,
             const char* what, std::optional<int32_t>& count);

  std::string_view mText;
  const std::string& mFileName;
  std::vector<std::string>& mErrors;
  bool mStopped = false;

  std::vector<Section> mSections;
  LevelData mLevel;  // layers sized once the header gives the cell count
  size_t mCellCount = kMapCells;
  std::array<Legend, kPlaneCount> mLegends;

  std::map<int32_t, int> mTriggerLines;  // index -> source line, for duplicate and count checks
  std::map<int32_t, int> mTextLines;
  std::map<int32_t, LevelTrigger> mTriggers;
  std::map<int32_t, LevelText> mTexts;
  std::optional<int32_t> mTriggerCount, mTextCount, mWarpCount;
  int mTriggerCountLine = 0, mTextCountLine = 0, mWarpCountLine = 0;
  bool mHasWarps = false;
  std::map<int32_t, int> mWarpLines;
  std::map<int32_t, LevelWarp> mWarps;
  int mGoalLine = 0;
};

constexpr size_t kMaxErrors = 30;

bool Compiler::Error(int line, int column, const std::string& message) {
  if (mStopped) return false;
  if (mErrors.size() >= kMaxErrors) {
    mErrors.push_back(mFileName + ": too many errors, stopping here");
    mStopped = true;
    return false;
  }
  mErrors.push_back(mFileName + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " +
                    message);
  return false;
}

bool Compiler::Tokenize(const SourceLine& line, std::vector<Token>& tokens) {
  tokens.clear();
  const std::string_view text = line.text;
  // From an opening quote to just past its closing one; npos when it never closes.
  const auto pastQuote = [&](size_t open) {
    size_t at = open + 1;
    for (; at < text.size() && text[at] != '"'; ++at)
      if (text[at] == '\\') ++at;
    return at < text.size() ? at + 1 : std::string_view::npos;
  };
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
      continue;
    }
    if (c == ';') break;  // the rest of the line is a comment
    const size_t start = i;
    if (c == '"') {
      i = pastQuote(i);
    } else if (c == '\'') {
      if (i + 2 >= text.size() || text[i + 2] != '\'')
        return Error(line.number, int(start) + 1, "a legend character is written in quotes: '#'");
      i += 3;
    } else {
      // A key with a quoted value (file="my level") is one token, spaces and all.
      while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r')
        i = text[i] == '"' ? pastQuote(i) : i + 1;
    }
    if (i == std::string_view::npos)
      return Error(line.number, int(start) + 1, "the text has no closing \"");
    tokens.push_back({text.substr(start, i - start), int(start) + 1});
  }
  return true;
}

void Compiler::SplitSections() {
  mSections.push_back({});  // the header: lines before the first section
  int number = 0;
  size_t start = 0;
  while (start <= mText.size()) {
    size_t end = mText.find('\n', start);
    if (end == std::string_view::npos) end = mText.size();
    const std::string_view text = TrimRight(mText.substr(start, end - start));
    ++number;
    start = end + 1;
    if (IsCommentOrBlank(text)) continue;
    const size_t first = text.find_first_not_of(" \t");
    if (text[first] != '[') {
      mSections.back().lines.push_back({number, text});
      continue;
    }
    Section section;
    section.line = number;
    if (text.back() != ']') {
      Error(number, int(text.size()), "a section heading ends with ]");
      section.name = "?";
      mSections.push_back(section);
      continue;
    }
    const std::string_view inside = text.substr(first + 1, text.size() - first - 2);
    const size_t nameStart = inside.find_first_not_of(" \t");
    const size_t nameEnd = inside.find_first_of(" \t", nameStart);
    section.name =
        nameStart == std::string_view::npos
            ? std::string_view()
            : inside.substr(nameStart, nameEnd == std::string_view::npos ? std::string_view::npos
                                                                         : nameEnd - nameStart);
    if (nameEnd != std::string_view::npos) {
      const size_t argStart = inside.find_first_not_of(" \t", nameEnd);
      if (argStart != std::string_view::npos) {
        section.argument = TrimRight(inside.substr(argStart));
        section.argumentColumn = int(first + 1 + argStart) + 1;
      }
    }
    mSections.push_back(section);
  }
}

std::optional<int32_t> Compiler::Number(const SourceLine& line, const Token& token,
                                        const char* what) {
  const std::optional<int32_t> value = ParseInt(token.text);
  if (!value)
    Error(line.number, token.column,
          std::string("expected ") + what + ", found '" + std::string(token.text) + "'");
  return value;
}

// A layer value: a number, or for blocks, decorations and units the name of the code.
std::optional<int32_t> Compiler::LayerValue(int layer, const SourceLine& line, const Token& token) {
  if (const std::optional<int32_t> number = ParseInt(token.text)) return number;
  std::optional<int32_t> value;
  if (layer == kFileBlock) value = CodeOf(kBlockNames, token.text);
  if (layer == kFileDeco) value = CodeOf(kDecoNames, token.text);
  if (layer == kFileUnit) {
    value = CodeOf(kUnitNames, token.text);
    if (value) *value += 1;  // the unit layer holds the type code plus one
  }
  if (!value)
    Error(line.number, token.column,
          "'" + std::string(token.text) + "' is neither a number nor a " + kLevelLayerNames[layer] +
              " name");
  return value;
}

bool Compiler::CellPair(const SourceLine& line, const Token& token, std::string_view text,
                        int32_t& column, int32_t& row) {
  const size_t comma = text.find(',');
  const std::optional<int32_t> a =
      comma == std::string_view::npos ? std::nullopt : ParseInt(text.substr(0, comma));
  const std::optional<int32_t> b =
      comma == std::string_view::npos ? std::nullopt : ParseInt(text.substr(comma + 1));
  if (!a || !b)
    return Error(line.number, token.column,
                 "expected a cell COLUMN,ROW in '" + std::string(token.text) + "'");
  column = *a;
  row = *b;
  return true;
}

bool Compiler::CellExists(const SourceLine& line, int column, int32_t cellColumn, int32_t cellRow) {
  if (cellColumn < 0 || cellColumn >= kMapColumns || cellRow < 0 || cellRow >= kMapRows)
    return Error(line.number, column,
                 "cell (" + std::to_string(cellColumn) + ", " + std::to_string(cellRow) +
                     ") is off the 4096 x 64 map");
  if (size_t(CellIndex(cellColumn, cellRow)) >= mCellCount)
    return Error(line.number, column,
                 "cell (" + std::to_string(cellColumn) + ", " + std::to_string(cellRow) +
                     ") is past the " + std::to_string(mCellCount) +
                     " cells this level's size stores");
  return true;
}

void Compiler::Header(const Section& section) {
  std::vector<Token> tokens;
  for (const SourceLine& line : section.lines) {
    if (!Tokenize(line, tokens) || tokens.empty()) continue;
    const std::string_view key = tokens[0].text;
    if (key == "size") {
      if (tokens.size() != 3) {
        Error(line.number, tokens[0].column,
              "expected: size COLUMNS ROWS (4096 64 for a full level)");
        continue;
      }
      const std::optional<int32_t> a = Number(line, tokens[1], "a size");
      const std::optional<int32_t> b = Number(line, tokens[2], "a size");
      if (!a || !b) continue;
      if (*a < 1 || *b < 1 || int64_t(*a) * *b > kMapCells) {
        Error(line.number, tokens[1].column,
              "size " + std::to_string(*a) + " x " + std::to_string(*b) +
                  " does not fit the 4096 x 64 map");
        continue;
      }
      mLevel.sizeA = *a;
      mLevel.sizeB = *b;
      mCellCount = size_t(*a) * size_t(*b);
    } else if (key == "trailer") {
      if (tokens.size() != 1 + kTrailerInts) {
        Error(line.number, tokens[0].column, "expected: trailer A B C D (four numbers)");
        continue;
      }
      for (int i = 0; i < kTrailerInts; ++i)
        if (const auto value = Number(line, tokens[1 + i], "a number")) mLevel.trailer[i] = *value;
    } else {
      Error(line.number, tokens[0].column,
            "unknown setting '" + std::string(key) +
                "' (the header holds size and trailer; sections start with [name])");
    }
  }
}

bool Compiler::MapLegendValues(const SourceLine& line, const std::vector<Token>& tokens,
                               Values& values) {
  values = ResetValues(kMapPlane);
  bool ok = true;
  for (size_t t = 1; t < tokens.size(); ++t) {
    const Token& token = tokens[t];
    const size_t equals = token.text.find('=');
    const std::string_view key = token.text.substr(0, equals);
    int slot = -1;
    for (int k = 0; k < kPlanes[kMapPlane].layerCount; ++k)
      if (key == kLevelLayerNames[kPlanes[kMapPlane].layers[k]]) slot = k;
    if (equals == std::string_view::npos || slot < 0) {
      ok = Error(line.number, token.column,
                 "expected LAYER=VALUE with LAYER one of ground, coin, block, unit, deco, reveal; "
                 "found '" +
                     std::string(token.text) + "'");
      continue;
    }
    const Token valueToken{token.text.substr(equals + 1), token.column + int(equals) + 1};
    if (const auto value = LayerValue(kPlanes[kMapPlane].layers[slot], line, valueToken))
      values[slot] = *value;
    else
      ok = false;
  }
  if (tokens.size() < 2)
    ok = Error(line.number, tokens[0].column, "the legend entry gives no values");
  return ok;
}

bool Compiler::LinkValue(const SourceLine& line, const std::vector<Token>& tokens, int32_t& value) {
  if (tokens.size() < 2)
    return Error(line.number, tokens[0].column,
                 "expected: 'C' TRIGGER [keep] [rearm] [disarm] [bits=0x...]");
  const std::optional<int32_t> index = Number(line, tokens[1], "a trigger index");
  if (!index) return false;
  if (*index < 0 || *index > kLinkIndexMask)
    return Error(line.number, tokens[1].column, "a link names trigger 0 to 65535");
  uint32_t bits = uint32_t(*index);
  bool ok = true;
  for (size_t t = 2; t < tokens.size(); ++t) {
    const std::string_view word = tokens[t].text;
    if (word == "keep") {
      bits |= kLinkKeepFlag;
    } else if (word == "rearm") {
      bits |= kLinkRearmFlag;
    } else if (word == "disarm") {
      bits |= kLinkDisarmFlag;
    } else if (word.starts_with("bits=")) {
      const std::optional<int32_t> extra = ParseInt(word.substr(5));
      if (!extra || (uint32_t(*extra) & kLinkIndexMask))
        ok = Error(line.number, tokens[t].column,
                   "bits= takes the flag bits above the index, e.g. bits=0x20000");
      else
        bits |= uint32_t(*extra);
    } else {
      ok = Error(line.number, tokens[t].column,
                 "unknown link flag '" + std::string(word) +
                     "' (keep: the link stays after firing; rearm: the trigger is armed again "
                     "before it fires; disarm: the trigger is disarmed after it fires)");
    }
  }
  value = int32_t(bits);
  return ok;
}

void Compiler::LegendSection(Plane plane, const Section& section) {
  std::vector<Token> tokens;
  for (const SourceLine& line : section.lines) {
    if (!Tokenize(line, tokens) || tokens.empty()) continue;
    const Token& symbolToken = tokens[0];
    if (symbolToken.text.size() != 3 || symbolToken.text[0] != '\'') {
      Error(line.number, symbolToken.column,
            "a legend line starts with its character in quotes, e.g. '#'");
      continue;
    }
    const char symbol = symbolToken.text[1];
    if (!IsSymbol(symbol)) {
      Error(line.number, symbolToken.column + 1,
            "a grid character is a visible character other than '.', which is an empty cell");
      continue;
    }
    Values values = ResetValues(plane);
    bool ok = true;
    if (plane == kMapPlane) {
      ok = MapLegendValues(line, tokens, values);
    } else if (plane == kLinksPlane) {
      ok = LinkValue(line, tokens, values[0]);
    } else if (tokens.size() != 2) {
      ok = Error(line.number, symbolToken.column, "expected: 'C' TEXT (the index of a text)");
    } else if (const auto value = Number(line, tokens[1], "a number")) {
      values[0] = *value;
    } else {
      ok = false;
    }
    if (ok) mLegends[plane][size_t(symbol)] = values;
  }
}

void Compiler::GridLine(Plane plane, int firstColumn, const SourceLine& line, std::set<int>& rows) {
  const std::string_view text = line.text;
  size_t i = text.find_first_not_of(' ');
  const size_t digits = i;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
  if (i == digits || i - digits > 2) {
    Error(line.number, int(digits) + 1, "a grid line starts with its row number, 0 to 63");
    return;
  }
  const int row = std::stoi(std::string(text.substr(digits, i - digits)));
  if (row >= kMapRows) {
    Error(line.number, int(digits) + 1, "row " + std::to_string(row) + " is past row 63");
    return;
  }
  if (!rows.insert(row).second) {
    Error(line.number, int(digits) + 1,
          "row " + std::to_string(row) + " is given twice in this grid section");
    return;
  }
  if (i < text.size() && text[i] != ' ') {
    Error(line.number, int(i) + 1, "the row number is followed by one space, then the cells");
    return;
  }
  const size_t cellsStart = i + 1;
  for (size_t j = cellsStart; j < text.size(); ++j) {
    const char symbol = text[j];
    if (symbol == kEmptySymbol || symbol == ' ') continue;
    const int column = firstColumn + int(j - cellsStart);
    const int sourceColumn = int(j) + 1;
    if (!IsSymbol(symbol) || !mLegends[plane][size_t(symbol)]) {
      Error(line.number, sourceColumn,
            (symbol == '\t' ? std::string("a tab in a grid (write '.' for an empty cell)")
                            : "'" + std::string(1, symbol) + "' is not in the " +
                                  kPlanes[plane].name + " legend"));
      continue;
    }
    if (!CellExists(line, sourceColumn, column, row)) {
      if (column >= kMapColumns) return;
      continue;
    }
    const Values& values = *mLegends[plane][size_t(symbol)];
    const size_t index = size_t(CellIndex(column, row));
    for (int k = 0; k < kPlanes[plane].layerCount; ++k)
      mLevel.layers[kPlanes[plane].layers[k]][index] = values[k];
  }
}

void Compiler::GridSection(Plane plane, const Section& section) {
  int firstColumn = 0;
  if (!section.argument.empty()) {
    const std::optional<int32_t> column = ParseInt(section.argument);
    if (!column || *column < 0 || *column >= kMapColumns) {
      Error(section.line, section.argumentColumn,
            std::string("expected [") + kPlanes[plane].name +
                " COLUMN] with the first column, 0 to 4095, or [" + kPlanes[plane].name +
                " legend]");
      return;
    }
    firstColumn = *column;
  }
  std::set<int> rows;
  for (const SourceLine& line : section.lines) {
    if (mStopped) return;
    GridLine(plane, firstColumn, line, rows);
  }
}

bool Compiler::Count(const SourceLine& line, const std::vector<Token>& tokens, int32_t limit,
                     const char* what, std::optional<int32_t>& count) {
  if (tokens.size() != 2)
    return Error(line.number, tokens[0].column, std::string("expected: count NUMBER"));
  const std::optional<int32_t> value = Number(line, tokens[1], "a count");
  if (!value) return false;
  if (*value < 0 || *value > limit)
    return Error(line.number, tokens[1].column,
                 std::string("a level holds 0 to ") + std::to_string(limit) + " " + what);
  count = value;
  return true;
}

void Compiler::Triggers(const Section& section) {
  std::vector<Token> tokens;
  for (const SourceLine& line : section.lines) {
    if (!Tokenize(line, tokens) || tokens.empty()) continue;
    if (tokens[0].text == "count") {
      if (Count(line, tokens, kMaxTriggers, "triggers", mTriggerCount))
        mTriggerCountLine = line.number;
      continue;
    }
    if (tokens.size() < 2) {
      Error(line.number, tokens[0].column, "expected: INDEX KIND [from=C,R to=C,R ...]");
      continue;
    }
    const std::optional<int32_t> index = Number(line, tokens[0], "a trigger index");
    if (!index) continue;
    if (*index < 0 || *index >= kMaxTriggers) {
      Error(line.number, tokens[0].column, "a trigger index is 0 to 1023");
      continue;
    }
    if (const auto earlier = mTriggerLines.find(*index); earlier != mTriggerLines.end()) {
      Error(line.number, tokens[0].column,
            "trigger " + std::to_string(*index) + " is already given on line " +
                std::to_string(earlier->second));
      continue;
    }
    LevelTrigger trigger{};
    std::optional<int32_t> kind = CodeOf(kKindNames, tokens[1].text);
    if (!kind) kind = ParseInt(tokens[1].text);
    if (!kind) {
      Error(line.number, tokens[1].column,
            "unknown trigger kind '" + std::string(tokens[1].text) +
                "' (strike, spawn, teleport, start, none, message or a number)");
      continue;
    }
    trigger.kind = *kind;
    bool ok = true;
    for (size_t t = 2; t < tokens.size(); ++t) {
      const Token& token = tokens[t];
      const size_t equals = token.text.find('=');
      const std::string_view key = token.text.substr(0, equals);
      const std::string_view value =
          equals == std::string_view::npos ? std::string_view() : token.text.substr(equals + 1);
      const Token valueToken{value, token.column + int(equals) + 1};
      if (key == "from" || key == "at") {
        ok &= CellPair(line, token, value, trigger.column0, trigger.row0);
      } else if (key == "to") {
        ok &= CellPair(line, token, value, trigger.column1, trigger.row1);
      } else if (key == "unit") {
        std::optional<int32_t> type = CodeOf(kUnitNames, value);
        if (!type) type = ParseInt(value);
        if (type)
          trigger.unitType = *type;
        else
          ok = Error(line.number, valueToken.column,
                     "'" + std::string(value) + "' is neither a number nor a unit name");
      } else if (key == "only") {
        if (const auto code = LayerValue(kFileBlock, line, valueToken))
          trigger.onlyCode = *code;
        else
          ok = false;
      } else {
        ok = Error(line.number, token.column,
                   "unknown trigger field '" + std::string(token.text) +
                       "' (from=C,R to=C,R at=C,R unit=NAME only=BLOCK)");
      }
    }
    if (!ok) continue;
    mTriggerLines[*index] = line.number;
    mTriggers[*index] = trigger;
  }
}

// Text in double quotes; \" \\ and \xHH stand for bytes that cannot be written plainly.
bool DecodeText(std::string_view quoted, std::string& out, size_t& badOffset) {
  out.clear();
  for (size_t i = 1; i + 1 < quoted.size(); ++i) {
    const char c = quoted[i];
    if (c != '\\') {
      out.push_back(c);
      continue;
    }
    badOffset = i;
    if (i + 2 >= quoted.size()) return false;
    const char next = quoted[i + 1];
    if (next == '"' || next == '\\') {
      out.push_back(next);
      ++i;
      continue;
    }
    if (next != 'x' || i + 3 >= quoted.size()) return false;
    unsigned value = 0;
    const auto [end, status] =
        std::from_chars(quoted.data() + i + 2, quoted.data() + i + 4, value, 16);
    if (status != std::errc() || end != quoted.data() + i + 4) return false;
    out.push_back(char(value));
    i += 3;
  }
  return true;
}

void Compiler::Texts(const Section& section) {
  std::vector<Token> tokens;
  for (const SourceLine& line : section.lines) {
    if (!Tokenize(line, tokens) || tokens.empty()) continue;
    if (tokens[0].text == "count") {
      if (Count(line, tokens, kMaxLabels, "texts", mTextCount)) mTextCountLine = line.number;
      continue;
    }
    if (tokens.size() < 2 || tokens[1].text[0] != '"') {
      Error(line.number, tokens[0].column, "expected: INDEX \"TEXT\" [skip=N]");
      continue;
    }
    const std::optional<int32_t> index = Number(line, tokens[0], "a text index");
    if (!index) continue;
    if (*index < 0 || *index >= kMaxLabels) {
      Error(line.number, tokens[0].column, "a text index is 0 to 1023");
      continue;
    }
    if (const auto earlier = mTextLines.find(*index); earlier != mTextLines.end()) {
      Error(line.number, tokens[0].column,
            "text " + std::to_string(*index) + " is already given on line " +
                std::to_string(earlier->second));
      continue;
    }
    LevelText text;
    size_t badOffset = 0;
    if (!DecodeText(tokens[1].text, text.text, badOffset)) {
      Error(line.number, tokens[1].column + int(badOffset),
            "unknown escape in the text (\\\" \\\\ and \\xHH are known)");
      continue;
    }
    if (text.text.size() > size_t(kMaxLabelLength)) {
      Error(line.number, tokens[1].column,
            "the text is " + std::to_string(text.text.size()) +
                " bytes long; the game keeps at most 127");
      continue;
    }
    bool ok = true;
    for (size_t t = 2; t < tokens.size(); ++t) {
      const std::optional<int32_t> skip =
          tokens[t].text.starts_with("skip=") ? ParseInt(tokens[t].text.substr(5)) : std::nullopt;
      if (!skip || *skip < 0 || *skip > 255)
        ok = Error(line.number, tokens[t].column,
                   "expected skip=N with N 0 to 255 (the byte stored before the text)");
      else
        text.skipped = uint8_t(*skip);
    }
    if (!ok) continue;
    mTextLines[*index] = line.number;
    mTexts[*index] = text;
  }
}

// Pipe warps: INDEX at=C,R | x=PX y=PY, dir=down|right|left|up, start=N, file="NAME".
void Compiler::Warps(const Section& section) {
  mHasWarps = true;
  std::vector<Token> tokens;
  for (const SourceLine& line : section.lines) {
    if (!Tokenize(line, tokens) || tokens.empty()) continue;
    if (tokens[0].text == "count") {
      if (Count(line, tokens, kMaxWarps, "warps", mWarpCount)) mWarpCountLine = line.number;
      continue;
    }
    const std::optional<int32_t> index = Number(line, tokens[0], "a warp index");
    if (!index) continue;
    if (*index < 0 || *index >= kMaxWarps) {
      Error(line.number, tokens[0].column, "a warp index is 0 to 31");
      continue;
    }
    if (const auto earlier = mWarpLines.find(*index); earlier != mWarpLines.end()) {
      Error(line.number, tokens[0].column,
            "warp " + std::to_string(*index) + " is already given on line " +
                std::to_string(earlier->second));
      continue;
    }
    LevelWarp warp;
    bool ok = true;
    for (size_t t = 1; t < tokens.size() && ok; ++t) {
      const std::string_view field = tokens[t].text;
      const size_t equals = field.find('=');
      const std::string_view key = field.substr(0, equals);
      const std::string_view value =
          equals == std::string_view::npos ? "" : field.substr(equals + 1);
      const int valueColumn = tokens[t].column + int(equals) + 1;
      if (key == "at") {
        int32_t column = 0, row = 0;
        ok = CellPair(line, tokens[t], value, column, row);
        warp.x = column * 32;
        warp.y = row * 32;
      } else if (key == "x" || key == "y" || key == "start") {
        const std::optional<int32_t> number = ParseInt(value);
        if (!number) {
          ok = Error(line.number, valueColumn, "expected a number after " + std::string(key) + "=");
        } else {
          (key == "x" ? warp.x : key == "y" ? warp.y : warp.startIndex) = *number;
        }
      } else if (key == "dir") {
        static constexpr std::string_view kDirections[] = {"down", "right", "left", "up"};
        const auto* named = std::find(std::begin(kDirections), std::end(kDirections), value);
        if (named != std::end(kDirections)) {
          warp.direction = int32_t(named - std::begin(kDirections)) + 1;
        } else if (const std::optional<int32_t> number = ParseInt(value)) {
          warp.direction = *number;
        } else {
          ok = Error(line.number, valueColumn, "dir is down, right, left, up or a number");
        }
      } else if (key == "file" && value.size() >= 2 && value.front() == '"') {
        size_t badOffset = 0;
        if (!DecodeText(value, warp.fileName, badOffset))
          ok = Error(line.number, valueColumn + int(badOffset), "unknown escape in the file name");
        else if (warp.fileName.size() > size_t(kMaxWarpNameLength))
          ok = Error(line.number, valueColumn, "a warp's file name is at most 127 bytes");
      } else {
        ok = Error(line.number, tokens[t].column,
                   "expected at=C,R, x=PX, y=PY, dir=DIRECTION, start=N or file=\"NAME\"");
      }
    }
    if (!ok) continue;
    mWarpLines[*index] = line.number;
    mWarps[*index] = warp;
  }
}

// from=C,R to=C,R, both needed, from tokens[first] on.
bool Compiler::AreaFields(const SourceLine& line, const std::vector<Token>& tokens, size_t first,
                          LevelArea& area) {
  bool from = false, to = false;
  for (size_t t = first; t < tokens.size(); ++t) {
    const std::string_view field = tokens[t].text;
    if (field.starts_with("from=") && !from) {
      if (!CellPair(line, tokens[t], field.substr(5), area.column0, area.row0)) return false;
      from = true;
    } else if (field.starts_with("to=") && !to) {
      if (!CellPair(line, tokens[t], field.substr(3), area.column1, area.row1)) return false;
      to = true;
    } else {
      return Error(line.number, tokens[t].column, "expected from=C,R and to=C,R, once each");
    }
  }
  if (!from || !to)
    return Error(line.number, tokens.empty() ? 1 : tokens[0].column,
                 "an area needs both from=C,R and to=C,R");
  return true;
}

// The level's end: one line, from=C,R to=C,R.
void Compiler::Goal(const Section& section) {
  std::vector<Token> tokens;
  for (const SourceLine& line : section.lines) {
    if (!Tokenize(line, tokens) || tokens.empty()) continue;
    if (mGoalLine) {
      Error(line.number, tokens[0].column,
            "the goal is already given on line " + std::to_string(mGoalLine));
      continue;
    }
    if (AreaFields(line, tokens, 0, mLevel.goal)) mGoalLine = line.number;
  }
  if (!mGoalLine) Error(section.line, 1, "[goal] needs a line from=C,R to=C,R");
  mLevel.hasGoal = true;
}

constexpr std::string_view kBackdropNames[kBackdropKinds] = {"sky", "cave", "castle"};

// Backdrop regions in file order: KIND from=C,R to=C,R, KIND sky, cave, castle or a number.
void Compiler::Backdrops(const Section& section) {
  mLevel.hasBackdropSection = true;
  std::vector<Token> tokens;
  for (const SourceLine& line : section.lines) {
    if (!Tokenize(line, tokens) || tokens.empty()) continue;
    LevelBackdrop region;
    const auto* named =
        std::find(std::begin(kBackdropNames), std::end(kBackdropNames), tokens[0].text);
    if (named != std::end(kBackdropNames)) {
      region.kind = int32_t(named - std::begin(kBackdropNames));
    } else if (const std::optional<int32_t> number = ParseInt(tokens[0].text)) {
      region.kind = *number;
    } else {
      Error(line.number, tokens[0].column, "a backdrop is sky, cave, castle or a number");
      continue;
    }
    if (!AreaFields(line, tokens, 1, region.area)) continue;
    if (mLevel.backdrops.size() >= size_t(kMaxBackdropRegions)) {
      Error(line.number, tokens[0].column, "a level has at most 64 backdrop regions");
      continue;
    }
    mLevel.backdrops.push_back(region);
  }
}

// Checkpoints in route order, one a line: at=C,R, the cell a retry starts in.
void Compiler::Checkpoints(const Section& section) {
  mLevel.hasCheckpointSection = true;
  std::vector<Token> tokens;
  for (const SourceLine& line : section.lines) {
    if (!Tokenize(line, tokens) || tokens.empty()) continue;
    if (tokens.size() != 1 || !tokens[0].text.starts_with("at=")) {
      Error(line.number, tokens[0].column, "a checkpoint is one at=C,R");
      continue;
    }
    LevelCell cell;
    if (!CellPair(line, tokens[0], tokens[0].text.substr(3), cell.column, cell.row)) continue;
    if (mLevel.checkpoints.size() >= size_t(kMaxCheckpoints)) {
      Error(line.number, tokens[0].column, "a level has at most 32 checkpoints");
      continue;
    }
    mLevel.checkpoints.push_back(cell);
  }
}

void Compiler::Cells(const Section& section) {
  std::vector<Token> tokens;
  for (const SourceLine& line : section.lines) {
    if (!Tokenize(line, tokens) || tokens.empty()) continue;
    if (tokens.size() != 4) {
      Error(line.number, tokens[0].column, "expected: LAYER COLUMN ROW VALUE");
      continue;
    }
    const auto* name =
        std::find(std::begin(kLevelLayerNames), std::end(kLevelLayerNames), tokens[0].text);
    if (name == std::end(kLevelLayerNames)) {
      Error(line.number, tokens[0].column,
            "unknown layer '" + std::string(tokens[0].text) +
                "' (ground, coin, block, unit, trigger, label, reveal, deco)");
      continue;
    }
    const int layer = int(name - std::begin(kLevelLayerNames));
    const std::optional<int32_t> column = Number(line, tokens[1], "a column");
    const std::optional<int32_t> row = Number(line, tokens[2], "a row");
    const std::optional<int32_t> value = LayerValue(layer, line, tokens[3]);
    if (!column || !row || !value || !CellExists(line, tokens[1].column, *column, *row)) continue;
    mLevel.layers[layer][size_t(CellIndex(*column, *row))] = *value;
  }
}

void Compiler::Extra(const Section& section) {
  for (const SourceLine& line : section.lines) {
    const std::string_view text = line.text;
    for (size_t i = 0; i < text.size();) {
      if (text[i] == ' ' || text[i] == '\t') {
        ++i;
        continue;
      }
      unsigned value = 0;
      const auto [end, status] =
          std::from_chars(text.data() + i, text.data() + std::min(i + 2, text.size()), value, 16);
      if (status != std::errc() || end != text.data() + i + 2) {
        Error(line.number, int(i) + 1, "extra bytes are written as pairs of hex digits");
        break;
      }
      mLevel.extra.push_back(uint8_t(value));
      i += 2;
    }
  }
}

// Lists become the file's tables: unlisted indexes below the count are filler records that do
// nothing (trigger kind "none", an empty text).
void Compiler::Finish() {
  const int32_t triggerCount =
      mTriggerCount.value_or(mTriggers.empty() ? 0 : mTriggers.rbegin()->first + 1);
  if (!mTriggers.empty() && mTriggers.rbegin()->first >= triggerCount)
    Error(mTriggerLines[mTriggers.rbegin()->first], 1,
          "trigger " + std::to_string(mTriggers.rbegin()->first) + " is past the count of " +
              std::to_string(triggerCount) + " on line " + std::to_string(mTriggerCountLine));
  mLevel.triggers.assign(size_t(triggerCount), LevelTrigger{kTriggerNothing, 0, 0, 0, 0, 0, 0});
  for (const auto& [index, trigger] : mTriggers)
    if (index < triggerCount) mLevel.triggers[size_t(index)] = trigger;

  const int32_t textCount = mTextCount.value_or(mTexts.empty() ? 0 : mTexts.rbegin()->first + 1);
  if (!mTexts.empty() && mTexts.rbegin()->first >= textCount)
    Error(mTextLines[mTexts.rbegin()->first], 1,
          "text " + std::to_string(mTexts.rbegin()->first) + " is past the count of " +
              std::to_string(textCount) + " on line " + std::to_string(mTextCountLine));
  mLevel.texts.assign(size_t(textCount), LevelText{});
  for (const auto& [index, text] : mTexts)
    if (index < textCount) mLevel.texts[size_t(index)] = text;

  mLevel.hasWarpSection = mHasWarps;
  const int32_t warpCount = mWarpCount.value_or(mWarps.empty() ? 0 : mWarps.rbegin()->first + 1);
  if (!mWarps.empty() && mWarps.rbegin()->first >= warpCount)
    Error(mWarpLines[mWarps.rbegin()->first], 1,
          "warp " + std::to_string(mWarps.rbegin()->first) + " is past the count of " +
              std::to_string(warpCount) + " on line " + std::to_string(mWarpCountLine));
  mLevel.warps.assign(size_t(warpCount), LevelWarp{});
  for (const auto& [index, warp] : mWarps)
    if (index < warpCount) mLevel.warps[size_t(index)] = warp;
}

bool Compiler::Run(LevelData& out) {
  mErrors.clear();
  for (int plane = 0; plane < kPlaneCount; ++plane) mLegends[plane] = DefaultLegend(Plane(plane));
  SplitSections();

  // Sections may come in any order; they are read in the order they depend on each other.
  enum Stage {
    kHeader,
    kLegend,
    kGrid,
    kTriggers,
    kTexts,
    kWarps,
    kGoal,
    kBackdrops,
    kCheckpoints,
    kCells,
    kExtra,
    kStages
  };
  struct Job {
    Stage stage;
    Plane plane;
    const Section* section;
  };
  std::vector<Job> jobs;
  for (const Section& section : mSections) {
    if (&section == &mSections.front()) {
      jobs.push_back({kHeader, kMapPlane, &section});
      continue;
    }
    if (section.name == "?") continue;
    bool known = false;
    for (int plane = 0; plane < kPlaneCount; ++plane)
      if (section.name == kPlanes[plane].name) {
        jobs.push_back({section.argument == "legend" ? kLegend : kGrid, Plane(plane), &section});
        known = true;
      }
    static constexpr std::pair<std::string_view, Stage> kLists[] = {
        {"triggers", kTriggers}, {"texts", kTexts},         {"warps", kWarps},
        {"goal", kGoal},         {"backdrops", kBackdrops}, {"checkpoints", kCheckpoints},
        {"cells", kCells},       {"extra", kExtra}};
    for (const auto& [name, stage] : kLists)
      if (section.name == name) {
        if (!section.argument.empty())
          Error(section.line, section.argumentColumn,
                "[" + std::string(name) + "] takes nothing after its name");
        jobs.push_back({stage, kMapPlane, &section});
        known = true;
      }
    if (!known)
      Error(section.line, 2,
            "unknown section [" + std::string(section.name) +
                "] (map, links, labels with a column or 'legend'; triggers, texts, "
                "warps, goal, backdrops, checkpoints, cells, extra)");
  }
  std::stable_sort(jobs.begin(), jobs.end(),
                   [](const Job& a, const Job& b) { return a.stage < b.stage; });
  for (const Job& job : jobs) {
    if (mStopped) break;
    switch (job.stage) {
      case kHeader:
        Header(*job.section);
        for (int layer = 0; layer < kFileLayerCount; ++layer)
          mLevel.layers[layer].assign(mCellCount, ResetValue(layer));
        break;
      case kLegend:
        LegendSection(job.plane, *job.section);
        break;
      case kGrid:
        GridSection(job.plane, *job.section);
        break;
      case kTriggers:
        Triggers(*job.section);
        break;
      case kTexts:
        Texts(*job.section);
        break;
      case kWarps:
        Warps(*job.section);
        break;
      case kGoal:
        if (mLevel.hasGoal)
          Error(job.section->line, 1, "[goal] is given twice");
        else
          Goal(*job.section);
        break;
      case kBackdrops:
        Backdrops(*job.section);
        break;
      case kCheckpoints:
        if (mLevel.hasCheckpointSection)
          Error(job.section->line, 1, "[checkpoints] is given twice");
        else
          Checkpoints(*job.section);
        break;
      case kCells:
        Cells(*job.section);
        break;
      case kExtra:
        Extra(*job.section);
        break;
      case kStages:
        break;
    }
  }
  if (mErrors.empty()) Finish();
  if (!mErrors.empty()) return false;
  out = std::move(mLevel);
  return true;
}

// ---------------------------------------------------------------------------------------------
// Writing.

constexpr int kBandColumns = 100;  // grid columns per section, so a line fits a wide editor
constexpr int kExtraBytesPerLine = 32;
constexpr int kNoteColumn = 40;  // legend notes line up here

class Writer {
 public:
  void Put(std::string_view text) { mOut.append(text); }
  void Put(char c) { mOut.push_back(c); }
  void Int(int64_t value) { mOut.append(std::to_string(value)); }
  void Line(std::string_view text = {}) {
    mOut.append(text);
    mOut.push_back('\n');
  }
  void Note(std::string_view note) {
    if (note.empty()) return;
    const size_t lineStart = mOut.rfind('\n') + 1;
    const size_t width = mOut.size() - lineStart;
    mOut.append(width < kNoteColumn ? kNoteColumn - width : 1, ' ');
    mOut.append("; ");
    mOut.append(note);
  }
  std::string Take() { return std::move(mOut); }
  std::string& Out() { return mOut; }

 private:
  std::string mOut;
};

std::string QuoteText(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (byte >= 32 && byte < 127) {
      out.push_back(c);
    } else {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02x", byte);
      out.append(escape);
    }
  }
  out.push_back('"');
  return out;
}

void PutLayerValue(Writer& out, int layer, int32_t value) {
  const char* name = nullptr;
  if (layer == kFileBlock) name = NameOf(kBlockNames, value);
  if (layer == kFileDeco) name = NameOf(kDecoNames, value);
  if (layer == kFileUnit) name = NameOf(kUnitNames, int64_t(value) - 1);
  if (name)
    out.Put(name);
  else
    out.Int(value);
}

void PutLinkValue(Writer& out, int32_t value) {
  out.Int(value & kLinkIndexMask);
  uint32_t rest = uint32_t(value) & ~uint32_t(kLinkIndexMask);
  static constexpr std::pair<uint32_t, const char*> kFlags[] = {
      {kLinkKeepFlag, "keep"}, {kLinkRearmFlag, "rearm"}, {kLinkDisarmFlag, "disarm"}};
  for (const auto& [bit, name] : kFlags)
    if (rest & bit) {
      out.Put(' ');
      out.Put(name);
      rest &= ~bit;
    }
  if (rest) {
    char bits[24];
    std::snprintf(bits, sizeof bits, " bits=0x%x", rest);
    out.Put(bits);
  }
}

std::string TriggerNote(const LevelData& level, int32_t index) {
  if (index < 0 || size_t(index) >= level.triggers.size()) return "no such trigger";
  const LevelTrigger& trigger = level.triggers[size_t(index)];
  std::string note = "trigger " + std::to_string(index);
  if (const char* kind = TriggerKindName(trigger.kind)) note += std::string(" ") + kind;
  if (trigger.kind == kTriggerMessage)
    if (const char* message = TriggerMessage(index)) note += std::string(": ") + message;
  return note;
}

struct CellEscape {
  int layer;
  size_t index;
  int32_t value;
};

// One plane: its legend (the characters it needs, chosen from the defaults where they fit)
// and its grid sections. Cells left without a character go to the [cells] list.
void WritePlane(Writer& out, const LevelData& level, Plane plane,
                std::vector<CellEscape>& escapes) {
  const size_t cells = size_t(level.CellCount());
  const Values reset = ResetValues(plane);
  std::map<Values, int> ids;
  std::vector<Values> distinct;
  std::vector<int> cellId(cells, -1);
  int lastColumn = -1, firstRow = kMapRows, lastRow = -1;
  for (size_t i = 0; i < cells; ++i) {
    const Values values = CellValues(level, plane, i);
    if (values == reset) continue;
    const auto [it, added] = ids.emplace(values, int(distinct.size()));
    if (added) distinct.push_back(values);
    cellId[i] = it->second;
    lastColumn = std::max(lastColumn, int(i / kMapRows));
    firstRow = std::min(firstRow, int(i % kMapRows));
    lastRow = std::max(lastRow, int(i % kMapRows));
  }
  if (distinct.empty()) return;

  // Defaults keep their meaning; other values take free characters, then defaults unused here.
  const Legend defaults = DefaultLegend(plane);
  std::vector<char> symbolOf(distinct.size(), 0);
  std::array<bool, 128> taken{};
  for (size_t id = 0; id < distinct.size(); ++id)
    for (char c : kSymbolPool)
      if (defaults[size_t(c)] && *defaults[size_t(c)] == distinct[id] && !taken[size_t(c)]) {
        symbolOf[id] = c;
        taken[size_t(c)] = true;
        break;
      }
  std::string pool;
  for (char c : kSymbolPool)
    if (!defaults[size_t(c)]) pool.push_back(c);
  for (char c : kSymbolPool)
    if (defaults[size_t(c)] && !taken[size_t(c)]) pool.push_back(c);
  size_t next = 0;
  for (size_t id = 0; id < distinct.size(); ++id)
    if (!symbolOf[id] && next < pool.size()) symbolOf[id] = pool[next++];

  // Legend lines: default characters in their usual order, then the others as they appear.
  std::vector<size_t> order(distinct.size());
  for (size_t id = 0; id < order.size(); ++id) order[id] = id;
  const auto rank = [&](size_t id) {
    const char symbol = symbolOf[id];
    if (defaults[size_t(symbol)] != distinct[id]) return std::size(kDefaultSymbols) + 128 + id;
    if (plane != kMapPlane) return size_t(symbol);
    const auto entry = std::find_if(std::begin(kDefaultSymbols), std::end(kDefaultSymbols),
                                    [&](const DefaultSymbol& d) { return d.symbol == symbol; });
    return size_t(entry - std::begin(kDefaultSymbols));
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return rank(a) < rank(b); });
  out.Line();
  out.Line(std::string("[") + kPlanes[plane].name + " legend]");
  for (const size_t id : order) {
    if (!symbolOf[id]) continue;
    const Values& values = distinct[id];
    out.Put('\'');
    out.Put(symbolOf[id]);
    out.Put('\'');
    if (plane == kMapPlane) {
      for (int k = 0; k < kPlanes[plane].layerCount; ++k) {
        if (values[k] == reset[k]) continue;
        const int layer = kPlanes[plane].layers[k];
        out.Put(' ');
        out.Put(kLevelLayerNames[layer]);
        out.Put('=');
        PutLayerValue(out, layer, values[k]);
      }
      if (const char* note = DefaultNote(plane, symbolOf[id], values)) out.Note(note);
    } else if (plane == kLinksPlane) {
      out.Put(' ');
      PutLinkValue(out, values[0]);
      out.Note(TriggerNote(level, values[0] & kLinkIndexMask));
    } else {
      out.Put(' ');
      out.Int(values[0]);
      if (plane == kLabelsPlane && values[0] >= 0 && size_t(values[0]) < level.texts.size())
        out.Note(QuoteText(level.texts[size_t(values[0])].text));
    }
    out.Line();
  }

  for (int first = 0; first <= lastColumn; first += kBandColumns) {
    const int end = std::min(first + kBandColumns, lastColumn + 1);
    out.Line();
    out.Line(std::string("[") + kPlanes[plane].name + " " + std::to_string(first) + "]");
    std::string ruler = ";  ";
    for (int column = first; column < end; ++column) {
      if (ruler.size() > size_t(3 + column - first)) continue;
      ruler += column % 10 == 0 ? std::to_string(column) : " ";
    }
    out.Line(TrimRight(ruler));
    for (int row = firstRow; row <= lastRow; ++row) {
      char number[8];
      std::snprintf(number, sizeof number, "%02d ", row);
      out.Put(number);
      for (int column = first; column < end; ++column) {
        const size_t index = size_t(CellIndex(column, row));
        const int id = index < cells ? cellId[index] : -1;
        out.Put(id >= 0 && symbolOf[size_t(id)] ? symbolOf[size_t(id)] : kEmptySymbol);
      }
      out.Line();
    }
  }

  for (size_t i = 0; i < cells; ++i)
    if (cellId[i] >= 0 && !symbolOf[size_t(cellId[i])])
      for (int k = 0; k < kPlanes[plane].layerCount; ++k)
        if (distinct[size_t(cellId[i])][k] != reset[k])
          escapes.push_back({kPlanes[plane].layers[k], i, distinct[size_t(cellId[i])][k]});
}

bool IsFillerTrigger(const LevelTrigger& trigger) {
  return trigger == LevelTrigger{kTriggerNothing, 0, 0, 0, 0, 0, 0};
}

void PutCell(Writer& out, const char* key, int32_t column, int32_t row) {
  out.Put(' ');
  out.Put(key);
  out.Put('=');
  out.Int(column);
  out.Put(',');
  out.Int(row);
}

void WriteTriggers(Writer& out, const LevelData& level) {
  if (level.triggers.empty()) return;
  out.Line();
  out.Line("[triggers]");
  size_t listed = level.triggers.size();
  while (listed > 0 && IsFillerTrigger(level.triggers[listed - 1])) --listed;
  if (listed != level.triggers.size()) {
    out.Put("count ");
    out.Int(int64_t(level.triggers.size()));
    out.Line();
  }
  for (size_t i = 0; i < listed; ++i) {
    const LevelTrigger& t = level.triggers[i];
    if (IsFillerTrigger(t)) continue;
    out.Int(int64_t(i));
    out.Put(' ');
    if (const char* kind = TriggerKindName(t.kind))
      out.Put(kind);
    else
      out.Int(t.kind);
    const bool rectangle = t.kind == kTriggerStrike || t.kind == kTriggerSpawn;
    if (t.kind == kTriggerTeleport)
      PutCell(out, "at", t.column0, t.row0);
    else if (rectangle || t.column0 || t.row0)
      PutCell(out, "from", t.column0, t.row0);
    if (rectangle || t.column1 || t.row1) PutCell(out, "to", t.column1, t.row1);
    if (t.kind == kTriggerSpawn || t.unitType) {
      out.Put(" unit=");
      if (const char* unit = UnitTypeName(t.unitType))
        out.Put(unit);
      else
        out.Int(t.unitType);
    }
    if (t.onlyCode) {
      out.Put(" only=");
      PutLayerValue(out, kFileBlock, t.onlyCode);
    }
    if (t.kind == kTriggerMessage) {
      const char* message = TriggerMessage(int32_t(i));
      out.Note(message ? message : "no message has this index: shows nothing");
    }
    out.Line();
  }
}

void WriteTexts(Writer& out, const LevelData& level) {
  if (level.texts.empty()) return;
  out.Line();
  out.Line("[texts]");
  const auto filler = [](const LevelText& text) { return text == LevelText{}; };
  size_t listed = level.texts.size();
  while (listed > 0 && filler(level.texts[listed - 1])) --listed;
  if (listed != level.texts.size()) {
    out.Put("count ");
    out.Int(int64_t(level.texts.size()));
    out.Line();
  }
  for (size_t i = 0; i < listed; ++i) {
    const LevelText& text = level.texts[i];
    if (filler(text)) continue;
    out.Int(int64_t(i));
    out.Put(' ');
    out.Put(QuoteText(text.text));
    if (text.skipped) {
      out.Put(" skip=");
      out.Int(text.skipped);
    }
    out.Line();
  }
}

void WriteWarps(Writer& out, const LevelData& level) {
  if (!level.hasWarpSection && level.warps.empty()) return;
  out.Line();
  out.Line("[warps]");
  const auto filler = [](const LevelWarp& warp) { return warp == LevelWarp{}; };
  size_t listed = level.warps.size();
  while (listed > 0 && filler(level.warps[listed - 1])) --listed;
  if (listed != level.warps.size()) {
    out.Put("count ");
    out.Int(int64_t(level.warps.size()));
    out.Line();
  }
  static constexpr const char* kDirections[] = {"down", "right", "left", "up"};
  for (size_t i = 0; i < listed; ++i) {
    const LevelWarp& w = level.warps[i];
    if (filler(w)) continue;
    out.Int(int64_t(i));
    if (w.x % 32 == 0 && w.y % 32 == 0 && w.x >= 0 && w.y >= 0) {
      out.Put(" at=");
      out.Int(w.x / 32);
      out.Put(',');
      out.Int(w.y / 32);
    } else {
      out.Put(" x=");
      out.Int(w.x);
      out.Put(" y=");
      out.Int(w.y);
    }
    out.Put(" dir=");
    if (w.direction >= 1 && w.direction <= 4)
      out.Put(kDirections[w.direction - 1]);
    else
      out.Int(w.direction);
    out.Put(" start=");
    out.Int(w.startIndex);
    out.Put(" file=");
    out.Put(QuoteText(w.fileName));
    out.Line();
  }
}

void WriteGoal(Writer& out, const LevelData& level) {
  if (!level.hasGoal) return;
  out.Line();
  out.Line("[goal]");
  out.Put("from=");
  out.Int(level.goal.column0);
  out.Put(',');
  out.Int(level.goal.row0);
  PutCell(out, "to", level.goal.column1, level.goal.row1);
  out.Line();
}

void WriteBackdrops(Writer& out, const LevelData& level) {
  if (!level.hasBackdropSection && level.backdrops.empty()) return;
  out.Line();
  out.Line("[backdrops]");
  for (const LevelBackdrop& region : level.backdrops) {
    if (region.kind >= 0 && region.kind < kBackdropKinds)
      out.Put(kBackdropNames[region.kind]);
    else
      out.Int(region.kind);
    PutCell(out, "from", region.area.column0, region.area.row0);
    PutCell(out, "to", region.area.column1, region.area.row1);
    out.Line();
  }
}

void WriteCheckpoints(Writer& out, const LevelData& level) {
  if (!level.hasCheckpointSection && level.checkpoints.empty()) return;
  out.Line();
  out.Line("[checkpoints]");
  for (const LevelCell& cell : level.checkpoints) {
    out.Put("at=");
    out.Int(cell.column);
    out.Put(',');
    out.Int(cell.row);
    out.Line();
  }
}

constexpr std::string_view kSourceIntroduction =
    "; Brinkhop level source. `brinkhop-level build THIS -o level` makes the level file.\n"
    "; Grids have one line per row (\"ROW cells\") and one character per cell, '.' empty;\n"
    "; [map C] starts at column C. The legends say what each character stands for.\n"
    "; Triggers: INDEX KIND fields; texts: INDEX \"TEXT\"; [cells]: LAYER COLUMN ROW VALUE\n"
    "; for single values no grid character covers. `brinkhop-level build --help` tells all.\n";

constexpr std::string_view kReference =
    "Level source text. Lines starting with ';' or '#' are comments; ';' after a value ends\n"
    "the line. Sections start with a heading in brackets and may come in any order.\n"
    "\n"
    "  size COLUMNS ROWS        cells the file stores (default 4096 64, the whole map)\n"
    "  trailer A B C D          the four numbers closing the file (default 0 0 0 0)\n"
    "  [map COLUMN]             grid lines 'ROW CELLS' (row 0 at the top, 0 to 63), one\n"
    "                           character a cell from COLUMN on; '.' or a space is empty\n"
    "  [map legend]             'C' LAYER=VALUE ... with LAYER ground, coin, block, unit,\n"
    "                           deco or reveal (1: shown from the start, else when the player\n"
    "                           comes near); layers not named are 0\n"
    "  [links COLUMN]           trigger links, placed like the map\n"
    "  [links legend]           'C' TRIGGER [keep] [rearm] [disarm]: keep, the link stays after\n"
    "                           it fires; rearm, the trigger is armed before; disarm, after\n"
    "  [labels COLUMN]          where texts show (the cell must be shown: reveal=1)\n"
    "  [labels legend]          'C' TEXT\n"
    "  [triggers]               INDEX KIND [from=C,R] [to=C,R] [at=C,R] [unit=UNIT]\n"
    "                           [only=BLOCK]; KIND strike (the blocks from..to), spawn\n"
    "                           (units from..to), teleport (to at), start (the player starts\n"
    "                           on a cell linking it), message (index 53 to 67 picks the\n"
    "                           message), none; 'count N' keeps N records\n"
    "  [texts]                  INDEX \"TEXT\" [skip=N]; \\\" \\\\ \\xHH escape; 'count N'\n"
    "  [warps]                  INDEX at=C,R (or x=PX y=PY) dir=down|right|left|up start=N\n"
    "                           file=\"LEVEL\": a pipe into another level (start 0: levels\n"
    "                           have no other; the name may hold spaces);\n"
    "                           'down' pipes need the down action held; 'count N'\n"
    "  [goal]                   from=C,R to=C,R: reaching these cells ends the level\n"
    "  [backdrops]              KIND from=C,R to=C,R, KIND sky, cave or castle: what stands\n"
    "                           behind those cells (the first region holding a cell; the sky\n"
    "                           where none does)\n"
    "  [checkpoints]            at=C,R, one a line in route order: passing the column at or\n"
    "                           above the row reaches it; a retry then starts in that cell\n"
    "  [cells]                  LAYER COLUMN ROW VALUE, one value no legend covers\n"
    "  [extra]                  hex bytes after the trailer\n"
    "\n"
    "In links and labels, 0-9 and A-Z stand for 0 to 35. Blocks, decorations and units take\n"
    "names as well as numbers. The map's default characters:\n";

}  // namespace

bool CompileLevelText(std::string_view text, const std::string& fileName, LevelData& out,
                      std::vector<std::string>& errors) {
  return Compiler(text, fileName, errors).Run(out);
}

bool ReadPlayableLevel(const std::string& path, LevelData& out, std::vector<std::string>& errors) {
  std::string bytes, error;
  if (ReadWholeFile(path, std::max(kMaxLevelSourceBytes, kMaxLevelFileBytes), bytes, error) !=
      kFileReadOk) {
    errors = {path + ": " + error};
    return false;
  }
  // A binary level opens with its sizes as little-endian integers, so it has zero bytes at
  // once; source text never holds one.
  constexpr size_t kSniffBytes = 16;
  if (bytes.find('\0') < kSniffBytes) {
    if (ParseLevel(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), out, error))
      return true;
    errors = {path + ": " + error};
    return false;
  }
  return CompileLevelText(bytes, path, out, errors);
}

std::string DecompileLevel(const LevelData& level) {
  Writer out;
  out.Put(kSourceIntroduction);
  out.Line();
  out.Put("size ");
  out.Int(level.sizeA);
  out.Put(' ');
  out.Int(level.sizeB);
  out.Line();
  if (level.trailer != std::array<int32_t, kTrailerInts>{}) {
    out.Put("trailer");
    for (int32_t value : level.trailer) {
      out.Put(' ');
      out.Int(value);
    }
    out.Line();
  }
  std::vector<CellEscape> escapes;
  for (int plane = 0; plane < kPlaneCount; ++plane) WritePlane(out, level, Plane(plane), escapes);
  WriteTriggers(out, level);
  WriteTexts(out, level);
  WriteWarps(out, level);
  WriteGoal(out, level);
  WriteBackdrops(out, level);
  WriteCheckpoints(out, level);
  if (!escapes.empty()) {
    out.Line();
    out.Line("[cells]");
    for (const CellEscape& cell : escapes) {
      out.Put(kLevelLayerNames[cell.layer]);
      out.Put(' ');
      out.Int(int64_t(cell.index / kMapRows));
      out.Put(' ');
      out.Int(int64_t(cell.index % kMapRows));
      out.Put(' ');
      out.Int(cell.value);
      out.Line();
    }
  }
  if (!level.extra.empty()) {
    out.Line();
    out.Line("[extra]");
    for (size_t i = 0; i < level.extra.size(); ++i) {
      char hex[3];
      std::snprintf(hex, sizeof hex, "%02x", level.extra[i]);
      out.Put(hex);
      if ((i + 1) % kExtraBytesPerLine == 0 || i + 1 == level.extra.size()) out.Line();
    }
  }
  return out.Take();
}

std::string LevelTextReference() {
  std::string text(kReference);
  for (const DefaultSymbol& entry : kDefaultSymbols) {
    text += "  ";
    text += entry.symbol;
    text += "  ";
    text += entry.note;
    text += '\n';
  }
  const auto names = [&](const char* what, const auto& table) {
    text += what;
    for (const CodeName& entry : table) text += std::string(" ") + entry.name;
    text += '\n';
  };
  names("Block names:", kBlockNames);
  names("Decoration names:", kDecoNames);
  names("Unit names:", kUnitNames);
  return text;
}

const char* BlockCodeName(int32_t code) { return NameOf(kBlockNames, code); }
const char* DecoCodeName(int32_t code) { return NameOf(kDecoNames, code); }
const char* UnitTypeName(int32_t typeCode) { return NameOf(kUnitNames, typeCode); }
const char* TriggerKindName(int32_t kind) { return NameOf(kKindNames, kind); }

const char* TriggerMessage(int32_t triggerIndex) {
  const int32_t message = MessageOfTrigger(triggerIndex);
  return message == kNoMessage ? nullptr : kMessages[message];
}
