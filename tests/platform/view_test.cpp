// The landscape window: fitting with black bars, and the chain from a window point to the
// portrait device point and back to the landscape point the game sees.
#include "platform/view.h"

#include <gtest/gtest.h>

#include <utility>

#include "app/button.h"
#include "app/input.h"

namespace {

TEST(ViewTest, TheLandscapePictureFitsTheWindowAtThreeToTwo) {
  const struct {
    int windowWidth, windowHeight;
    float scale;
    int offsetX, offsetY, width, height;
  } cases[] = {
      {960, 640, 2.0f, 0, 0, 960, 640},
      {1200, 640, 2.0f, 120, 0, 960, 640},  // bars left and right
      {480, 600, 1.0f, 0, 140, 480, 320},   // bars above and below
      {1920, 1080, 3.375f, 150, 0, 1620, 1080},
  };
  for (const auto& c : cases) {
    const LandscapeView view = FitLandscape(c.windowWidth, c.windowHeight);
    EXPECT_FLOAT_EQ(view.scale, c.scale) << c.windowWidth;
    EXPECT_EQ(view.offsetX, c.offsetX) << c.windowWidth;
    EXPECT_EQ(view.offsetY, c.offsetY) << c.windowWidth;
    EXPECT_EQ(view.width, c.width) << c.windowWidth;
    EXPECT_EQ(view.height, c.height) << c.windowWidth;
  }
  EXPECT_GT(FitLandscape(0, 0).scale, 0.0f);  // a minimised window must not divide by 0

  // Points in the bars stick to the edge of the picture.
  const LandscapeView wide = FitLandscape(1200, 640);
  const int points[][4] = {{10, 10, 0, 5}, {1199, 700, 479, 319}, {120 + 201, 101, 100, 50}};
  for (const auto& p : points) {
    int x, y;
    WindowToLandscape(wide, p[0], p[1], &x, &y);
    EXPECT_EQ(x, p[2]) << p[0] << "," << p[1];
    EXPECT_EQ(y, p[3]) << p[0] << "," << p[1];
  }
}

TEST(ViewTest, AWindowPointBecomesTheDevicePointTheGameTurnsBack) {
  const LandscapeView view = FitLandscape(960, 640);
  struct {
    int windowX, windowY, x, y, deviceX, deviceY;
  } cases[] = {
      {0, 0, 0, 0, 320, 0},           // landscape top-left is the portrait's top-right
      {959, 639, 479, 319, 1, 479},   // the last pixel
      {881, 621, 440, 310, 10, 440},  // a touch at portrait (10, 440)
      {65, 461, 32, 230, 90, 32},     // just inside the left button's corner
  };
  for (const auto& c : cases) {
    int x, y, deviceX, deviceY;
    WindowToLandscape(view, c.windowX, c.windowY, &x, &y);
    EXPECT_EQ(x, c.x);
    EXPECT_EQ(y, c.y);
    LandscapeToDevice(x, y, &deviceX, &deviceY);
    EXPECT_EQ(deviceX, c.deviceX);
    EXPECT_EQ(deviceY, c.deviceY);
    int32_t gameX, gameY;
    DeviceToLandscape(deviceX, deviceY, &gameX, &gameY);
    EXPECT_EQ(gameX, c.x);
    EXPECT_EQ(gameY, c.y);
    float backX, backY;
    LandscapeToWindow(view, float(x), float(y), &backX, &backY);
    EXPECT_LE(backX, float(c.windowX));
    EXPECT_GT(backX + view.scale, float(c.windowX));
  }
}

// A phone at 19.5:9 leaves wide bars at the sides: a thumb resting in one beside a bottom-corner
// button presses that button; higher up, or above and below the picture, a touch lands nowhere.
// Inside the picture touches land where they are, the buttons' own rectangles unchanged.
TEST(ViewTest, ATouchInASideBarBesideACornerButtonPressesIt) {
  const BarTargets saved = gBarTargets;
  const LandscapeView view = FitLandscape(1688, 780);  // 844 x 390 CSS px at 2 device px
  ASSERT_GT(view.offsetX, 200);
  int x, y;
  gBarTargets = BarTargets{};
  EXPECT_FALSE(TouchToLandscape(view, 10, 700, &x, &y))
      << "bars are inert until the game aims them";

  Texture sheet{};
  CreateButtons(sheet, sheet);
  const auto pressed = [&](ButtonId id) { return gButtons[id]->Contains(x, y); };
  const auto at = [&](float landscapeX, float landscapeY) {
    float windowX, windowY;
    LandscapeToWindow(view, landscapeX, landscapeY, &windowX, &windowY);
    return std::pair{int(windowX) + 1, int(windowY) + 1};
  };
  const auto inside = at(33, 231), beside = at(31, 231);
  struct {
    int windowX, windowY;
    bool lands;
    int button;  // -1: none
  } cases[] = {
      {0, 779, true, kButtonLeft},                 // the left bar's bottom corner
      {view.offsetX - 1, 560, true, kButtonLeft},  // the left bar, level with the button
      {view.offsetX - 1, 300, false, -1},          // the left bar, high up
      {1687, 700, true, kButtonJump},              // the right bar
      {view.offsetX + view.width, 600, true, kButtonJump},
      {inside.first, inside.second, true, kButtonLeft},  // the button itself, inside
      {beside.first, beside.second, true, -1},           // beside it, inside the picture
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TouchToLandscape(view, c.windowX, c.windowY, &x, &y), c.lands)
        << c.windowX << "," << c.windowY;
    if (!c.lands) continue;
    for (ButtonId id : {kButtonLeft, kButtonRight, kButtonJump})
      EXPECT_EQ(pressed(id), id == c.button) << c.windowX << "," << c.windowY << " button " << id;
  }
  for (cButton*& b : gButtons) {
    delete b;
    b = nullptr;
  }
  gBarTargets = saved;
}

}  // namespace
