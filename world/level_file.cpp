// Level file reading, checking and writing. Every read is bounds-checked against the bytes
// there are: a level is untrusted input.
#include "world/level_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/file_read.h"

const char* const kLevelLayerNames[kFileLayerCount] = {"ground",  "coin",  "block",  "unit",
                                                       "trigger", "label", "reveal", "deco"};

namespace {

constexpr size_t kIntBytes = 4;
constexpr size_t kTriggerRecordBytes = 7 * kIntBytes;

std::string Format(const char* format, long long a, long long b = 0) {
  char text[160];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

class Reader {
 public:
  Reader(const uint8_t* bytes, size_t size) : mBytes(bytes), mSize(size) {}

  // True when `count` more bytes are there; otherwise the error names what was cut short.
  bool Need(size_t count, const char* what, std::string& error) const {
    if (mSize - mOffset >= count) return true;
    error = "truncated: expected " + std::to_string(mOffset + count) + " bytes " + what +
            ", found " + std::to_string(mSize);
    return false;
  }
  int32_t Int() {
    uint32_t value = uint32_t(mBytes[mOffset]) | uint32_t(mBytes[mOffset + 1]) << 8 |
                     uint32_t(mBytes[mOffset + 2]) << 16 | uint32_t(mBytes[mOffset + 3]) << 24;
    mOffset += kIntBytes;
    return int32_t(value);
  }
  uint8_t Byte() { return mBytes[mOffset++]; }
  const uint8_t* Peek() const { return mBytes + mOffset; }
  const uint8_t* Take(size_t count) {
    const uint8_t* start = mBytes + mOffset;
    mOffset += count;
    return start;
  }
  size_t Left() const { return mSize - mOffset; }

 private:
  const uint8_t* mBytes;
  size_t mSize;
  size_t mOffset = 0;
};

void PutInt(std::vector<uint8_t>& out, int32_t value) {
  const uint32_t v = uint32_t(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(v >> shift));
}

bool InGrid(int32_t column, int32_t row) {
  return column >= 0 && column < kMapColumns && row >= 0 && row < kMapRows;
}

}  // namespace

bool KnownBlockCode(int32_t code) {
  // Up to the pipe lying down, then the coins' frames, the walkways, the bump and the standing
  // pipes.
  return (code >= kBlockNone && code <= kBlockPipeSideBody) ||
         (code >= kBlockCoinPictureA && code <= kBlockPipeLast);
}

LevelData EmptyLevel() {
  LevelData level;
  for (int layer = 0; layer < kFileLayerCount; ++layer)
    level.layers[layer].assign(kMapCells, layer == kFileTrigger || layer == kFileLabel ? -1 : 0);
  return level;
}

bool ParseLevel(const uint8_t* bytes, size_t size, LevelData& out, std::string& error,
                std::vector<std::string>* clipped) {
  Reader in(bytes, size);
  if (!in.Need(2 * kIntBytes, "of sizes", error)) return false;
  out.sizeA = in.Int();
  out.sizeB = in.Int();
  if (out.sizeA < 1 || out.sizeB < 1 ||
      int64_t(out.sizeA) * int64_t(out.sizeB) > int64_t(kMapCells)) {
    error =
        Format("bad size: %lld x %lld cells does not fit the 4096 x 64 map", out.sizeA, out.sizeB);
    return false;
  }
  const size_t cells = size_t(out.sizeA) * size_t(out.sizeB);
  if (!in.Need(kFileLayerCount * cells * kIntBytes, "of layers", error)) return false;
  for (auto& layer : out.layers) {
    layer.resize(cells);
    for (size_t i = 0; i < cells; ++i) layer[i] = in.Int();
  }

  if (!in.Need(kIntBytes, "of the trigger count", error)) return false;
  const int32_t triggerCount = in.Int();
  if (triggerCount < 0 || triggerCount > kMaxTriggers) {
    error = Format("bad trigger count: %lld (0 to %lld)", triggerCount, kMaxTriggers);
    return false;
  }
  if (!in.Need(size_t(triggerCount) * kTriggerRecordBytes, "of trigger records", error))
    return false;
  out.triggers.resize(size_t(triggerCount));
  for (LevelTrigger& t : out.triggers) {
    t.kind = in.Int();
    t.unitType = in.Int();
    t.onlyCode = in.Int();
    t.column0 = in.Int();
    t.column1 = in.Int();
    t.row0 = in.Int();
    t.row1 = in.Int();
  }

  if (!in.Need(kIntBytes, "of the text count", error)) return false;
  const int32_t textCount = in.Int();
  if (textCount < 0 || textCount > kMaxLabels) {
    error = Format("bad text count: %lld (0 to %lld)", textCount, kMaxLabels);
    return false;
  }
  out.texts.resize(size_t(textCount));
  for (int32_t i = 0; i < textCount; ++i) {
    if (!in.Need(kIntBytes + 1, "of texts", error)) return false;
    const int32_t length = in.Int();
    if (length < 0) {
      error = Format("text %lld: bad length %lld", i, length);
      return false;
    }
    out.texts[size_t(i)].skipped = in.Byte();
    if (!in.Need(size_t(length), "of texts", error)) return false;
    const uint8_t* text = in.Take(size_t(length));
    const size_t kept = std::min<size_t>(size_t(length), kMaxLabelLength);
    out.texts[size_t(i)].text.assign(reinterpret_cast<const char*>(text), kept);
    if (kept < size_t(length) && clipped)
      clipped->push_back(Format("text %lld: %lld bytes long, cut to 127", i, length));
  }

  if (!in.Need(kTrailerInts * kIntBytes, "of the trailer", error)) return false;
  for (int32_t& value : out.trailer) value = in.Int();

  out.hasWarpSection = in.Left() >= sizeof kWarpSectionMagic &&
                       std::memcmp(in.Peek(), kWarpSectionMagic, sizeof kWarpSectionMagic) == 0;
  out.warps.clear();
  if (out.hasWarpSection) {
    in.Take(sizeof kWarpSectionMagic);
    if (!in.Need(kIntBytes, "of the warp count", error)) return false;
    const int32_t warpCount = in.Int();
    if (warpCount < 0 || warpCount > kMaxWarps) {
      error = Format("bad warp count: %lld (0 to %lld)", warpCount, kMaxWarps);
      return false;
    }
    out.warps.resize(size_t(warpCount));
    for (int32_t i = 0; i < warpCount; ++i) {
      LevelWarp& w = out.warps[size_t(i)];
      if (!in.Need(5 * kIntBytes, "of warps", error)) return false;
      w.x = in.Int();
      w.y = in.Int();
      w.direction = in.Int();
      w.startIndex = in.Int();
      const int32_t length = in.Int();
      if (length < 0 || length > kMaxWarpNameLength) {
        error = Format("warp %lld: bad file name length %lld", i, length);
        return false;
      }
      if (!in.Need(size_t(length), "of warps", error)) return false;
      w.fileName.assign(reinterpret_cast<const char*>(in.Take(size_t(length))), size_t(length));
    }
  }
  auto sectionFollows = [&](const char(&magic)[4]) {
    if (in.Left() < sizeof magic || std::memcmp(in.Peek(), magic, sizeof magic) != 0) return false;
    in.Take(sizeof magic);
    return true;
  };
  out.hasGoal = sectionFollows(kGoalSectionMagic);
  if (out.hasGoal) {
    if (!in.Need(4 * kIntBytes, "of the goal", error)) return false;
    out.goal = {in.Int(), in.Int(), in.Int(), in.Int()};
  }
  out.hasBackdropSection = sectionFollows(kBackdropSectionMagic);
  out.backdrops.clear();
  if (out.hasBackdropSection) {
    if (!in.Need(kIntBytes, "of the backdrop count", error)) return false;
    const int32_t count = in.Int();
    if (count < 0 || count > kMaxBackdropRegions) {
      error = Format("bad backdrop count: %lld (0 to %lld)", count, kMaxBackdropRegions);
      return false;
    }
    if (!in.Need(size_t(count) * 5 * kIntBytes, "of backdrop regions", error)) return false;
    out.backdrops.resize(size_t(count));
    for (LevelBackdrop& region : out.backdrops) {
      region.area = {in.Int(), in.Int(), in.Int(), in.Int()};
      region.kind = in.Int();
    }
  }
  out.hasCheckpointSection = sectionFollows(kCheckpointSectionMagic);
  out.checkpoints.clear();
  if (out.hasCheckpointSection) {
    if (!in.Need(kIntBytes, "of the checkpoint count", error)) return false;
    const int32_t count = in.Int();
    if (count < 0 || count > kMaxCheckpoints) {
      error = Format("bad checkpoint count: %lld (0 to %lld)", count, kMaxCheckpoints);
      return false;
    }
    if (!in.Need(size_t(count) * 2 * kIntBytes, "of checkpoints", error)) return false;
    out.checkpoints.resize(size_t(count));
    for (LevelCell& cell : out.checkpoints) cell = {in.Int(), in.Int()};
  }
  const uint8_t* rest = in.Take(in.Left());
  out.extra.assign(rest, bytes + size);
  return true;
}

bool ReadLevelFile(const std::string& path, LevelData& out, std::string& error,
                   std::vector<std::string>* clipped) {
  std::string bytes;
  if (ReadWholeFile(path, kMaxLevelFileBytes, bytes, error) != kFileReadOk) return false;
  return ParseLevel(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), out, error,
                    clipped);
}

