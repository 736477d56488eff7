// The resource bank: sounds, the shared textures, the map's block textures, the unit
// pictures, the buttons and the font, loaded once at start-up in a fixed order.
#pragma once

#include <string>

struct Texture;

constexpr float kDefaultCameraDistance = -450.0f;  // world pixels, the camera's eye z

extern Texture* gControlImage;  // control.png: left, right, jump, restart and start buttons
extern Texture* gSocialImage;   // social.png: the retry button

// Needs the map: it fills the map's block texture table.
void LoadResources();

// The first of the game's pictures the working directory lacks, or "" when it has them all.
std::string FirstMissingPicture();
