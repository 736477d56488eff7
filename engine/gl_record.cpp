// Recording GL table: a small model of the fixed-function state that the game touches.
#include "engine/gl_record.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

cGlRecorder* gRecorder = nullptr;

template <typename... Args>
void Log(const char* name, Args... args) {
  std::string line = name;
  char number[32];
  ((std::snprintf(number, sizeof number, " %g", static_cast<double>(args)), line += number), ...);
  gRecorder->calls.push_back(line);
}

void MultiplyCurrent(const GlMatrix& m) {
  GlMatrix& top = gRecorder->CurrentStack().back();
  top = top * m;
}

GlMatrix FrustumMatrix(double l, double r, double b, double t, double n, double f) {
  GlMatrix m{};
  m.m[0] = static_cast<float>(2 * n / (r - l));
  m.m[5] = static_cast<float>(2 * n / (t - b));
  m.m[8] = static_cast<float>((r + l) / (r - l));
  m.m[9] = static_cast<float>((t + b) / (t - b));
  m.m[10] = static_cast<float>(-(f + n) / (f - n));
  m.m[11] = -1.0f;
  m.m[14] = static_cast<float>(-2 * f * n / (f - n));
  return m;
}

GlMatrix OrthoMatrix(double l, double r, double b, double t, double n, double f) {
  GlMatrix m = GlMatrix::Identity();
  m.m[0] = static_cast<float>(2 / (r - l));
  m.m[5] = static_cast<float>(2 / (t - b));
  m.m[10] = static_cast<float>(-2 / (f - n));
  m.m[12] = static_cast<float>(-(r + l) / (r - l));
  m.m[13] = static_cast<float>(-(t + b) / (t - b));
  m.m[14] = static_cast<float>(-(f + n) / (f - n));
  return m;
}

GlMatrix RotationMatrix(float degrees, float x, float y, float z) {
  const double length = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
  GlMatrix m = GlMatrix::Identity();
  if (length == 0) return m;
  const double ax = x / length, ay = y / length, az = z / length;
  const double r = degrees * M_PI / 180.0, c = std::cos(r), s = std::sin(r), k = 1 - c;
  m.m[0] = float(ax * ax * k + c);
  m.m[1] = float(ay * ax * k + az * s);
  m.m[2] = float(ax * az * k - ay * s);
  m.m[4] = float(ax * ay * k - az * s);
  m.m[5] = float(ay * ay * k + c);
  m.m[6] = float(ay * az * k + ax * s);
  m.m[8] = float(ax * az * k + ay * s);
  m.m[9] = float(ay * az * k - ax * s);
  m.m[10] = float(az * az * k + c);
  return m;
}

float ReadComponent(const cGlRecorder::ArrayPointer& array, GLint first, GLint index,
                    int component) {
  const GLsizei elementSize = [&] {
    switch (array.type) {
      case GL_SHORT:
        return GLsizei(2);
      case GL_UNSIGNED_BYTE:
        return GLsizei(1);
      default:
        return GLsizei(4);
    }
  }();
  const GLsizei stride = array.stride ? array.stride : elementSize * array.size;
  const auto* base = static_cast<const unsigned char*>(array.pointer) + (first + index) * stride +
                     component * elementSize;
  switch (array.type) {
    case GL_SHORT: {
      int16_t value;
      std::memcpy(&value, base, sizeof value);
      return value;
    }
    case GL_UNSIGNED_BYTE:
      return *base;
    default: {
      float value;
      std::memcpy(&value, base, sizeof value);
      return value;
    }
  }
}

