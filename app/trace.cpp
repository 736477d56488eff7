// The game's state after a frame as one JSON line.
#include "app/trace.h"

#include <cstdio>

#include "app/checkpoints.h"
#include "app/results.h"
#include "player/player.h"
#include "units/unit_table.h"
#include "world/camera.h"
#include "world/messages.h"
#include "world/score.h"
#include "world/sounds.h"

namespace {

std::string Float(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", double(value));
  return text;
}

}  // namespace

std::string TraceJson(int frame, const std::vector<int>& frameSounds, bool withUnits) {
  const cPlayer* p = gPlayer;
  std::string line = "{\"frame\":" + std::to_string(frame);
  auto add = [&](const char* key, const std::string& value) {
    line += ",\"";
    line += key;
    line += "\":";
    line += value;
  };
  auto flag = [](bool value) { return std::string(value ? "true" : "false"); };
  add("x", Float(p ? p->x : 0));
  add("y", Float(p ? p->y : 0));
  add("vx", Float(p ? p->speedX : 0));
  add("vy", Float(p ? p->speedY : 0));
  add("w", std::to_string(p ? p->width : 0));
  add("h", std::to_string(p ? p->height : 0));
  add("power", std::to_string(p ? p->power : 0));
  add("star", std::to_string(p ? p->starTimer : 0));
  add("blink", std::to_string(p ? p->blinkTimer : 0));
  add("dying", flag(p && p->dying));
  add("onGround", flag(p && p->onGround));
  add("jumpTimer", std::to_string(p ? p->jumpTimer : 0));
  add("score", std::to_string(gScore));
  add("coins", std::to_string(gCoins));
  add("lives", std::to_string(gLives));
  add("message", std::to_string(gMessageIndex));
  add("meters", Float(gMetersMoved));
  add("camX", Float(gCamera[0]));
  add("camY", Float(gCamera[1]));
  std::string sounds = "[";
  for (size_t i = 0; i < frameSounds.size(); ++i) {
    if (i) sounds += ",";
    sounds += "\"" + std::string(kSoundFiles[frameSounds[i]]) + "\"";
  }
  add("sounds", sounds + "]");
  if (withUnits) {
    std::string units = "[";
    for (int slot = 0; slot < kUnitSlots; ++slot) {
      const cBaseUnit* unit = gUnits[slot];
      float x = 0, y = 0;
      if (!unit) continue;
      UnitPosition(*unit, x, y);
      if (units.size() > 1) units += ",";
      units += "{\"slot\":" + std::to_string(slot) + ",\"type\":" + std::to_string(unit->type) +
               ",\"x\":" + Float(x) + ",\"y\":" + Float(y) + "}";
    }
    add("units", units + "]");
  }
  add("completed", flag(gGoalReached));
  add("checkpoint", std::to_string(gCheckpointReached));
  return line + "}";
}
