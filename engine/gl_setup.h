// GL state the frame sets up: viewport and perspective, camera, screen clear, the 2D pass,
// and the one immediate-mode quad the on-screen buttons use.
#pragma once

#include <cstdint>

struct Texture;

constexpr float kPi = 3.1415927f;
constexpr float kFieldOfViewY = 60.0f;  // degrees
constexpr float kNearPlane = 1.0f;
constexpr float kFarPlane = 2000.0f;

// Rectangle for drawing (not the 16-bit collision Rect).
struct DrawRect {
  int32_t x, y, width, height;
};

struct DrawColour {
  float red, green, blue, alpha;
};
// A picture's own colours: the tint that changes nothing.
constexpr DrawColour kWhite = {1.0f, 1.0f, 1.0f, 1.0f};

struct ScreenInfo {
  int32_t width, height, mode;
};

// The colour the immediate quad draws with; never changed by the game.
extern uint8_t gEngineDrawColour[4];

float DegreesToRadians(float degrees);

void SetupGL(int width, int height);
void Perspective(float fovY, float aspect, float zNear, float zFar);
void LookAt(float eyeX, float eyeY, float eyeZ, float centreX, float centreY, float centreZ,
            float upX, float upY, float upZ);
// The rotation part of LookAt, column-major, as it is multiplied onto the current matrix.
void LookAtMatrix(const float eye[3], const float centre[3], const float up[3], float out[16]);
void ClearScreen(float red, float green, float blue, float alpha);

void SetScreenInfo(int width, int height, int mode);
int GetScreenWidth();
int GetScreenHeight();
ScreenInfo GetScreenInfo();

void Begin2D();
void End2D();

// Four corners of a destination rectangle turned by angle degrees about its centre:
// 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right (before turning).
void QuadCorners(const DrawRect& destination, float angle, float cornerX[4], float cornerY[4]);

struct TexCoords {
  float uLeft, vTop, uRight, vBottom;
};
TexCoords SourceTexCoords(const Texture& texture, const DrawRect& source, int32_t flipFlags);
void ApplyFlips(TexCoords& coords, int32_t flipFlags);

constexpr int32_t kFlipHorizontal = 1;  // mirror left-right
constexpr int32_t kFlipVertical = 2;    // mirror top-bottom

void DrawQuadImmediate(const Texture& texture, const DrawRect& destination, const DrawRect& source,
                       int32_t flipFlags, float angle);
