// Where the portrait screen the game draws sits in a landscape window, and how a window
// point travels back to the portrait device point the game expects from a touch.
#pragma once

constexpr int kPortraitWidth = 320;   // device pixels
constexpr int kPortraitHeight = 480;  // device pixels
constexpr int kLandscapeWidth = 480;  // landscape pixels
constexpr int kLandscapeHeight = 320;
constexpr int kDefaultWindowScale = 2;

struct LandscapeView {
  int windowWidth, windowHeight;
  float scale;           // window pixels per landscape pixel
  int offsetX, offsetY;  // the black bars on the left and top
  int width, height;     // the picture inside the bars, in window pixels
};

// The largest 3:2 picture that fits the window, centred.
LandscapeView FitLandscape(int windowWidth, int windowHeight);

// A window point as a landscape point, clamped into the picture.
void WindowToLandscape(const LandscapeView& view, int windowX, int windowY, int* x, int* y);

// Where a touch in a black bar at the picture's side counts, so that a thumb resting beside a
// bottom-corner button presses it: the left bar the left button, the right bar the right one,
// from `top` down (landscape pixels). The game sets the points; until then the bars are inert.
struct BarTargets {
  bool set = false;
  int top = 0;
  int leftX = 0, leftY = 0;
  int rightX = 0, rightY = 0;
};
extern BarTargets gBarTargets;

// A touch's window point as a landscape point: in a side bar beside a bottom-corner button, the
// button's own point; false (and the point clamped as WindowToLandscape does) anywhere else
// outside the picture.
bool TouchToLandscape(const LandscapeView& view, int windowX, int windowY, int* x, int* y);

// A landscape point as the portrait device point a touch there would give.
void LandscapeToDevice(int x, int y, int* deviceX, int* deviceY);

// Where a landscape point shows in the window.
void LandscapeToWindow(const LandscapeView& view, float x, float y, float* windowX, float* windowY);
