// The level source text's names for codes, its default characters and its reference, as the
// tools and the editor show them.
#include <string>
#include <vector>

#include "world/level_legend.h"
#include "world/level_text.h"
#include "world/messages.h"

namespace {

using namespace level_legend;

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

std::vector<LevelSymbol> DefaultLevelSymbols() {
  std::vector<LevelSymbol> symbols;
  for (const DefaultSymbol& entry : kDefaultSymbols) {
    const Values& v = entry.values;
    symbols.push_back({entry.symbol, v[0], v[1], v[2], v[3], v[4], v[5], entry.note});
  }
  return symbols;
}
