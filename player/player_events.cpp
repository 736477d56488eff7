// What tiles do to the player (cracked platforms, jump pads, deadly ground and ceiling), its
// power, its death and the dying animation, invincibility and pipe warps.
#include "player/player.h"
#include "units/unit_table.h"
#include "world/blocks.h"
#include "world/map.h"
#include "world/numbers.h"
#include "world/sounds.h"

namespace {

constexpr int32_t kCrackWindowBefore = 10;  // cells left of and above the centre cell
constexpr int32_t kCrackWindowAfter = 9;    // cells right of and below it
constexpr float kJumpPadSpeed = -30.0f;     // px per step
constexpr int32_t kShrinkBlink = 400;       // steps
constexpr int32_t kGrowBlink = 200;         // steps
constexpr int32_t kDeathSteps = 64;
constexpr float kSunkenY = 2112.0f;  // px: the dead player stops sinking here (66 x 32)

int32_t Block(int32_t x, int32_t y) { return gMap ? gMap->BlockCodeAt(x, y) : 0; }
int32_t Deco(int32_t x, int32_t y) { return gMap ? gMap->DecoCodeAt(x, y) : 0; }

}  // namespace

void cPlayer::TileEvents(int32_t centreColumn, int32_t centreRow) {
  const int32_t footY = Trunc(y + 3 + height);
  const int32_t leftX = Trunc(x + 3), rightX = Trunc(x + width - 3);
  auto feetOn = [&](auto query, int32_t code) {
    return query(leftX, footY) == code || query(rightX, footY) == code;
  };

  if (!dying && gMap && onGround && feetOn(Block, kBlockCracked))
    for (int32_t c = centreColumn - kCrackWindowBefore; c <= centreColumn + kCrackWindowAfter; ++c)
      for (int32_t r = centreRow - kCrackWindowBefore; r <= centreRow + kCrackWindowAfter; ++r)
        gMap->HitBlock(c, r, kBlockCracked);
  if (!dying && speedY > 0 && feetOn(Deco, kDecoJumpPad)) speedY = kJumpPadSpeed;
  if (!dying && speedY > 0 && starTimer == 0 && feetOn(Deco, kDecoDeadlyA)) StartDeath(0);
  if (!dying && speedY < 0 && starTimer == 0 &&
      (Deco(leftX, Trunc(y - 1)) == kDecoDeadlyB || Deco(rightX, Trunc(y - 1)) == kDecoDeadlyB))
    StartDeath(0);
}

void cPlayer::SetPower(int32_t level) {
  if (starTimer != 0) return;
  if (level < power) {
    PlaySound(kSoundShrink);
    blinkTimer = kShrinkBlink;
  } else {
    PlaySound(kSoundGrow);
    blinkTimer = kGrowBlink;
  }
  power = level;
  width = kPlayerSize;
  height = kPlayerSize;
}

void cPlayer::StartDeath(int32_t) {
  if (dying) return;
  PlaySound(kSoundDie);
  dying = true;
  deathTimer = kDeathSteps;
}

void cPlayer::DyingStep() {
  if (y < kSunkenY) y += 1;
  --deathTimer;
}

void cPlayer::InvincibilityStep() {
  if (starTimer == 0) return;
  --starTimer;
  blinkTimer = starTimer;
  // Everything the invincible player runs into is knocked off or killed.
  StrikeUnitsTouching(rect);
}
