// Debris, popups, fires and bursts.
#include "world/effects.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/font.h"
#include "engine/random.h"
#include "engine/sprite_batch.h"
#include "engine/texture.h"
#include "player/player.h"
#include "world/numbers.h"
#include "world/score.h"
#include "world/sounds.h"

cDebris* gDebris = nullptr;
cPopups* gPopups = nullptr;
cFireField* gFireField = nullptr;
cBurst* gBurst = nullptr;

namespace {

constexpr int32_t kBreakScore = 50;
constexpr int kPiecesPerBreak = 4;
constexpr int32_t kLastBreakStart = 59;  // the ring wraps past this: 15 breaks of 4 pieces
constexpr float kDebrisGravity = 0.2f;   // px per step per step
constexpr float kLiveTop = 0.0f, kLiveBottom = 2048.0f;  // px: pieces live strictly between
constexpr float kPopupDrop = 20.0f;                      // px below the point asked for
constexpr int32_t kPopupFrames = 50;
constexpr int32_t kFireDrop = 15;  // px below the cell's top
constexpr int32_t kFireBuiltSize[2] = {40, 50};
constexpr int32_t kFireSize = 70;  // px, the hit box and the picture
constexpr int kBurstSize = 30;     // particles per burst
constexpr int32_t kLastBurstStart = 470;
constexpr int32_t kBurstSteps = 40;   // a spray shows this long
constexpr int32_t kBurstSpread = 40;  // px
constexpr int32_t kBurstSpeck = 6;    // px, the drawn size of a particle

Texture* gStoneTextures[2] = {};  // smallstone.png for bricks and stones

bool PieceLive(const DebrisPiece& p) { return p.y > kLiveTop && p.y < kLiveBottom; }

}  // namespace

cDebris::cDebris() {
  if (!gStoneTextures[0]) {
    gStoneTextures[0] = LoadTexture("smallstone.png");
    gStoneTextures[1] = gStoneTextures[0];
  }
}

void cDebris::Break(int32_t column, int32_t row, int32_t texture) {
  if (next > kLastBreakStart) next = 0;
  gScore += kBreakScore;
  for (int i = next; i < next + kPiecesPerBreak; ++i) {
    DebrisPiece& p = pieces[i];
    p.x = float(32 * column);
    p.y = float(32 * row);
    const bool right = Random() % 2 == 1;
    const int size = 2 + Random() % 3;
    p.speedX = float(right ? size : -size);
    p.speedY = float(-4 - Random() % 5);
    p.texture = texture;
  }
  next += kPiecesPerBreak;
  PlaySound(kSoundCrack);
}

void cDebris::Update() {
  for (DebrisPiece& p : pieces) {
    if (!PieceLive(p)) continue;
    p.x += p.speedX;
    p.y += p.speedY;
    p.speedY += kDebrisGravity;
  }
}

void cDebris::Draw() {
  for (const DebrisPiece& p : pieces) {
    if (!PieceLive(p)) continue;
    const Texture* t = gStoneTextures[p.texture == 1 ? 1 : 0];
    if (t) DrawSprite(t, Trunc(p.x), Trunc(p.y), int32_t(t->width), int32_t(t->height), 0);
  }
}

void cPopups::AddPopup(int32_t x, int32_t y, int32_t value) {
  if (value >= 0) gScore += value;
  if (next > kPopupsUsed - 1) next = 0;
  Popup& p = popups[next];
  p.x = float(x);
  p.y = float(y) + kPopupDrop;
  p.age = 0;
  if (value == kPopupOneUp)
    std::snprintf(p.text, sizeof p.text, "1UP");
  else if (value == kPopupFatter)
    std::snprintf(p.text, sizeof p.text, "FATTER");
  else
    std::snprintf(p.text, sizeof p.text, "%d", value);
  ++next;
}

void cPopups::Draw() {
  for (Popup& p : popups) {
    if (!(p.x > 0) || p.age >= kPopupFrames) continue;
    p.y -= 1.0f;
    DrawText(Trunc(p.x), Trunc(p.y), p.text);
    ++p.age;
  }
}

cFireField::cFireField() : texture(LoadTexture("fire.png")) {
  box = {0, 0, kFireBuiltSize[0], kFireBuiltSize[1]};
}

void cFireField::AddFire(int32_t x, int32_t y) {
  if (count >= kMaxFires) return;
  fireX[count] = x;
  fireY[count] = y + kFireDrop;
  ++count;
}

void cFireField::Clear() { count = 0; }

void cFireField::Update() {
  for (int i = 0; i < count; ++i) {
    box = {Trunc(fireX[i]), Trunc(fireY[i]), kFireSize, kFireSize};
    if (!gPlayer || !RectsOverlap(gPlayer->rect, box)) continue;
    // Fire ignores invincibility: a small player dies, a bigger one shrinks.
    if (gPlayer->power == kPowerSmall)
      gPlayer->StartDeath(0);
    else
      gPlayer->SetPower(kPowerSmall);
  }
}

void cFireField::Draw() {
  for (int i = 0; i < count; ++i) DrawSprite(texture, fireX[i], fireY[i], box.w, box.h, 0);
}

cBurst::cBurst() { Clear(); }

void cBurst::AddBurst(int32_t x, int32_t y) {
  if (next > kLastBurstStart) next = 0;
  for (int i = next; i < next + kBurstSize; ++i) {
    BurstParticle& p = particles[i];
    p.x[0] = float(x + Random() % kBurstSpread);
    p.y[0] = float(y + Random() % kBurstSpread);
    p.speedX = float(((Random() % 64) - 32) * 32 / 800.0);
    p.speedY = float((Random() % 1024) / -200.0);
    p.dead = false;
    p.one = 1;
    p.age = 0;
  }
  next += kBurstSize;
}

void cBurst::Clear() {
  for (BurstParticle& p : particles) {
    std::memset(&p, 0, sizeof p);
    p.one = 1;
    p.dead = true;
  }
  next = 0;
}

// The store's particles fly as a short spray: up and out, falling back, gone after a while.
void cBurst::Update() {
  for (BurstParticle& p : particles) {
    if (p.dead) continue;
    p.x[0] += p.speedX;
    p.y[0] += p.speedY;
    p.speedY += kDebrisGravity;
    if (++p.age >= kBurstSteps) p.dead = true;
  }
}

void cBurst::Draw() {
  for (const BurstParticle& p : particles)
    if (!p.dead)
      DrawSprite(gStoneTextures[0], Trunc(p.x[0]), Trunc(p.y[0]), kBurstSpeck, kBurstSpeck, 0);
}

void CoinEffect(int32_t, int32_t, int32_t, int32_t) {}
