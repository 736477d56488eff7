// The six on-screen buttons, as one table.
#include "app/button.h"

#include "engine/gl_setup.h"
#include "engine/sprite_batch.h"
#include "platform/view.h"

cButton* gButtons[kButtonCount] = {};

namespace {

enum ButtonSheet { kControlSheet, kSocialSheet };

struct ButtonSpec {
  int32_t x, y, width, height;  // landscape px
  int32_t sourceX, sourceY, sourceWidth, sourceHeight;
  ButtonSheet sheet;
};

const ButtonSpec kButtonSpecs[kButtonCount] = {
    {32, 230, 64, 64, 0, 0, 64, 64, kControlSheet},       // left
    {128, 230, 64, 64, 64, 0, 64, 64, kControlSheet},     // right
    {400, 230, 64, 64, 128, 0, 64, 64, kControlSheet},    // jump
    {410, 16, 64, 64, 64, 128, 64, 64, kControlSheet},    // restart
    {148, 240, 184, 46, 0, 192, 184, 46, kControlSheet},  // start
    {150, 160, 180, 42, 0, 214, 180, 42, kSocialSheet},   // retry
};

}  // namespace

cButton::cButton(const Texture& texture, int32_t x, int32_t y, int32_t width, int32_t height,
                 int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight)
    : texture(texture),
      x(x),
      y(y),
      width(width),
      height(height),
      sourceX(sourceX),
      sourceY(sourceY),
      sourceWidth(sourceWidth),
      sourceHeight(sourceHeight) {}

bool cButton::Contains(int32_t px, int32_t py) const {
  return px > x && px < x + width && py > y && py < y + height;
}

void cButton::Draw() const {
  DrawQuadImmediate(texture, {x, y, width, height}, {sourceX, sourceY, sourceWidth, sourceHeight},
                    0, 0.0f);
}

void cButton::Queue() const {
  cSpriteBatch::Instance().AddQuad(&texture, {x, y, width, height},
                                   {sourceX, sourceY, sourceWidth, sourceHeight},
                                   {1.0f, 1.0f, 1.0f, 1.0f}, 0.0f, 0);
}

ButtonArea ButtonPlace(ButtonId id) {
  const ButtonSpec& b = kButtonSpecs[id];
  return {b.x, b.y, b.width, b.height};
}

// A thumb resting in the black bar beside the left button or the jump button presses it, from
// half a button above it down.
void AimBarsAtCornerButtons() {
  const ButtonSpec& left = kButtonSpecs[kButtonLeft];
  const ButtonSpec& jump = kButtonSpecs[kButtonJump];
  gBarTargets.set = true;
  gBarTargets.top = left.y - left.height / 2;
  gBarTargets.leftX = left.x + left.width / 2;
  gBarTargets.leftY = left.y + left.height / 2;
  gBarTargets.rightX = jump.x + jump.width / 2;
  gBarTargets.rightY = jump.y + jump.height / 2;
}

void CreateButtons(const Texture& controlImage, const Texture& socialImage) {
  AimBarsAtCornerButtons();
  for (int i = 0; i < kButtonCount; ++i) {
    const ButtonSpec& b = kButtonSpecs[i];
    const Texture& sheet = b.sheet == kControlSheet ? controlImage : socialImage;
    delete gButtons[i];
    gButtons[i] = new cButton(sheet, b.x, b.y, b.width, b.height, b.sourceX, b.sourceY,
                              b.sourceWidth, b.sourceHeight);
  }
}
