// Notes and warnings on a readable level: where the player starts, a missing start, message
// triggers without a message, links and labels to nothing, signs too high to read.
#include "world/level_checks.h"

#include "world/level_text.h"

namespace {

// The camera shows four rows above the player's head and the heads-up display covers the top
// two, so a text more rows than this above the ground it is read from prints over the
// display, or off the screen, while the player walks beneath it.
constexpr int kReadableTextRows = 3;

}  // namespace

// Shown texts too high above the ground under them to be read from it; a text with no ground
// under it is read from wherever the player gets to, so it is left alone.
std::vector<std::string> HighTexts(const LevelData& level) {
  std::vector<std::string> notes;
  const int columns = level.CellCount() / kMapRows;
  const auto at = [&](int layer, int column, int row) {
    return level.layers[size_t(layer)][size_t(CellIndex(column, row))];
  };
  for (int column = 0; column < columns; ++column)
    for (int row = 0; row < kMapRows; ++row) {
      const int32_t label = at(kFileLabel, column, row);
      if (label < 0 || size_t(label) >= level.texts.size() || at(kFileReveal, column, row) != 1)
        continue;
      int ground = row + 1;
      while (ground < kMapRows && !at(kFileGround, column, ground) &&
             !at(kFileBlock, column, ground))
        ++ground;
      const int rowsAbove = ground - row - 1;  // the rows between the text and the ground
      if (ground >= kMapRows || rowsAbove <= kReadableTextRows) continue;
      notes.push_back("text " + std::to_string(label) + " \"" + level.texts[size_t(label)].text +
                      "\" at (" + std::to_string(column) + ", " + std::to_string(row) + ") is " +
                      std::to_string(rowsAbove) +
                      " rows above the ground under it: walking there, it shows over the "
                      "heads-up display or off the screen");
    }
  return notes;
}

// Things a designer likely did not mean, though the game reads them without harm.
std::vector<std::string> LevelNotes(const LevelData& level) {
  std::vector<std::string> notes;
  if (!StartCell(level))
    notes.push_back("no cell links a start trigger (kind 3): the player starts at (0, 0)");
  for (size_t i = 0; i < level.triggers.size(); ++i)
    if (level.triggers[i].kind == kTriggerMessage && !TriggerMessage(int32_t(i)))
      notes.push_back("trigger " + std::to_string(i) +
                      ": a message trigger shows nothing unless its index is 53 to 67");
  size_t danglingLinks = 0, danglingLabels = 0;
  for (int32_t link : level.layers[kFileTrigger])
    if (link >= 0 && size_t(link & kLinkIndexMask) >= level.triggers.size()) ++danglingLinks;
  for (int32_t label : level.layers[kFileLabel])
    if (label >= 0 && size_t(label) >= level.texts.size()) ++danglingLabels;
  if (danglingLinks)
    notes.push_back(std::to_string(danglingLinks) +
                    " cells link a trigger past the level's triggers: they do nothing");
  if (danglingLabels)
    notes.push_back(std::to_string(danglingLabels) +
                    " cells show a text past the level's texts: they show nothing");
  return notes;
}

std::optional<std::pair<int, int>> StartCell(const LevelData& level) {
  const std::vector<int32_t>& links = level.layers[kFileTrigger];
  int32_t startTrigger = -1;
  size_t startCell = 0;
  for (size_t cell = 0; cell < links.size(); ++cell) {
    if (links[cell] < 0) continue;
    const int32_t index = links[cell] & kLinkIndexMask;
    if (size_t(index) < level.triggers.size() &&
        level.triggers[size_t(index)].kind == kTriggerStart && index >= startTrigger) {
      startTrigger = index;
      startCell = cell;
    }
  }
  if (startTrigger < 0) return std::nullopt;
  return std::pair<int, int>(int(startCell / kMapRows), int(startCell % kMapRows));
}
