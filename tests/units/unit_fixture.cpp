// The unit test world and the globals it restores.
#include "tests/units/unit_fixture.h"

#include "player/actions.h"
#include "units/unit_table.h"
#include "units/unit_textures.h"
#include "world/camera.h"
#include "world/effects.h"
#include "world/score.h"

void UnitTest::SetUp() {
  kept.Keep(gUnits, gPlayer, gMap, gScore, gCoins, gLives, gPopups, gBurst, gFireField, gDebris,
            gFireballs, gBump, gBlockHitCooldown, gTurtleTextures, gShellTextures, gHammerTexture,
            gBlumeTextures, gBrettTexture, gSoundPlays, gCamera, gCameraDistance, gMetersMoved);
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
  delete gPlayer;
  delete gPopups;
  delete gBurst;
  delete gFireField;
  delete gDebris;
  for (cFireball* fireball : gFireballs) delete fireball;
  kept.Restore();
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
