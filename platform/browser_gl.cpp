// The browser's GL: the game's fixed-function calls spoken to WebGL 1 directly, with one small
// shader pair, two matrix stacks and the client arrays copied into a buffer at each draw.
// Only what the game uses is here: textured, coloured, alpha-tested, blended triangles. Also
// the pictures kept for later, as a pipe warp needs.
#include <GLES2/gl2.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/gl_api.h"
#include "platform/browser.h"

namespace {

constexpr int kMaxStackDepth = 32;  // as a fixed-function GL's modelview stack, at least
constexpr int kAttributes = 3;      // position, texture coordinates, colour

const char* const kVertexShader = R"(
attribute vec4 position;
attribute vec2 texCoord;
attribute vec4 colour;
uniform mat4 matrix;
varying vec2 vTexCoord;
varying vec4 vColour;
void main() {
  gl_Position = matrix * position;
  vTexCoord = texCoord;
  vColour = colour;
})";

// The texture modulates the colour; a fragment at or below the alpha reference is dropped
// (the reference is below zero when the alpha test is off).
const char* const kFragmentShader = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform sampler2D image;
uniform float textured;
uniform float alphaReference;
varying vec2 vTexCoord;
varying vec4 vColour;
void main() {
  vec4 c = vColour * mix(vec4(1.0), texture2D(image, vTexCoord), textured);
  if (c.a <= alphaReference) discard;
  gl_FragColor = c;
})";

// Column-major 4x4, as GL keeps it; doubles as the fixed-function pipeline's own arithmetic.
struct Matrix {
  double m[16];
};

constexpr Matrix kIdentity = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

Matrix Multiply(const Matrix& a, const Matrix& b) {
  Matrix r{};
  for (int column = 0; column < 4; ++column)
    for (int row = 0; row < 4; ++row) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += a.m[k * 4 + row] * b.m[column * 4 + k];
      r.m[column * 4 + row] = sum;
    }
  return r;
}

struct ClientArray {
  bool enabled = false;
  GLint size = 4;
  GLenum type = GL_FLOAT;
  GLsizei stride = 0;
  const uint8_t* pointer = nullptr;

  GLsizei Step() const {
    if (stride) return stride;
    return size * (type == GL_FLOAT ? 4 : type == GL_SHORT ? 2 : 1);
  }
};

enum Attribute { kPosition = 0, kTexCoord = 1, kColour = 2 };

// A pipe warp draws its frames one after another inside one pass of the game, and the browser
// shows only what a pass leaves on the canvas: each is copied into a texture of its own and
// shown on the animation frames that follow.
constexpr int kMaxKeptPictures = 48;  // the warp's 30 frames and the frame after it, and room

struct State {
  GLuint program = 0;
  int width = 0, height = 0;  // the canvas, device pixels
  GLuint kept[kMaxKeptPictures] = {};
  int keptCount = 0;
  int keptShown = 0;
  GLint matrixUniform = -1, texturedUniform = -1, alphaUniform = -1;
  GLuint buffer = 0;
  Matrix stacks[2][kMaxStackDepth];
  int depth[2] = {0, 0};
  int mode = 0;  // 0 the modelview stack, 1 the projection stack
  bool texturing = false;
  bool alphaTest = false;
  float alphaReference = 0.0f;
  float colour[4] = {1, 1, 1, 1};
  ClientArray arrays[kAttributes];
};

State gState;

Matrix& Top() { return gState.stacks[gState.mode][gState.depth[gState.mode]]; }

void Apply(const Matrix& m) { Top() = Multiply(Top(), m); }

GLuint Compile(GLenum type, const char* source) {
  const GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  return shader;
}

void MakeProgram() {
  State& s = gState;
  s.program = glCreateProgram();
  glAttachShader(s.program, Compile(GL_VERTEX_SHADER, kVertexShader));
  glAttachShader(s.program, Compile(GL_FRAGMENT_SHADER, kFragmentShader));
  glBindAttribLocation(s.program, kPosition, "position");
  glBindAttribLocation(s.program, kTexCoord, "texCoord");
  glBindAttribLocation(s.program, kColour, "colour");
  glLinkProgram(s.program);
  glUseProgram(s.program);
  s.matrixUniform = glGetUniformLocation(s.program, "matrix");
  s.texturedUniform = glGetUniformLocation(s.program, "textured");
  s.alphaUniform = glGetUniformLocation(s.program, "alphaReference");
  glUniform1i(glGetUniformLocation(s.program, "image"), 0);
  glGenBuffers(1, &s.buffer);
  glBindBuffer(GL_ARRAY_BUFFER, s.buffer);
  for (int i = 0; i < 2; ++i) s.stacks[i][0] = kIdentity;
}

void MatrixMode(GLenum mode) { gState.mode = mode == GL_PROJECTION ? 1 : 0; }
void LoadIdentity() { Top() = kIdentity; }

void PushMatrix() {
  int& depth = gState.depth[gState.mode];
  if (depth + 1 >= kMaxStackDepth) return;
  gState.stacks[gState.mode][depth + 1] = gState.stacks[gState.mode][depth];
  ++depth;
}

