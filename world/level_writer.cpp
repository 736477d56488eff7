// Level source text written: every layer, list and byte of a level file as a source that
// builds back to the same bytes, with the legends and notes a designer reads it by.
#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>
#include <map>
#include <optional>
#include <set>

#include "world/level_legend.h"
#include "world/level_text.h"
#include "world/messages.h"

namespace {

using namespace level_legend;

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

}  // namespace

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
