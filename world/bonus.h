// Bonus items: released by boxes, they rise out, move, fall and act on the player on touch.
#pragma once

#include <cstdint>

#include "world/rect.h"

struct Texture;

constexpr int kBonusSlots = 258;
constexpr int kBonusKinds = 6;
constexpr int32_t kRiseSteps = 32;

enum BonusKind : int32_t {
  kBonusGrow = 0,     // grow to power 1, "FATTER"
  kBonusFire = 1,     // power 2, or 1000 points if already there
  kBonusStar = 2,     // 500 steps of invincibility
  kBonusLife = 3,     // an extra life, "1UP"
  kBonusPoison = 4,   // kills
  kBonusFalling = 5,  // kills; falls through everything
};

class cBonus {
 public:
  cBonus();
  void Spawn(int32_t column, int32_t row, int32_t kind);
  void Update();
  void Draw();

  float speedY = 0, speedX = 0;
  float x = 0, y = 0;
  float angle = 0.0f;
  Rect rect = {0, 0, 0, 0};
  int32_t kind = 0;
  int32_t riseCounter = 0;
  bool onGround = false, wallLeft = false, wallRight = false, ceiling = false;
  bool active = false;
};

extern cBonus* gBonuses[kBonusSlots];

// The lowest-numbered item not in play, or null when all are.
cBonus* FirstFreeBonus();
// Every item goes out (level reset).
void DeactivateBonuses();
