// The level editor's seam in the browser: the level compiler, the writer and the checks the
// tools use, called from the editor page (and from a page opening a shared level) on level
// files kept in the page's memory. No screen and no main loop: the page draws the level.
#include <emscripten.h>

#include <cstdint>
#include <string>
#include <vector>

#include "world/level_checks.h"
#include "world/level_pictures.h"
#include "world/level_text.h"
#include "world/messages.h"

namespace {

std::vector<uint8_t> gBytes;  // the last level built
std::string gText;            // the last text written, error or list of warnings

std::string Joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

template <size_t N>
std::string NameList(const char* (*name)(int32_t), const int32_t (&codes)[N]) {
  std::string out = "{";
  for (int32_t code : codes)
    if (const char* n = name(code))
      out += (out.size() > 1 ? "," : "") + Quoted(std::to_string(code)) + ":" + Quoted(n);
  return out + "}";
}

bool Parse(const uint8_t* bytes, int size, LevelData& level) {
  std::string error;
  if (ParseLevel(bytes, size_t(size), level, error)) return true;
  gText = error;
  return false;
}

}  // namespace

extern "C" {

// Builds level source text (or reads a binary level file) into the level file's bytes,
// kept for editor_bytes. False with the compiler's faults, one a line, in editor_text.
EMSCRIPTEN_KEEPALIVE int editor_build(const uint8_t* input, int size, const char* fileName) {
  const std::string_view text(reinterpret_cast<const char*>(input), size_t(size));
  LevelData level;
  std::string error;
  gText.clear();
  // A binary level file starts with its grid's size, zero bytes among them; a source text
  // holds none.
  if (text.substr(0, 8).find('\0') != std::string_view::npos) {
    if (!ParseLevel(input, size_t(size), level, error)) {
      gText = std::string(fileName) + ": " + error + "\n";
      return 0;
    }
  } else {
    std::vector<std::string> errors;
    if (!CompileLevelText(text, fileName, level, errors)) {
      gText = Joined(errors);
      return 0;
    }
  }
  gBytes = SerializeLevel(level);
  return 1;
}

EMSCRIPTEN_KEEPALIVE const uint8_t* editor_bytes() { return gBytes.data(); }
EMSCRIPTEN_KEEPALIVE int editor_bytes_size() { return int(gBytes.size()); }
EMSCRIPTEN_KEEPALIVE const char* editor_text() { return gText.c_str(); }

// The source text of a level file, as brinkhop-level dump writes it.
EMSCRIPTEN_KEEPALIVE int editor_write(const uint8_t* bytes, int size) {
  LevelData level;
  if (!Parse(bytes, size, level)) return 0;
  gText = DecompileLevel(level);
  return 1;
}

// What the level tool's check reports, one a line: problems the game would refuse or cut,
// notes and warnings, and a level with no goal.
EMSCRIPTEN_KEEPALIVE int editor_check(const uint8_t* bytes, int size) {
  LevelData level;
  if (!Parse(bytes, size, level)) return 0;
  std::vector<std::string> lines = LevelProblems(level);
  for (const std::string& note : LevelNotes(level)) lines.push_back(note);
  for (const std::string& warning : HighTexts(level)) lines.push_back(warning);
  if (!level.hasGoal) lines.push_back("no goal: the level never ends");
  gText = Joined(lines);
  return 1;
}

// The names and pictures of codes, the messages, and the level text reference, as JSON.
EMSCRIPTEN_KEEPALIVE const char* editor_tables() {
  int32_t codes[64];
  for (int i = 0; i < 64; ++i) codes[i] = i;
  std::string messages = "[";
  for (int i = 0; i < kMessageCount; ++i) messages += (i ? "," : "") + Quoted(kMessages[i]);
  messages += "]";
  std::string triggerMessages = "{";
  for (int32_t t = 0; t < kMaxTriggers; ++t)
    if (MessageOfTrigger(t) != kNoMessage)
      triggerMessages += (triggerMessages.size() > 1 ? "," : "") + Quoted(std::to_string(t)) + ":" +
                         std::to_string(MessageOfTrigger(t));
  triggerMessages += "}";
  std::string symbols = "[";
  for (const LevelSymbol& s : DefaultLevelSymbols()) {
    symbols += (symbols.size() > 1 ? "," : "") + std::string("{\"symbol\":") +
               Quoted(std::string(1, s.symbol)) + ",\"note\":" + Quoted(s.note) + ",\"cell\":[";
    for (int32_t value : {s.ground, s.coin, s.block, s.unit, s.deco, s.reveal})
      symbols += std::to_string(value) + ",";
    symbols.back() = ']';
    symbols += "}";
  }
  symbols += "]";
  gText = "{\"pictures\":" + PictureTableJson() + ",\"blocks\":" + NameList(BlockCodeName, codes) +
          ",\"decos\":" + NameList(DecoCodeName, codes) +
          ",\"units\":" + NameList(UnitTypeName, codes) +
          ",\"kinds\":" + NameList(TriggerKindName, codes) + ",\"messages\":" + messages +
          ",\"triggerMessages\":" + triggerMessages + ",\"symbols\":" + symbols + "}";
  return gText.c_str();
}
}
