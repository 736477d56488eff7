// Shell rest, slide, kicks and block strikes; the winged turtle's hops and its stomp.
#include "units/turtle.h"

#include "engine/sprite_batch.h"
#include "engine/texture.h"
#include "player/player.h"
#include "units/unit_table.h"
#include "units/unit_textures.h"
#include "world/effects.h"
#include "world/map.h"
#include "world/numbers.h"
#include "world/sounds.h"

namespace {

constexpr int32_t kTurtleSize = 32;  // px, both ways, out of the shell
constexpr int32_t kTurtlePoints = 200;
constexpr int32_t kShellHeight = 29;   // px
constexpr int32_t kShellRest = 500;    // steps a shell rests before the turtle comes out
constexpr int32_t kShellOpens = 1;     // ... at this count
constexpr int32_t kShellSpeed = 7;     // px per step
constexpr int32_t kWalkOutSpeed = -2;  // px per step: out of the shell, walking left
constexpr int32_t kShellStompPoints = 100;
constexpr int32_t kKickPoints = 400;
constexpr float kKickShove = 25.0f;            // px sideways, away from the kicking player
constexpr float kKickLift = 10.0f;             // px up
constexpr int32_t kShellReach = 15;            // px beyond each side where a shell strikes blocks
constexpr double kStrikeHeightDivisor = 1.25;  // strikes at four fifths of the shell's height
constexpr int32_t kHeadInset = 3;              // px in from the sides, at the top
constexpr int32_t kHopRiseSteps = 15;          // steps of a hop that push upwards
constexpr int32_t kHopAfterHead = 30;          // a head against a ceiling ends the hop
constexpr float kHopSpeed = -4.0f;             // px per step, up
constexpr int32_t kFlyPoints = 200;

// A missing picture must not make a turtle zero pixels high.
int32_t PictureHeight(const Texture* picture, int32_t fallback) {
  const uint32_t height = TextureHeight(picture);
  return height ? int32_t(height) : fallback;
}

int32_t Solid(float x, float y) { return gMap ? gMap->SolidAt(Trunc(x), Trunc(y)) : 0; }

// Kicks a resting shell away from the player's side: -1 to the left, +1 to the right.
void Kick(cTurtle& shell, int32_t direction) {
  shell.x += kKickShove * float(direction);
  shell.y -= kKickLift;
  shell.speedX = kShellSpeed * direction;
  if (gPopups) gPopups->AddPopup(Trunc(shell.x), Trunc(shell.y), kKickPoints);
  PlayUnitSound(kSoundKick, shell.x, shell.y);
}

}  // namespace

cTurtle::cTurtle(float x, float y) : cEnemy(x, y) {
  type = kUnitTurtle;
  width = height = kTurtleSize;
  points = kTurtlePoints;
}

void cTurtle::Stomp() {
  gPlayer->speedY = kStompBounce;
  PlayUnitSound(kSoundShell, x, y);
  shellTimer = kShellRest;
  walksOffEdges = true;  // for good, also once it is out again
  if (gPopups) gPopups->AddPopup(Trunc(x), Trunc(y), kShellStompPoints);
  height = kShellHeight;
  speedX = speedX == 0 ? kShellSpeed : 0;
}

void cTurtle::Touch() {
  if (knockedOff) return;
  if (InShell() && speedX == 0 && --shellTimer == kShellOpens) {
    const int32_t walkingHeight = PictureHeight(gTurtleTextures[0], kTurtleSize);
    height = walkingHeight;
    y -= float(walkingHeight - PictureHeight(gShellTextures[0], kShellHeight));
    speedX = kWalkOutSpeed;
    shellTimer = 0;
  }
  if (Sliding()) {
    StrikeUnitsUnderShell(*this);
    if (gMap) {
      gMap->shellHit = 1;
      if (wallRight || wallLeft) {
        const int32_t strikeY = Trunc(double(y) + double(height) / kStrikeHeightDivisor);
        gMap->HeadBump(Trunc(x + float(width + kShellReach)), strikeY, Trunc(x - kShellReach),
                       strikeY);
      }
      gMap->shellHit = 0;
    }
  }
  if (!gPlayer) return;
  const bool harmful = !InShell() || Sliding();
  if (PlayerTouchesRightHalf()) {
    if (harmful)
      HurtPlayer();
    else
      Kick(*this, -1);
  } else if (PlayerTouchesLeftHalf()) {
    if (harmful)
      HurtPlayer();
    else
      Kick(*this, +1);
  }
}

void cTurtle::Render() {
  if (dead) return;
  rect.w = int32_t(width);
  rect.h = int32_t(height);
  if (InShell())
    DrawSprite(gShellTextures[animFrame], rect.x, rect.y, width, height, 0);
  else
    DrawSprite(gTurtleTextures[animFrame], rect.x, rect.y, width, height, speedX < 0 ? 1 : 0);
}

cTurtleFly::cTurtleFly(float x, float y) : cEnemy(x, y) {
  type = kUnitTurtleFly;
  width = height = kTurtleSize;
  points = kTurtlePoints;
}

void cTurtleFly::Touch() {
  if (knockedOff) return;
  if (Solid(x + kHeadInset, y) != 0 || Solid(x + float(width - kHeadInset), y) != 0) {
    hopTimer = kHopAfterHead;
    onGround = false;
  }
  if (hopTimer < kHopRiseSteps) {
    y += kHopSpeed;
    speedY = kHopSpeed;
    ++hopTimer;
  }
  if (onGround) hopTimer = 0;
  if (gPlayer && (PlayerTouchesRightHalf() || PlayerTouchesLeftHalf())) HurtPlayer();
}

void cTurtleFly::Stomp() {
  gPlayer->speedY = kStompBounce;
  PlayUnitSound(kSoundShell, x, y);
  if (gPopups) gPopups->AddPopup(Trunc(x), Trunc(y), kFlyPoints);
  dead = true;
  // Only a free slot: a full table leaves no turtle rather than evicting another unit.
  const int slot = FirstFreeUnitSlot();
  if (slot >= 0) gUnits[slot] = new cTurtle(float(Trunc(x)), float(Trunc(y)));
}

void cTurtleFly::Render() {
  if (dead) return;
  // Drawn twice the size, centred on the body, so the wings spread round it.
  rect.w = int32_t(2 * width);
  rect.h = int32_t(2 * height);
  const Texture* picture = gFlyTextures[animFrame == 0 ? 1 : 0];
  DrawSprite(picture, rect.x - width / 2, rect.y - width / 2, 2 * width, 2 * height,
             speedX < 0 ? 1 : 0);
}
