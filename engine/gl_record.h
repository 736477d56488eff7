// A GL table that records instead of drawing: it keeps the matrix stacks, viewport and
// bound arrays the way fixed-function GL would, so a test can ask where a draw landed.
#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "engine/gl_api.h"

struct GlMatrix {
  float m[16];  // column-major, as GL keeps it

  static GlMatrix Identity();
  GlMatrix operator*(const GlMatrix& other) const;
  std::array<float, 4> Apply(float x, float y, float z, float w = 1.0f) const;
};

struct GlRecordedVertex {
  float x, y, z;
  float u, v;
  uint8_t colour[4];
  float screenX, screenY;  // where GL would put it, in framebuffer pixels with y down
};

struct GlRecordedDraw {
  GLenum mode;
  GLuint texture;
  bool blend;
  bool alphaTest;
  bool texture2D;
  std::vector<GlRecordedVertex> vertices;
};

class cGlRecorder {
 public:
  // Installs itself as gGL; the destructor puts the headless table back.
  cGlRecorder();
  ~cGlRecorder();
  cGlRecorder(const cGlRecorder&) = delete;
  cGlRecorder& operator=(const cGlRecorder&) = delete;

  // Where GL would map a point under the current matrices and viewport (y down).
  std::array<float, 2> ToScreen(float x, float y, float z = 0.0f) const;
  int CountCalls(const std::string& name) const;
  bool IsEnabled(GLenum cap) const { return enabled.count(cap) != 0; }
  void ClearLog();

  std::vector<std::string> calls;  // one line per call: name, then its arguments
  std::vector<GlRecordedDraw> draws;
  int clears = 0;
  float clearColour[4] = {0, 0, 0, 0};
  GLint viewport[4] = {0, 0, 0, 0};
  GLenum matrixMode = GL_MODELVIEW;
  std::vector<GlMatrix> projection{GlMatrix::Identity()};
  std::vector<GlMatrix> modelView{GlMatrix::Identity()};
  std::set<GLenum> enabled;
  std::set<GLenum> clientArrays;
  GLuint boundTexture = 0;
  GLuint nextTexture = 1;
  std::vector<std::array<int, 3>> uploads;  // texture name, width, height
  uint8_t currentColour[4] = {255, 255, 255, 255};

  struct ArrayPointer {
    GLint size = 0;
    GLenum type = 0;
    GLsizei stride = 0;
    const GLvoid* pointer = nullptr;
  };
  ArrayPointer vertexArray, texCoordArray, colourArray;

  std::vector<GlMatrix>& CurrentStack() {
    return matrixMode == GL_PROJECTION ? projection : modelView;
  }
};