std::vector<uint8_t> SerializeLevel(const LevelData& level) {
  std::vector<uint8_t> out;
  const size_t cells = level.layers[0].size();
  out.reserve(8 + kFileLayerCount * cells * kIntBytes + level.triggers.size() * 28 + 64);
  PutInt(out, level.sizeA);
  PutInt(out, level.sizeB);
  for (const auto& layer : level.layers)
    for (int32_t value : layer) PutInt(out, value);
  PutInt(out, int32_t(level.triggers.size()));
  for (const LevelTrigger& t : level.triggers)
    for (int32_t value : {t.kind, t.unitType, t.onlyCode, t.column0, t.column1, t.row0, t.row1})
      PutInt(out, value);
  PutInt(out, int32_t(level.texts.size()));
  for (const LevelText& t : level.texts) {
    PutInt(out, int32_t(t.text.size()));
    out.push_back(t.skipped);
    out.insert(out.end(), t.text.begin(), t.text.end());
  }
  for (int32_t value : level.trailer) PutInt(out, value);
  if (level.hasWarpSection || !level.warps.empty()) {
    out.insert(out.end(), std::begin(kWarpSectionMagic), std::end(kWarpSectionMagic));
    PutInt(out, int32_t(level.warps.size()));
    for (const LevelWarp& w : level.warps) {
      for (int32_t value : {w.x, w.y, w.direction, w.startIndex, int32_t(w.fileName.size())})
        PutInt(out, value);
      out.insert(out.end(), w.fileName.begin(), w.fileName.end());
    }
  }
  if (level.hasGoal) {
    out.insert(out.end(), std::begin(kGoalSectionMagic), std::end(kGoalSectionMagic));
    for (int32_t value : {level.goal.column0, level.goal.row0, level.goal.column1, level.goal.row1})
      PutInt(out, value);
  }
  if (level.hasBackdropSection || !level.backdrops.empty()) {
    out.insert(out.end(), std::begin(kBackdropSectionMagic), std::end(kBackdropSectionMagic));
    PutInt(out, int32_t(level.backdrops.size()));
    for (const LevelBackdrop& region : level.backdrops) {
      const LevelArea& a = region.area;
      for (int32_t value : {a.column0, a.row0, a.column1, a.row1, region.kind}) PutInt(out, value);
    }
  }
  if (level.hasCheckpointSection || !level.checkpoints.empty()) {
    out.insert(out.end(), std::begin(kCheckpointSectionMagic), std::end(kCheckpointSectionMagic));
    PutInt(out, int32_t(level.checkpoints.size()));
    for (const LevelCell& cell : level.checkpoints) {
      PutInt(out, cell.column);
      PutInt(out, cell.row);
    }
  }
  out.insert(out.end(), level.extra.begin(), level.extra.end());
  return out;
}

