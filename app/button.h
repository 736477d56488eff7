// On-screen buttons: a picture cut from a button sheet, drawn at once in the 2D pass, and a
// touch area with a strict border.
#pragma once

#include <cstdint>

#include "engine/texture.h"

class cButton {
 public:
  cButton(const Texture& texture, int32_t x, int32_t y, int32_t width, int32_t height,
          int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight);

  // The border lines do not count.
  bool Contains(int32_t px, int32_t py) const;
  void Draw() const;
  // Into the sprite batch under way, drawn in order with what it already holds.
  void Queue() const;

  Texture texture;  // a copy of the sheet's record
  int32_t x, y, width, height;
  int32_t sourceX, sourceY, sourceWidth, sourceHeight;
};

enum ButtonId : int {
  kButtonLeft,
  kButtonRight,
  kButtonJump,
  kButtonRestart,
  kButtonStart,
  kButtonRetry,
  kButtonCount
};

// Where a button sits, in landscape pixels, whether or not the buttons exist yet.
struct ButtonArea {
  int32_t x, y, width, height;
};
ButtonArea ButtonPlace(ButtonId id);

// Created by the resource loader, in ButtonId order; null before that.
extern cButton* gButtons[kButtonCount];

void CreateButtons(const Texture& controlImage, const Texture& socialImage);
