// GL set-up, camera, 2D pass and the immediate quad.
#include "engine/gl_setup.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "engine/gl_api.h"
#include "engine/texture.h"

uint8_t gEngineDrawColour[4] = {255, 255, 255, 255};

namespace {

ScreenInfo gScreenInfo = {800, 480, 1};

void Normalise(float v[3]) {
  const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (length == 0.0f) return;
  for (int i = 0; i < 3; ++i) v[i] /= length;
}

void Cross(const float a[3], const float b[3], float out[3]) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

}  // namespace

float DegreesToRadians(float degrees) { return degrees * kPi / 180.0f; }

void SetupGL(int width, int height) {
  if (width == 0 || height == 0) return;
  gGL.Viewport(0, 0, width, height);
  gGL.MatrixMode(GL_PROJECTION);
  gGL.LoadIdentity();
  Perspective(kFieldOfViewY, float(width) / float(height), kNearPlane, kFarPlane);
  gGL.MatrixMode(GL_MODELVIEW);
  gGL.LoadIdentity();
}

void Perspective(float fovY, float aspect, float zNear, float zFar) {
  const float yMax = zNear * std::tan(fovY * kPi / 360.0f);
  gGL.Frustum(-yMax * aspect, yMax * aspect, -yMax, yMax, zNear, zFar);
}

void LookAtMatrix(const float eye[3], const float centre[3], const float up[3], float out[16]) {
  float f[3] = {centre[0] - eye[0], centre[1] - eye[1], centre[2] - eye[2]};
  Normalise(f);
  float s[3], u[3];
  Cross(f, up, s);
  Normalise(s);
  Cross(s, f, u);
  // Rows s, u, -f; GL wants the matrix by columns.
  const float m[16] = {s[0], u[0], -f[0], 0, s[1], u[1], -f[1], 0,
                       s[2], u[2], -f[2], 0, 0,    0,    0,     1};
  for (int i = 0; i < 16; ++i) out[i] = m[i];
}

void LookAt(float eyeX, float eyeY, float eyeZ, float centreX, float centreY, float centreZ,
            float upX, float upY, float upZ) {
  const float eye[3] = {eyeX, eyeY, eyeZ};
  const float centre[3] = {centreX, centreY, centreZ};
  const float up[3] = {upX, upY, upZ};
  float m[16];
  LookAtMatrix(eye, centre, up, m);
  gGL.MultMatrixf(m);
  gGL.Translatef(-eyeX, -eyeY, -eyeZ);
}

void ClearScreen(float red, float green, float blue, float alpha) {
  gGL.ClearColor(red, green, blue, alpha);
  gGL.Clear(GL_COLOR_BUFFER_BIT);
}

void SetScreenInfo(int width, int height, int mode) {
  if (width == gScreenInfo.width && height == gScreenInfo.height && mode == gScreenInfo.mode)
    return;
  gScreenInfo = {width, height, mode};
}

int GetScreenWidth() { return gScreenInfo.width; }
int GetScreenHeight() { return gScreenInfo.height; }
ScreenInfo GetScreenInfo() { return gScreenInfo; }

void Begin2D() {
  gGL.Viewport(0, 0, gScreenInfo.width, gScreenInfo.height);
  gGL.MatrixMode(GL_PROJECTION);
  gGL.PushMatrix();
  gGL.LoadIdentity();
  gGL.Ortho(0, gScreenInfo.width, gScreenInfo.height, 0, -1, 1);
  gGL.MatrixMode(GL_MODELVIEW);
  gGL.PushMatrix();
  gGL.LoadIdentity();
  gGL.Disable(GL_DEPTH_TEST);
}

void End2D() {
  gGL.Enable(GL_DEPTH_TEST);
  gGL.MatrixMode(GL_PROJECTION);
  gGL.PopMatrix();
  gGL.MatrixMode(GL_MODELVIEW);
  gGL.PopMatrix();
}

void QuadCorners(const DrawRect& d, float angle, float cornerX[4], float cornerY[4]) {
  const float x = float(d.x), y = float(d.y), w = float(d.width), h = float(d.height);
  if (angle == 0.0f) {
    const float xs[4] = {x, x + w, x, x + w};
    const float ys[4] = {y, y, y + h, y + h};
    for (int i = 0; i < 4; ++i) {
      cornerX[i] = xs[i];
      cornerY[i] = ys[i];
    }
    return;
  }
  const float r = DegreesToRadians(angle);
  const float c = std::cos(r), s = std::sin(r);
  const float centreX = x + w / 2, centreY = y + h / 2;
  const float offsetX[4] = {-w / 2, w / 2, -w / 2, w / 2};
  const float offsetY[4] = {-h / 2, -h / 2, h / 2, h / 2};
  for (int i = 0; i < 4; ++i) {
    cornerX[i] = offsetX[i] * c - offsetY[i] * s + centreX;
    cornerY[i] = offsetX[i] * s + offsetY[i] * c + centreY;
  }
}

void ApplyFlips(TexCoords& t, int32_t flipFlags) {
  if (flipFlags & kFlipHorizontal) std::swap(t.uLeft, t.uRight);
  if (flipFlags & kFlipVertical) std::swap(t.vTop, t.vBottom);
}

TexCoords SourceTexCoords(const Texture& texture, const DrawRect& source, int32_t flipFlags) {
  const float w = float(texture.width), h = float(texture.height);
  TexCoords t{float(source.x) / w, float(source.y) / h, float(source.x + source.width) / w,
              float(source.y + source.height) / h};
  ApplyFlips(t, flipFlags);
  return t;
}

void DrawQuadImmediate(const Texture& texture, const DrawRect& destination, const DrawRect& source,
                       int32_t flipFlags, float angle) {
  if (destination.width < 1 || destination.height < 1) return;
  gGL.Disable(GL_LIGHTING);
  gGL.Enable(GL_TEXTURE_2D);
  gGL.BindTexture(GL_TEXTURE_2D, texture.glName);
  gGL.TexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  gGL.Enable(GL_BLEND);
  gGL.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

  const TexCoords t = SourceTexCoords(texture, source, flipFlags);
  float cx[4], cy[4];
  QuadCorners(destination, angle, cx, cy);
  // A fan around the quad: corner 2, 3, 1, 0.
  const float positions[8] = {cx[2], cy[2], cx[3], cy[3], cx[1], cy[1], cx[0], cy[0]};
  const float texCoords[8] = {t.uLeft,  t.vBottom, t.uRight, t.vBottom,
                              t.uRight, t.vTop,    t.uLeft,  t.vTop};

  gGL.Color4ub(gEngineDrawColour[0], gEngineDrawColour[1], gEngineDrawColour[2],
               gEngineDrawColour[3]);
  gGL.DisableClientState(GL_NORMAL_ARRAY);
  gGL.DisableClientState(GL_COLOR_ARRAY);
  gGL.EnableClientState(GL_VERTEX_ARRAY);
  gGL.EnableClientState(GL_TEXTURE_COORD_ARRAY);
  gGL.VertexPointer(2, GL_FLOAT, 0, positions);
  gGL.TexCoordPointer(2, GL_FLOAT, 0, texCoords);
  gGL.DrawArrays(GL_TRIANGLE_FAN, 0, 4);
  gGL.Disable(GL_BLEND);
  gGL.Disable(GL_TEXTURE_2D);
}
