// The landscape window: fitting with black bars, and the chain from a window point to the
// portrait device point and back to the landscape point the game sees.
#include "platform/view.h"

#include <gtest/gtest.h>

#include <utility>

#include "app/button.h"
#include "app/input.h"

namespace {

TEST(ViewTest, TheLandscapePictureFitsTheWindowAtThreeToTwo) {
  const LandscapeView exact = FitLandscape(960, 640);
  EXPECT_FLOAT_EQ(exact.scale, 2.0f);
  EXPECT_EQ(exact.offsetX, 0);
  EXPECT_EQ(exact.offsetY, 0);
  EXPECT_EQ(exact.width, 960);
  EXPECT_EQ(exact.height, 640);

  const LandscapeView wide = FitLandscape(1200, 640);  // bars left and right
  EXPECT_FLOAT_EQ(wide.scale, 2.0f);
  EXPECT_EQ(wide.offsetX, 120);
  EXPECT_EQ(wide.offsetY, 0);

  const LandscapeView tall = FitLandscape(480, 600);  // bars above and below
  EXPECT_FLOAT_EQ(tall.scale, 1.0f);
  EXPECT_EQ(tall.offsetX, 0);
  EXPECT_EQ(tall.offsetY, 140);

  const LandscapeView full = FitLandscape(1920, 1080);
  EXPECT_FLOAT_EQ(full.scale, 3.375f);
  EXPECT_EQ(full.width, 1620);
  EXPECT_EQ(full.offsetX, 150);

  const LandscapeView tiny = FitLandscape(0, 0);  // a minimised window must not divide by 0
  EXPECT_GT(tiny.scale, 0.0f);
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

TEST(ViewTest, PointsInTheBarsStickToTheEdgeOfThePicture) {
  const LandscapeView view = FitLandscape(1200, 640);
  int x, y;
  WindowToLandscape(view, 10, 10, &x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 5);
  WindowToLandscape(view, 1199, 700, &x, &y);
  EXPECT_EQ(x, 479);
  EXPECT_EQ(y, 319);
  WindowToLandscape(view, 120 + 201, 101, &x, &y);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 50);
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
