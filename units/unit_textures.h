// Class-wide unit pictures, loaded once at start-up in a fixed order: crawler, spiky,
// turtles, cannon, killer plant, board, hammer, boss.
#pragma once

struct Texture;

extern Texture* gCrawlerTextures[3];  // crawler1.png .. crawler3.png
extern Texture* gSpikyTextures[2];    // spiky1.png, spiky2.png
extern Texture* gFlyTextures[2];      // fly1.png, fly2.png (the winged turtle)
extern Texture* gTurtleTextures[2];   // turtle1.png, turtle2.png
extern Texture* gShellTextures[4];    // shell1.png .. shell4.png
extern Texture* gCannonTextures[3];   // cannon.png, cannon_bulletr.png, cannon_bulletl.png
extern Texture* gBlumeTextures[2];    // blume1.png, blume2.png
extern Texture* gBrettTexture;        // brett.png
extern Texture* gHammerTexture;       // hammer.png
extern Texture* gBossTextures[3];     // boss1.png, boss2.png, boss_hurt.png

// Runs every family's loader in order.
void LoadUnitTextures();