void PopMatrix() {
  int& depth = gState.depth[gState.mode];
  if (depth > 0) --depth;
}

void Frustum(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
  Apply({{2 * n / (r - l), 0, 0, 0, 0, 2 * n / (t - b), 0, 0, (r + l) / (r - l), (t + b) / (t - b),
          -(f + n) / (f - n), -1, 0, 0, -2 * f * n / (f - n), 0}});
}

void Ortho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
  Apply({{2 / (r - l), 0, 0, 0, 0, 2 / (t - b), 0, 0, 0, 0, -2 / (f - n), 0, -(r + l) / (r - l),
          -(t + b) / (t - b), -(f + n) / (f - n), 1}});
}

void MultMatrixf(const GLfloat* m) {
  Matrix matrix;
  for (int i = 0; i < 16; ++i) matrix.m[i] = m[i];
  Apply(matrix);
}

void Translatef(GLfloat x, GLfloat y, GLfloat z) {
  Apply({{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1}});
}

void Rotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
  const double length = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
  if (length == 0) return;
  const double ux = x / length, uy = y / length, uz = z / length;
  const double radians = double(angle) * 3.14159265358979323846 / 180.0;
  const double c = std::cos(radians), s = std::sin(radians), k = 1 - c;
  Apply({{ux * ux * k + c, uy * ux * k + uz * s, ux * uz * k - uy * s, 0, ux * uy * k - uz * s,
          uy * uy * k + c, uy * uz * k + ux * s, 0, ux * uz * k + uy * s, uy * uz * k - ux * s,
          uz * uz * k + c, 0, 0, 0, 0, 1}});
}

// Texturing and the alpha test live in the shader; lighting and the rest are never used.
void Toggle(GLenum cap, bool on) {
  if (cap == GL_TEXTURE_2D)
    gState.texturing = on;
  else if (cap == GL_ALPHA_TEST)
    gState.alphaTest = on;
  else if (cap == GL_BLEND || cap == GL_DEPTH_TEST || cap == GL_CULL_FACE)
    on ? glEnable(cap) : glDisable(cap);
}

void AlphaFunc(GLenum, GLclampf reference) { gState.alphaReference = reference; }

void Color4ub(GLubyte r, GLubyte g, GLubyte b, GLubyte a) {
  const GLubyte c[4] = {r, g, b, a};
  for (int i = 0; i < 4; ++i) gState.colour[i] = float(c[i]) / 255.0f;
}

// A texture whose sides are not powers of two samples as black in WebGL 1 unless it clamps at
// its edges, so such textures are made to clamp (they never repeat here).
bool PowerOfTwo(GLsizei n) { return n > 0 && (n & (n - 1)) == 0; }

void TexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                GLint border, GLenum format, GLenum type, const GLvoid* pixels) {
  glTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
  if (PowerOfTwo(width) && PowerOfTwo(height)) return;
  glTexParameteri(target, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(target, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

int ArrayIndex(GLenum array) {
  if (array == GL_VERTEX_ARRAY) return kPosition;
  if (array == GL_TEXTURE_COORD_ARRAY) return kTexCoord;
  if (array == GL_COLOR_ARRAY) return kColour;
  return -1;
}

void ClientState(GLenum array, bool on) {
  const int i = ArrayIndex(array);
  if (i >= 0) gState.arrays[i].enabled = on;
}

void Pointer(Attribute attribute, GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
  gState.arrays[attribute] = {gState.arrays[attribute].enabled, size, type, stride,
                              static_cast<const uint8_t*>(pointer)};
}

// The enabled arrays go into the one buffer: as one span when they lie together (the sprite
// batch's interleaved vertices, a quad's two small arrays), else one after the other.
void DrawArrays(GLenum mode, GLint first, GLsizei count) {
  State& s = gState;
  if (count <= 0) return;
  const uint8_t* low = nullptr;
  const uint8_t* high = nullptr;
  size_t separate = 0;
  for (const ClientArray& a : s.arrays) {
    if (!a.enabled || !a.pointer) continue;
    const uint8_t* end = a.pointer + size_t(first + count) * size_t(a.Step());
    low = low ? std::min(low, a.pointer) : a.pointer;
    high = high ? std::max(high, end) : end;
    separate += size_t(end - a.pointer);
  }
  if (!low) return;
  static std::vector<uint8_t> packed;
  const bool together = size_t(high - low) <= 2 * separate;
  if (together) {
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(high - low), low, GL_STREAM_DRAW);
  } else {
    packed.clear();
    for (const ClientArray& a : s.arrays)
      if (a.enabled && a.pointer)
        packed.insert(packed.end(), a.pointer, a.pointer + size_t(first + count) * a.Step());
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(packed.size()), packed.data(), GL_STREAM_DRAW);
  }
  size_t offset = 0;
  for (int i = 0; i < kAttributes; ++i) {
    const ClientArray& a = s.arrays[i];
    if (!a.enabled || !a.pointer) {
      glDisableVertexAttribArray(i);
      if (i == kColour) glVertexAttrib4fv(i, s.colour);
      if (i == kTexCoord) glVertexAttrib2f(i, 0, 0);
      continue;
    }
    const size_t at = together ? size_t(a.pointer - low) : offset;
    offset += size_t(first + count) * a.Step();
    glEnableVertexAttribArray(i);
    glVertexAttribPointer(i, a.size, a.type, a.type == GL_UNSIGNED_BYTE ? GL_TRUE : GL_FALSE,
                          a.stride, reinterpret_cast<const void*>(at));
  }
  const Matrix m = Multiply(s.stacks[1][s.depth[1]], s.stacks[0][s.depth[0]]);
  float matrix[16];
  for (int i = 0; i < 16; ++i) matrix[i] = float(m.m[i]);
  glUniformMatrix4fv(s.matrixUniform, 1, GL_FALSE, matrix);
  glUniform1f(s.texturedUniform, s.texturing ? 1.0f : 0.0f);
  glUniform1f(s.alphaUniform, s.alphaTest ? s.alphaReference : -1.0f);
  glDrawArrays(mode, first, count);
}

GlApi WebGLTable() {
  GlApi api{};
  api.Viewport = glViewport;
  api.MatrixMode = MatrixMode;
  api.LoadIdentity = LoadIdentity;
  api.PushMatrix = PushMatrix;
  api.PopMatrix = PopMatrix;
  api.Frustum = Frustum;
  api.Ortho = Ortho;
  api.MultMatrixf = MultMatrixf;
  api.Translatef = Translatef;
  api.Rotatef = Rotatef;
  api.ClearColor = glClearColor;
  api.Clear = glClear;
  api.Enable = [](GLenum cap) { Toggle(cap, true); };
  api.Disable = [](GLenum cap) { Toggle(cap, false); };
  api.BlendFunc = glBlendFunc;
  api.AlphaFunc = AlphaFunc;
  api.Color4ub = Color4ub;
  api.GenTextures = glGenTextures;
  api.BindTexture = glBindTexture;
  api.TexImage2D = TexImage2D;
  api.TexParameteri = glTexParameteri;
  api.TexEnvi = [](GLenum, GLenum, GLint) {};  // always modulates
  api.EnableClientState = [](GLenum array) { ClientState(array, true); };
  api.DisableClientState = [](GLenum array) { ClientState(array, false); };
  api.VertexPointer = [](GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
    Pointer(kPosition, size, type, stride, pointer);
  };
  api.TexCoordPointer = [](GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
    Pointer(kTexCoord, size, type, stride, pointer);
  };
  api.ColorPointer = [](GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
    Pointer(kColour, size, type, stride, pointer);
  };
  api.DrawArrays = DrawArrays;
  return api;
}

}  // namespace

bool OpenBrowserGL(const char* canvas, int width, int height) {
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  attributes.alpha = EM_FALSE;
  attributes.depth = EM_FALSE;
  attributes.stencil = EM_FALSE;
  attributes.antialias = EM_FALSE;
  attributes.majorVersion = 1;
  const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
      emscripten_webgl_create_context(canvas, &attributes);
  if (context <= 0 || emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS)
    return false;
  MakeProgram();
  gState.width = width;
  gState.height = height;
  return true;
}

void KeepBrowserPicture() {
  State& s = gState;
  if (s.keptCount >= kMaxKeptPictures || !s.program) return;
  GLuint& texture = s.kept[s.keptCount++];
  if (!texture) {
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  }
  glBindTexture(GL_TEXTURE_2D, texture);
  glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 0, s.width, s.height, 0);
}

bool HasKeptPictures() { return gState.keptCount > 0; }

// The whole canvas, one texel a pixel; the game sets every state it draws with again.
bool ShowKeptPicture() {
  State& s = gState;
  if (s.keptShown >= s.keptCount) {
    s.keptCount = s.keptShown = 0;
    return false;
  }
  static const float kCorners[16] = {-1, -1, 0, 0, 1, -1, 1, 0, -1, 1, 0, 1, 1, 1, 1, 1};
  static const float kIdentity16[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  glViewport(0, 0, s.width, s.height);
  glDisable(GL_BLEND);
  glBindTexture(GL_TEXTURE_2D, s.kept[s.keptShown++]);
  glBufferData(GL_ARRAY_BUFFER, sizeof kCorners, kCorners, GL_STREAM_DRAW);
  glEnableVertexAttribArray(kPosition);
  glVertexAttribPointer(kPosition, 2, GL_FLOAT, GL_FALSE, 16, nullptr);
  glEnableVertexAttribArray(kTexCoord);
  glVertexAttribPointer(kTexCoord, 2, GL_FLOAT, GL_FALSE, 16, reinterpret_cast<const void*>(8));
  glDisableVertexAttribArray(kColour);
  glVertexAttrib4f(kColour, 1, 1, 1, 1);
  glUniformMatrix4fv(s.matrixUniform, 1, GL_FALSE, kIdentity16);
  glUniform1f(s.texturedUniform, 1.0f);
  glUniform1f(s.alphaUniform, -1.0f);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  return true;
}

void UseBrowserGL() { gGL = WebGLTable(); }
