// Level source text read: the compiler that turns sections of lines (a header with the grid
// size, legends, grids of one character a cell, lists of triggers, texts, single cells and
// trailing bytes) into the level file, with every fault at its line and column.
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
#include "world/level_legend.h"
#include "world/level_text.h"
#include "world/messages.h"

namespace {

using namespace level_legend;

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

}  // namespace

bool CompileLevelText(std::string_view text, const std::string& fileName, LevelData& out,
                      std::vector<std::string>& errors) {
  // An editor that truncates its file before writing it shows an empty file for a moment; a
  // level with nothing in it is never what a designer meant.
  if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
    errors = {fileName + ": the level source is empty"};
    return false;
  }
  return Compiler(text, fileName, errors).Run(out);
}

bool LooksLikeLevelText(std::string_view head) {
  constexpr size_t kSniffBytes = 16;
  return head.substr(0, kSniffBytes).find('\0') == std::string_view::npos;
}

bool ReadPlayableLevel(const std::string& path, LevelData& out, std::vector<std::string>& errors) {
  std::string bytes, error;
  if (ReadWholeFile(path, std::max(kMaxLevelSourceBytes, kMaxLevelFileBytes), bytes, error) !=
      kFileReadOk) {
    errors = {path + ": " + error};
    return false;
  }
  if (!LooksLikeLevelText(bytes)) {
    if (ParseLevel(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), out, error))
      return true;
    errors = {path + ": " + error};
    return false;
  }
  return CompileLevelText(bytes, path, out, errors);
}