std::vector<std::string> LevelProblems(const LevelData& level) {
  std::vector<std::string> problems;
  auto cellProblem = [&](size_t index, const char* what, int32_t value) {
    char text[160];
    std::snprintf(text, sizeof text, "cell (%zu, %zu): %s %d", index / kMapRows, index % kMapRows,
                  what, value);
    problems.push_back(text);
  };
  const auto& layers = level.layers;
  for (size_t i = 0; i < layers[kFileGround].size(); ++i) {
    const int32_t ground = layers[kFileGround][i];
    if (ground < 0 || ground > 5) cellProblem(i, "ground value has no picture:", ground);
    const int32_t deco = layers[kFileDeco][i];
    if (deco < 0 || deco > kDecoCodes) cellProblem(i, "decoration has no picture:", deco);
    const int32_t block = layers[kFileBlock][i];
    if (!KnownBlockCode(block)) cellProblem(i, "block code has no picture:", block);
    const int32_t unit = layers[kFileUnit][i];
    if (unit > kUnitTypeCodes) cellProblem(i, "unit value names no unit type:", unit);
    const int32_t link = layers[kFileTrigger][i];
    if (link >= 0 && (link & kLinkIndexMask) >= kMaxTriggers)
      cellProblem(i, "trigger link points past the 1024 triggers:", link);
    const int32_t label = layers[kFileLabel][i];
    if (label >= kMaxLabels) cellProblem(i, "label points past the 1024 texts:", label);
  }
  for (size_t i = 0; i < level.triggers.size(); ++i) {
    const LevelTrigger& t = level.triggers[i];
    const bool hasRectangle = t.kind == kTriggerStrike || t.kind == kTriggerSpawn;
    char text[200];
    if (hasRectangle && (!InGrid(t.column0, t.row0) || !InGrid(t.column1, t.row1))) {
      std::snprintf(text, sizeof text,
                    "trigger %zu: rectangle (%d, %d)-(%d, %d) reaches off the grid", i, t.column0,
                    t.row0, t.column1, t.row1);
      problems.push_back(text);
    }
    if (t.kind == kTriggerTeleport && !InGrid(t.column0, t.row0)) {
      std::snprintf(text, sizeof text, "trigger %zu: teleport target (%d, %d) is off the grid", i,
                    t.column0, t.row0);
      problems.push_back(text);
    }
    if (t.kind == kTriggerSpawn && (t.unitType < 0 || t.unitType >= kUnitTypeCodes)) {
      std::snprintf(text, sizeof text, "trigger %zu: unit type %d does not exist", i, t.unitType);
      problems.push_back(text);
    }
  }
  for (size_t i = 0; i < level.warps.size(); ++i) {
    const LevelWarp& w = level.warps[i];
    char text[200];
    if (w.direction < 1 || w.direction > 4) {
      std::snprintf(text, sizeof text, "warp %zu: direction %d is not 1 (down) to 4 (up)", i,
                    w.direction);
      problems.push_back(text);
    }
    if (w.startIndex != 0) {
      std::snprintf(text, sizeof text,
                    "warp %zu: start point %d does not exist; levels have only start point 0, "
                    "which the game uses instead",
                    i, w.startIndex);
      problems.push_back(text);
    }
    if (!WarpFileNameUsable(w.fileName)) {
      std::snprintf(text, sizeof text,
                    "warp %zu: the level name must be a plain file name in the game's folder", i);
      problems.push_back(text);
    }
  }
  auto areaProblem = [&](const std::string& what, const LevelArea& a) {
    if (a.OnGrid()) return;
    char text[200];
    std::snprintf(text, sizeof text, "%s: (%d, %d)-(%d, %d) is no rectangle on the grid",
                  what.c_str(), a.column0, a.row0, a.column1, a.row1);
    problems.push_back(text);
  };
  if (level.hasGoal) areaProblem("the goal", level.goal);
  for (size_t i = 0; i < level.backdrops.size(); ++i) {
    areaProblem("backdrop " + std::to_string(i), level.backdrops[i].area);
    if (level.backdrops[i].kind < 0 || level.backdrops[i].kind >= kBackdropKinds)
      problems.push_back("backdrop " + std::to_string(i) + ": kind " +
                         std::to_string(level.backdrops[i].kind) +
                         " is not 0 (sky), 1 (cave) or 2 (castle)");
  }
  for (size_t i = 0; i < level.checkpoints.size(); ++i) {
    const LevelCell& cell = level.checkpoints[i];
    if (!InGrid(cell.column, cell.row))
      problems.push_back("checkpoint " + std::to_string(i) + ": cell (" +
                         std::to_string(cell.column) + ", " + std::to_string(cell.row) +
                         ") is off the grid");
  }
  return problems;
}

int32_t BackdropAt(const LevelData& level, int32_t column, int32_t row) {
  for (const LevelBackdrop& region : level.backdrops)
    if (region.area.Contains(column, row))
      return region.kind >= 0 && region.kind < kBackdropKinds ? region.kind : kBackdropSky;
  return kBackdropSky;
}

bool WarpFileNameUsable(const std::string& name) {
  return !name.empty() && name.find('/') == std::string::npos && name != "." && name != ".." &&
         name.find('\0') == std::string::npos;
}
