// The unit test world and the globals it restores.
#include "tests/units/unit_fixture.h"

#include <algorithm>
#include <iterator>

#include "player/actions.h"
#include "units/unit_table.h"
#include "units/unit_textures.h"
#include "world/camera.h"
#include "world/effects.h"
#include "world/score.h"

struct UnitTest::Saved {
  std::array<cBaseUnit*, kUnitSlots> units;
  cPlayer* player;
  cMap* map;
  int32_t score, coins, lives;
  cPopups* popups;
  cBurst* burst;
  cFireField* fireField;
  cDebris* debris;
  cFireball* fireballs[kFireballCount];
  BumpAnimation bump;
  int32_t blockHitCooldown;
  Texture* turtle[2];
  Texture* shell[4];
  Texture* hammer;
  Texture* blume[2];
  Texture* brett;
  unsigned sounds[kSoundCount];
  float camera[6];
  float cameraDistance;
  float metersMoved;
};

UnitTest::UnitTest() = default;
UnitTest::~UnitTest() = default;

void UnitTest::SetUp() {
  saved = std::make_unique<Saved>();
  Saved& s = *saved;
  std::copy(std::begin(gUnits), std::end(gUnits), s.units.begin());
  s.player = gPlayer;
  s.map = gMap;
  s.score = gScore;
  s.coins = gCoins;
  s.lives = gLives;
  s.popups = gPopups;
  s.burst = gBurst;
  s.fireField = gFireField;
  s.debris = gDebris;
  std::copy(std::begin(gFireballs), std::end(gFireballs), s.fireballs);
  s.bump = gBump;
  s.blockHitCooldown = gBlockHitCooldown;
  std::copy(std::begin(gTurtleTextures), std::end(gTurtleTextures), s.turtle);
  std::copy(std::begin(gShellTextures), std::end(gShellTextures), s.shell);
  s.hammer = gHammerTexture;
  std::copy(std::begin(gBlumeTextures), std::end(gBlumeTextures), s.blume);
  s.brett = gBrettTexture;
  std::copy(std::begin(gSoundPlays), std::end(gSoundPlays), s.sounds);
  std::copy(std::begin(gCamera), std::end(gCamera), s.camera);
  s.cameraDistance = gCameraDistance;
  s.metersMoved = gMetersMoved;

  std::fill(std::begin(gUnits), std::end(gUnits), nullptr);
  // The camera over the first screen, as the game's own distance sets it: it sees world x
  // -99.8 to 419.8 and y 66.8 to 413.2.
  const float camera[6] = {160.0f, 240.0f, -450.0f, 160.0f, 240.0f, 0.0f};
  std::copy(std::begin(camera), std::end(camera), gCamera);
  gCameraDistance = camera[2];
  gMap = map.get();
  Ground(0, 200);
  const int32_t* k = kGamePlayerLayout;
  player = gPlayer = new cPlayer(k[0], k[1], k[2], k[3], k[4], k[5], k[6]);
  player->width = player->height = kPlayerSize;
  player->blinkTimer = 0;
  PlacePlayer(kFarAway, kTestGroundY - kPlayerSize);
  gScore = gCoins = 0;
  gPopups = new cPopups;
  gBurst = new cBurst;
  gFireField = new cFireField;
  gDebris = new cDebris;
  for (cFireball*& fireball : gFireballs) {
    fireball = new cFireball;
    std::fill(std::begin(fireball->textures), std::end(fireball->textures), &picture16);
  }
  gBump.frame = kBumpIdleFrame;
  gBlockHitCooldown = 0;
  std::fill(std::begin(gTurtleTextures), std::end(gTurtleTextures), &picture32);
  std::fill(std::begin(gShellTextures), std::end(gShellTextures), &shell32x29);
  gHammerTexture = &picture32;
  std::fill(std::begin(gBlumeTextures), std::end(gBlumeTextures), &picture32);
  gBrettTexture = &board96x16;
  std::fill(std::begin(gSoundPlays), std::end(gSoundPlays), 0u);
  ClearActions(kActionCount);
}

void UnitTest::TearDown() {
  DeleteAllUnits();
  Saved& s = *saved;
  std::copy(s.units.begin(), s.units.end(), std::begin(gUnits));
  delete gPlayer;
  gPlayer = s.player;
  gMap = s.map;
  gScore = s.score;
  gCoins = s.coins;
  gLives = s.lives;
  delete gPopups;
  gPopups = s.popups;
  delete gBurst;
  gBurst = s.burst;
  delete gFireField;
  gFireField = s.fireField;
  delete gDebris;
  gDebris = s.debris;
  for (int i = 0; i < kFireballCount; ++i) {
    delete gFireballs[i];
    gFireballs[i] = s.fireballs[i];
  }
  gBump = s.bump;
  gBlockHitCooldown = s.blockHitCooldown;
  std::copy(std::begin(s.turtle), std::end(s.turtle), std::begin(gTurtleTextures));
  std::copy(std::begin(s.shell), std::end(s.shell), std::begin(gShellTextures));
  gHammerTexture = s.hammer;
  std::copy(std::begin(s.blume), std::end(s.blume), std::begin(gBlumeTextures));
  gBrettTexture = s.brett;
  std::copy(std::begin(s.sounds), std::end(s.sounds), std::begin(gSoundPlays));
  std::copy(std::begin(s.camera), std::end(s.camera), std::begin(gCamera));
  gCameraDistance = s.cameraDistance;
  gMetersMoved = s.metersMoved;
  ClearActions(kActionCount);
}

void UnitTest::Ground(int c0, int c1, int row) {
  for (int c = c0; c <= c1; ++c) map->groundLayer[CellIndex(c, row)] = 1;
}

void UnitTest::PlacePlayer(float x, float y) {
  player->x = x;
  player->y = y;
  player->RefreshRect();
}

void UnitTest::Steps(int count) {
  for (int i = 0; i < count; ++i) UpdateUnits();
}
