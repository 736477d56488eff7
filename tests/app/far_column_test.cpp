// The far end of the map plays as its start: one scene built at columns 40, 2100 and 4000,
// played by the same script, gives the same trace and the same pictures shifted by the distance.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "app/sim.h"
#include "engine/font.h"
#include "engine/gl_record.h"
#include "engine/texture.h"
#include "player/fireballs.h"
#include "player/player.h"
#include "tests/support/scratch_data.h"
#include "units/enemy.h"
#include "units/unit_table.h"
#include "world/bonus.h"
#include "world/camera.h"
#include "world/level_file.h"
#include "world/map.h"
#include "world/messages.h"
#include "world/score.h"

namespace {

constexpr int kNearColumn = 40;
constexpr int kMiddleColumn = 2100;  // past 65536 px, where floats step as at column 4000
constexpr int kFarColumn = 4000;
constexpr int kGroundRow = 20;
constexpr int kFrames = 420;

// Ground, coins, a growth box, a crawler and a turtle coming, a spawn trigger that drops one
// more, a revealed text, a message trigger, and a warp back to the start, all from `base`.
std::string SceneDir(const std::string& name, int base) {
  LevelData level = EmptyLevel();
  auto at = [&](LevelLayer layer, int column, int row) -> int32_t& {
    return level.layers[layer][size_t(CellIndex(base + column, row))];
  };
  for (int c = -12; c < 60; ++c) at(kFileGround, c, kGroundRow) = 1;
  for (int c : {3, 4, 5}) at(kFileCoin, c, kGroundRow - 1) = 1;
  at(kFileBlock, 8, kGroundRow - 3) = 4;  // growth box: a fire bonus for a big player
  at(kFileUnit, 22, kGroundRow - 1) = 0 + 1;
  at(kFileUnit, 27, kGroundRow - 1) = 1 + 1;
  at(kFileLabel, 2, kGroundRow - 5) = 0;
  at(kFileReveal, 2, kGroundRow - 5) = 1;
  level.texts = {LevelText{0, "FAR AND NEAR"}};
  level.triggers.assign(54, LevelTrigger{kTriggerNothing, 0, 0, 0, 0, 0, 0});
  level.triggers[0] = {kTriggerStart, 0, 0, 0, 0, 0, 0};
  level.triggers[1] = {kTriggerSpawn, 0, 0, base + 25, base + 25, kGroundRow - 6, kGroundRow - 6};
  level.triggers[53] = {kTriggerMessage, 0, 0, 0, 0, 0, 0};  // the first message
  at(kFileTrigger, 0, kGroundRow - 1) = 0;
  at(kFileTrigger, 12, kGroundRow - 1) = 1;
  at(kFileTrigger, 14, kGroundRow - 1) = 53;
  level.hasWarpSection = true;
  level.warps = {LevelWarp{(base + 40) * kCellSize, (kGroundRow - 1) * kCellSize, 2, 0, "level"}};
  return ScratchDataDir(name, level);
}

// Right all the way to the warp, a jump under the box, and fire every few frames.
std::string Script() {
  std::string script = "0 key right down\n26 key jump down\n34 key jump up\n";
  for (int frame = 10; frame < kFrames; frame += 12)
    script +=
        std::to_string(frame) + " key fire down\n" + std::to_string(frame + 6) + " key fire up\n";
  return script;
}

// Everything that can be somewhere, with world x measured from the scene's base. Counts, kinds
// and flags go into the text; positions into `numbers`, each marked '~' in the text.
std::string State(double shift, std::vector<double>& numbers) {
  auto Number = [&](double value) {
    numbers.push_back(value);
    return std::string("~");
  };
  std::string s;
  auto add = [&](const char* name, const std::string& value) {
    s += std::string(name) + value + " ";
  };
  const cPlayer& p = *gPlayer;
  add("player", Number(p.x - shift) + "," + Number(p.y) + " v" + Number(p.speedX) + "," +
                    Number(p.speedY) + " rect" + Number(p.rect.x - shift) + "," + Number(p.rect.y) +
                    " power" + std::to_string(p.power) + (p.dying ? " dying" : "") +
                    (p.onGround ? " ground" : ""));
  add("camera", Number(gCamera[0] - shift) + "," + Number(gCamera[1]));
  add("score", std::to_string(gScore) + " coins" + std::to_string(gCoins) + " message" +
                   std::to_string(gMessageIndex));
  for (int slot = 0; slot < kUnitSlots; ++slot) {
    if (!gUnits[slot]) continue;
    float x = 0, y = 0;
    UnitPosition(*gUnits[slot], x, y);
    add("unit", std::to_string(slot) + ":" + std::to_string(gUnits[slot]->type) + "@" +
                    Number(x - shift) + "," + Number(y));
    if (const auto* e = dynamic_cast<const cEnemy*>(gUnits[slot]))
      add("rect", Number(e->rect.x - shift) + "," + Number(e->rect.y) +
                      (e->knockedOff ? " off" : "") + (e->dead ? " dead" : ""));
  }
  for (const cFireball* f : gFireballs)
    if (f->active)
      add("fireball", Number(f->x - shift) + "," + Number(f->y) + " rect" +
                          Number(f->rect.x - shift) + "," + Number(f->rect.y));
  for (const cBonus* b : gBonuses)
    if (b->active)
      add("bonus", std::to_string(b->kind) + "@" + Number(b->x - shift) + "," + Number(b->y) +
                       " rect" + Number(b->rect.x - shift));
  int coinsLeft = 0, links = 0;
  for (int cell = 0; cell < kMapCells; ++cell) {
    coinsLeft += gMap->coinLayer[cell] != 0;
    links += gMap->triggerLayer[cell] >= 0;
  }
  add("cells", std::to_string(coinsLeft) + " coins, " + std::to_string(links) + " links");
  add("warp",
      std::to_string(gMap->warps[0].x - int(shift)) + "," + std::to_string(gMap->warps[0].y));
  return s;
}

struct Frame {
  std::string state;
  std::vector<double> numbers;
  std::vector<GlRecordedDraw> worldDraws;
  bool text = false;  // the font's picture among the world's drawing
};

// Plays the script on the scene at `base`, keeping each frame's state and world drawing.
std::vector<Frame> Play(cGlRecorder& gl, const std::string& name, int base) {
  cSimulation sim;
  std::string error;
  EXPECT_TRUE(sim.Start(SceneDir(name, base), error)) << error;
  std::vector<SimEvent> events;
  EXPECT_TRUE(ParseSimScript(Script(), events, error)) << error;
  gPlayer->SetPower(kPowerFire);
  const double shift = double(base) * kCellSize;
  // Each run loads its own textures: a picture is known by when the run first drew it.
  std::map<GLuint, GLuint> order;
  std::vector<Frame> frames;
  for (int frame = 0; frame < kFrames; ++frame) {
    gl.draws.clear();
    gl.ClearLog();
    sim.RunFrame(events);
    // The world pass starts where the camera is set (after the outdoor backdrop's flat pass)
    // and ends where the heads-up pass sets up its flat projection.
    size_t backdropDraws = 0, worldDraws = 0;
    bool inWorld = false;
    for (const std::string& call : gl.calls) {
      if (inWorld && call.rfind("Ortho", 0) == 0) break;
      inWorld |= call.rfind("MultMatrixf", 0) == 0;
      if (call.rfind("DrawArrays", 0) == 0) ++(inWorld ? worldDraws : backdropDraws);
    }
    gl.draws.resize(std::min(backdropDraws + worldDraws, gl.draws.size()));
    gl.draws.erase(gl.draws.begin(),
                   gl.draws.begin() + std::ptrdiff_t(std::min(backdropDraws, gl.draws.size())));
    bool text = false;
    for (GlRecordedDraw& draw : gl.draws) {
      text |= gFontTexture && draw.texture == gFontTexture->glName;
      draw.texture = order.emplace(draw.texture, GLuint(order.size())).first->second;
    }
    Frame& kept = frames.emplace_back();
    kept.state = State(shift, kept.numbers);
    kept.worldDraws = gl.draws;
    kept.text = text;
  }
  return frames;
}

class FarColumnTest : public GameFolderTest {
 protected:
  // The same events on the same frames, and every position within `slack` px once shifted;
  // with `draws`, the same pictures at the same places too.
  static void ExpectAlike(const std::vector<Frame>& a, const std::vector<Frame>& b, float shift,
                          double slack, bool draws) {
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
      SCOPED_TRACE("frame " + std::to_string(i));
      ASSERT_EQ(a[i].state, b[i].state);
      ASSERT_EQ(a[i].numbers.size(), b[i].numbers.size());
      for (size_t n = 0; n < a[i].numbers.size(); ++n)
        ASSERT_NEAR(a[i].numbers[n], b[i].numbers[n], slack) << "number " << n;
      if (!draws) continue;
      ASSERT_EQ(a[i].worldDraws.size(), b[i].worldDraws.size());
      for (size_t d = 0; d < a[i].worldDraws.size(); ++d) {
        const GlRecordedDraw &da = a[i].worldDraws[d], &db = b[i].worldDraws[d];
        ASSERT_EQ(da.texture, db.texture);
        ASSERT_EQ(da.vertices.size(), db.vertices.size());
        for (size_t v = 0; v < da.vertices.size(); ++v) {
          const GlRecordedVertex &va = da.vertices[v], &vb = db.vertices[v];
          ASSERT_EQ(va.x + shift, vb.x) << "draw " << d << " vertex " << v;
          ASSERT_EQ(va.y, vb.y) << "draw " << d << " vertex " << v;
          ASSERT_EQ(va.u, vb.u);
          ASSERT_EQ(va.v, vb.v);
          ASSERT_NEAR(va.screenX, vb.screenX, 0.01f);
          ASSERT_NEAR(va.screenY, vb.screenY, 0.01f);
        }
      }
    }
  }
};