void RecordDraw(GLenum mode, GLint first, GLsizei count) {
  cGlRecorder& r = *gRecorder;
  Log("DrawArrays", mode, first, count);
  GlRecordedDraw draw{mode,
                      r.boundTexture,
                      r.IsEnabled(GL_BLEND),
                      r.IsEnabled(GL_ALPHA_TEST),
                      r.IsEnabled(GL_TEXTURE_2D),
                      {}};
  const bool hasVertices = r.clientArrays.count(GL_VERTEX_ARRAY) && r.vertexArray.pointer;
  const bool hasTexCoords = r.clientArrays.count(GL_TEXTURE_COORD_ARRAY) && r.texCoordArray.pointer;
  const bool hasColours = r.clientArrays.count(GL_COLOR_ARRAY) && r.colourArray.pointer;
  for (GLsizei i = 0; i < count && hasVertices; ++i) {
    GlRecordedVertex v{};
    v.x = ReadComponent(r.vertexArray, first, i, 0);
    v.y = ReadComponent(r.vertexArray, first, i, 1);
    v.z = r.vertexArray.size > 2 ? ReadComponent(r.vertexArray, first, i, 2) : 0.0f;
    if (hasTexCoords) {
      v.u = ReadComponent(r.texCoordArray, first, i, 0);
      v.v = ReadComponent(r.texCoordArray, first, i, 1);
    }
    for (int c = 0; c < 4; ++c)
      v.colour[c] =
          hasColours ? uint8_t(ReadComponent(r.colourArray, first, i, c)) : r.currentColour[c];
    const auto screen = r.ToScreen(v.x, v.y, v.z);
    v.screenX = screen[0];
    v.screenY = screen[1];
    draw.vertices.push_back(v);
  }
  r.draws.push_back(std::move(draw));
}

GlApi RecordingTable() {
  GlApi api{};
  api.Viewport = [](GLint x, GLint y, GLsizei w, GLsizei h) {
    Log("Viewport", x, y, w, h);
    gRecorder->viewport[0] = x;
    gRecorder->viewport[1] = y;
    gRecorder->viewport[2] = w;
    gRecorder->viewport[3] = h;
  };
  api.MatrixMode = [](GLenum mode) {
    Log(mode == GL_PROJECTION ? "MatrixMode PROJECTION" : "MatrixMode MODELVIEW");
    gRecorder->matrixMode = mode;
  };
  api.LoadIdentity = [] {
    Log("LoadIdentity");
    gRecorder->CurrentStack().back() = GlMatrix::Identity();
  };
  api.PushMatrix = [] {
    Log("PushMatrix");
    auto& stack = gRecorder->CurrentStack();
    stack.push_back(stack.back());
  };
  api.PopMatrix = [] {
    Log("PopMatrix");
    auto& stack = gRecorder->CurrentStack();
    if (stack.size() > 1) stack.pop_back();
  };
  api.Frustum = [](GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    Log("Frustum", l, r, b, t, n, f);
    MultiplyCurrent(FrustumMatrix(l, r, b, t, n, f));
  };
  api.Ortho = [](GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    Log("Ortho", l, r, b, t, n, f);
    MultiplyCurrent(OrthoMatrix(l, r, b, t, n, f));
  };
  api.MultMatrixf = [](const GLfloat* m) {
    Log("MultMatrixf");
    GlMatrix matrix;
    std::memcpy(matrix.m, m, sizeof matrix.m);
    MultiplyCurrent(matrix);
  };
  api.Translatef = [](GLfloat x, GLfloat y, GLfloat z) {
    Log("Translatef", x, y, z);
    GlMatrix m = GlMatrix::Identity();
    m.m[12] = x;
    m.m[13] = y;
    m.m[14] = z;
    MultiplyCurrent(m);
  };
  api.Rotatef = [](GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    Log("Rotatef", angle, x, y, z);
    MultiplyCurrent(RotationMatrix(angle, x, y, z));
  };
  api.ClearColor = [](GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    Log("ClearColor", r, g, b, a);
    const float colour[4] = {r, g, b, a};
    std::memcpy(gRecorder->clearColour, colour, sizeof colour);
  };
  api.Clear = [](GLbitfield mask) {
    Log("Clear", mask);
    ++gRecorder->clears;
  };
  api.Enable = [](GLenum cap) {
    Log("Enable", cap);
    gRecorder->enabled.insert(cap);
  };
  api.Disable = [](GLenum cap) {
    Log("Disable", cap);
    gRecorder->enabled.erase(cap);
  };
  api.BlendFunc = [](GLenum s, GLenum d) { Log("BlendFunc", s, d); };
  api.AlphaFunc = [](GLenum func, GLclampf ref) { Log("AlphaFunc", func, ref); };
  api.Color4ub = [](GLubyte r, GLubyte g, GLubyte b, GLubyte a) {
    Log("Color4ub", r, g, b, a);
    const uint8_t colour[4] = {r, g, b, a};
    std::memcpy(gRecorder->currentColour, colour, sizeof colour);
  };
  api.GenTextures = [](GLsizei n, GLuint* textures) {
    Log("GenTextures", n);
    for (GLsizei i = 0; i < n; ++i) textures[i] = gRecorder->nextTexture++;
  };
  api.BindTexture = [](GLenum target, GLuint texture) {
    Log("BindTexture", target, texture);
    gRecorder->boundTexture = texture;
  };
  api.TexImage2D = [](GLenum, GLint level, GLint, GLsizei w, GLsizei h, GLint, GLenum, GLenum,
                      const GLvoid*) {
    Log("TexImage2D", level, w, h);
    gRecorder->uploads.push_back({int(gRecorder->boundTexture), int(w), int(h)});
  };
  api.TexParameteri = [](GLenum target, GLenum pname, GLint param) {
    Log("TexParameteri", target, pname, param);
  };
  api.TexEnvi = [](GLenum target, GLenum pname, GLint param) {
    Log("TexEnvi", target, pname, param);
  };
  api.EnableClientState = [](GLenum array) {
    Log("EnableClientState", array);
    gRecorder->clientArrays.insert(array);
  };
  api.DisableClientState = [](GLenum array) {
    Log("DisableClientState", array);
    gRecorder->clientArrays.erase(array);
  };
  api.VertexPointer = [](GLint size, GLenum type, GLsizei stride, const GLvoid* p) {
    Log("VertexPointer", size, type, stride);
    gRecorder->vertexArray = {size, type, stride, p};
  };
  api.TexCoordPointer = [](GLint size, GLenum type, GLsizei stride, const GLvoid* p) {
    Log("TexCoordPointer", size, type, stride);
    gRecorder->texCoordArray = {size, type, stride, p};
  };
  api.ColorPointer = [](GLint size, GLenum type, GLsizei stride, const GLvoid* p) {
    Log("ColorPointer", size, type, stride);
    gRecorder->colourArray = {size, type, stride, p};
  };
  api.DrawArrays = RecordDraw;
  return api;
}

}  // namespace

