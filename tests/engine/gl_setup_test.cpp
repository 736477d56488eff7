// GL set-up: the perspective projection, the camera's look-at seen on the screen, turned
// corners, and the immediate quad. The frame test checks the 2D pass that turns the landscape
// onto the portrait screen.
#include "engine/gl_setup.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/gl_record.h"
#include "engine/texture.h"

namespace {

class GlSetupTest : public ::testing::Test {
 protected:
  void SetUp() override { saved = GetScreenInfo(); }
  void TearDown() override { SetScreenInfo(saved.width, saved.height, saved.mode); }

  ScreenInfo saved{};
  cGlRecorder gl;
};

TEST_F(GlSetupTest, SetupGLSetsViewportAndSixtyDegreePerspective) {
  SetupGL(0, 480);
  SetupGL(320, 0);
  EXPECT_TRUE(gl.calls.empty());

  SetupGL(320, 480);
  EXPECT_EQ(gl.viewport[2], 320);
  EXPECT_EQ(gl.viewport[3], 480);
  ASSERT_EQ(gl.CountCalls("Frustum"), 1);
  // ymax = tan(30 degrees); the sides scale by the 2:3 aspect.
  const GlMatrix& p = gl.projection.back();
  const double yMax = std::tan(30.0 * M_PI / 180.0);
  EXPECT_NEAR(p.m[5], 1.0 / yMax, 1e-4);
  EXPECT_NEAR(p.m[0], 1.0 / (yMax * 320.0 / 480.0), 1e-4);
  EXPECT_NEAR(p.m[10], -(2000.0 + 1.0) / (2000.0 - 1.0), 1e-5);
  EXPECT_NEAR(p.m[14], -2.0 * 2000.0 / (2000.0 - 1.0), 1e-4);
  EXPECT_EQ(gl.matrixMode, GLenum(GL_MODELVIEW));
}

TEST_F(GlSetupTest, TheWorldCameraShowsTheWorldUprightInLandscape) {
  SetScreenInfo(320, 480, 3);
  SetupGL(320, 480);
  LookAt(1000, 300, -450, 1000, 300, 0, -1, 0, 0);
  // The point the camera looks at is the middle of the screen.
  const auto centre = gl.ToScreen(1000, 300);
  EXPECT_NEAR(centre[0], 160, 1e-3);
  EXPECT_NEAR(centre[1], 240, 1e-3);
  // Portrait pixel (px, py) is landscape (py, 320 - px): world right must be landscape
  // right, world down landscape down.
  const auto right = gl.ToScreen(1100, 300);
  const auto below = gl.ToScreen(1000, 400);
  EXPECT_GT(right[1], centre[1]);          // landscape x grows
  EXPECT_NEAR(right[0], centre[0], 1e-3);  // landscape y stays
  EXPECT_LT(below[0], centre[0]);          // landscape y grows
  EXPECT_NEAR(below[1], centre[1], 1e-3);
  // At the eye distance of 450 the 480-pixel-wide landscape shows about 520 world pixels.
  EXPECT_NEAR(right[1] - centre[1], 100 * (240 / (450 * std::tan(30 * M_PI / 180))), 0.05);
}

TEST_F(GlSetupTest, CornersTurnAboutTheCentre) {
  float x[4], y[4];
  QuadCorners({10, 20, 40, 20}, 0, x, y);
  EXPECT_EQ(x[1], 50);
  EXPECT_EQ(y[2], 40);
  QuadCorners({0, 0, 40, 20}, 90, x, y);
  // Corner 1's offset (w/2, -h/2) becomes (h/2, w/2) from the centre (20, 10).
  EXPECT_NEAR(x[1], 20 + 10, 1e-4);
  EXPECT_NEAR(y[1], 10 + 20, 1e-4);
  QuadCorners({0, 0, 40, 20}, 180, x, y);
  EXPECT_NEAR(x[0], 40, 1e-4);
  EXPECT_NEAR(y[0], 20, 1e-4);
}

TEST_F(GlSetupTest, ImmediateQuadDrawsAFanWithTheSourceRectangle) {
  const Texture texture{21, 256, 256, 256, 256};
  DrawQuadImmediate(texture, {32, 230, 0, 64}, {0, 0, 64, 64}, 0, 0);
  DrawQuadImmediate(texture, {32, 230, 64, -1}, {0, 0, 64, 64}, 0, 0);
  EXPECT_TRUE(gl.draws.empty());

  DrawQuadImmediate(texture, {32, 230, 64, 64}, {64, 128, 64, 64}, 0, 0);
  ASSERT_EQ(gl.draws.size(), 1u);
  const GlRecordedDraw& draw = gl.draws[0];
  EXPECT_EQ(draw.mode, GLenum(GL_TRIANGLE_FAN));
  EXPECT_EQ(draw.texture, 21u);
  ASSERT_EQ(draw.vertices.size(), 4u);
  // Corners 2, 3, 1, 0.
  const float expected[4][4] = {{32, 294, 0.25f, 0.75f},
                                {96, 294, 0.5f, 0.75f},
                                {96, 230, 0.5f, 0.5f},
                                {32, 230, 0.25f, 0.5f}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(draw.vertices[i].x, expected[i][0]);
    EXPECT_FLOAT_EQ(draw.vertices[i].y, expected[i][1]);
    EXPECT_FLOAT_EQ(draw.vertices[i].u, expected[i][2]);
    EXPECT_FLOAT_EQ(draw.vertices[i].v, expected[i][3]);
    EXPECT_EQ(draw.vertices[i].colour[3], 255);
  }
  EXPECT_TRUE(draw.blend);
  EXPECT_FALSE(gl.IsEnabled(GL_BLEND));
  EXPECT_FALSE(gl.IsEnabled(GL_TEXTURE_2D));

  // No whole-texture shortcut here: a zero source samples a single point.
  gl.ClearLog();
  DrawQuadImmediate(texture, {0, 0, 8, 8}, {0, 0, 0, 0}, 0, 0);
  EXPECT_FLOAT_EQ(gl.draws[0].vertices[0].u, gl.draws[0].vertices[1].u);
}

}  // namespace