TEST_F(FarColumnTest, TheSceneAtColumn4000PlaysAndDrawsAsAtColumn40) {
  // One recorder for every run: the ground pictures the map keeps stay valid names.
  cGlRecorder gl;
  const std::vector<Frame> near = Play(gl, "near_scene", kNearColumn);
  const std::vector<Frame> middle = Play(gl, "middle_scene", kMiddleColumn);
  const std::vector<Frame> far = Play(gl, "far_scene", kFarColumn);

  // The scene must really play: coins taken, fire thrown, enemies struck, a bonus item out,
  // the text drawn and the warp taken.
  bool fired = false, struck = false, bonus = false, warped = false, text = false;
  for (size_t i = 0; i < near.size(); ++i) {
    text |= near[i].text;
    fired |= near[i].state.find("fireball") != std::string::npos;
    struck |= near[i].state.find(" off") != std::string::npos;
    bonus |= near[i].state.find("bonus") != std::string::npos;
    if (i > 0)
      warped |= near[i].state.find("cells3 coins") != std::string::npos &&
                near[i - 1].state.find("cells3 coins") == std::string::npos;
  }
  EXPECT_TRUE(fired);
  EXPECT_TRUE(struck);
  EXPECT_TRUE(bonus);
  EXPECT_TRUE(warped);
  EXPECT_TRUE(text);

  // A float 128000 px along holds 1/128 px steps where one 1280 px along holds 1/8192: the
  // same fractional moves round a hair apart, and a box truncated from them may sit a pixel
  // to one side; the pictures then follow that pixel. Everything that happens is the same.
  {
    SCOPED_TRACE("column 40 against column 4000");
    ExpectAlike(near, far, float((kFarColumn - kNearColumn) * kCellSize), 1.5, false);
  }
  // Between two places with the same float steps (65536 px and on), not a pixel differs,
  // drawing included.
  {
    SCOPED_TRACE("column 2100 against column 4000");
    ExpectAlike(middle, far, float((kFarColumn - kMiddleColumn) * kCellSize), 0.0, true);
  }
}

}  // namespace