GlMatrix GlMatrix::Identity() {
  GlMatrix m{};
  m.m[0] = m.m[5] = m.m[10] = m.m[15] = 1.0f;
  return m;
}

GlMatrix GlMatrix::operator*(const GlMatrix& o) const {
  GlMatrix r{};
  for (int col = 0; col < 4; ++col)
    for (int row = 0; row < 4; ++row) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += double(m[k * 4 + row]) * o.m[col * 4 + k];
      r.m[col * 4 + row] = float(sum);
    }
  return r;
}

std::array<float, 4> GlMatrix::Apply(float x, float y, float z, float w) const {
  std::array<float, 4> r{};
  for (int row = 0; row < 4; ++row)
    r[row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row] * w;
  return r;
}

cGlRecorder::cGlRecorder() {
  gRecorder = this;
  gGL = RecordingTable();
}

cGlRecorder::~cGlRecorder() {
  UseHeadlessGL();
  gRecorder = nullptr;
}

std::array<float, 2> cGlRecorder::ToScreen(float x, float y, float z) const {
  const auto clip = (projection.back() * modelView.back()).Apply(x, y, z);
  const float ndcX = clip[0] / clip[3], ndcY = clip[1] / clip[3];
  return {viewport[0] + (ndcX + 1) * 0.5f * viewport[2],
          viewport[1] + (1 - ndcY) * 0.5f * viewport[3]};
}

int cGlRecorder::CountCalls(const std::string& name) const {
  int count = 0;
  for (const auto& line : calls)
    if (line == name || line.rfind(name + " ", 0) == 0) ++count;
  return count;
}

void cGlRecorder::ClearLog() {
  calls.clear();
  draws.clear();
  clears = 0;
}
