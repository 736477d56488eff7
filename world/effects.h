// Small world objects with no cells of their own: brick debris, rising score popups that pay
// their points, the level's static fires, particle bursts, and the coin-effect hook.
#pragma once

#include <cstdint>

#include "world/rect.h"

struct Texture;

constexpr int kDebrisPieces = 64;
constexpr int kPopupSlots = 32;
constexpr int kPopupsUsed = 20;
constexpr int kMaxFires = 800;
constexpr int kBurstParticles = 500;
constexpr int32_t kPopupOneUp = 0;    // AddPopup value that shows "1UP" and pays nothing
constexpr int32_t kPopupFatter = -1;  // shows "FATTER" and pays nothing

struct DebrisPiece {
  float speedY, speedX, x, y;
  int32_t texture;
};

class cDebris {
 public:
  cDebris();
  // Breaks a brick (texture 0) or a stone (1) at a cell: 50 points and four flying pieces.
  void Break(int32_t column, int32_t row, int32_t texture);
  void Update();
  void Draw();

  DebrisPiece pieces[kDebrisPieces] = {};
  int32_t next = 0;
};

struct Popup {
  float x, y;
  char text[16];
  int32_t age;  // frames shown
};

class cPopups {
 public:
  // Pays value (when not negative) and shows it rising: 0 shows "1UP", -1 "FATTER".
  void AddPopup(int32_t x, int32_t y, int32_t value);
  void Draw();

  Popup popups[kPopupSlots] = {};
  int32_t next = 0;
};

class cFireField {
 public:
  cFireField();
  void AddFire(int32_t x, int32_t y);
  void Clear();
  void Update();
  void Draw();

  Texture* texture = nullptr;
  Rect box;
  int32_t fireX[kMaxFires] = {};
  int32_t fireY[kMaxFires] = {};
  int32_t count = 0;
};

struct BurstParticle {
  float x[10], y[10];
  float speedX, speedY;
  int32_t one;
  bool dead;
  int32_t age;  // steps flown
};

// Bursts of particles where something is destroyed: a short spray of small stones.
class cBurst {
 public:
  cBurst();
  void AddBurst(int32_t x, int32_t y);
  void Clear();
  void Update();
  void Draw();

  BurstParticle particles[kBurstParticles];
  int32_t next = 0;
};

extern cDebris* gDebris;
extern cPopups* gPopups;
extern cFireField* gFireField;
extern cBurst* gBurst;

// The coin-effect hook: called for coins and coin boxes; shows nothing.
void CoinEffect(int32_t column, int32_t row, int32_t a, int32_t b);
