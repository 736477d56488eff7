// The two stock GL tables: the real library, and a silent one for running without a context.
#include "engine/gl_api.h"

namespace {

GLuint gNextHeadlessTexture = 1;

void HeadlessGenTextures(GLsizei n, GLuint* textures) {
  for (GLsizei i = 0; i < n; ++i) textures[i] = gNextHeadlessTexture++;
}

GlApi HeadlessTable() {
  GlApi api{};
  api.Viewport = [](GLint, GLint, GLsizei, GLsizei) {};
  api.MatrixMode = [](GLenum) {};
  api.LoadIdentity = [] {};
  api.PushMatrix = [] {};
  api.PopMatrix = [] {};
  api.Frustum = [](GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble) {};
  api.Ortho = [](GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble) {};
  api.MultMatrixf = [](const GLfloat*) {};
  api.Translatef = [](GLfloat, GLfloat, GLfloat) {};
  api.Rotatef = [](GLfloat, GLfloat, GLfloat, GLfloat) {};
  api.ClearColor = [](GLclampf, GLclampf, GLclampf, GLclampf) {};
  api.Clear = [](GLbitfield) {};
  api.Enable = [](GLenum) {};
  api.Disable = [](GLenum) {};
  api.BlendFunc = [](GLenum, GLenum) {};
  api.AlphaFunc = [](GLenum, GLclampf) {};
  api.Color4ub = [](GLubyte, GLubyte, GLubyte, GLubyte) {};
  api.GenTextures = HeadlessGenTextures;
  api.BindTexture = [](GLenum, GLuint) {};
  api.TexImage2D = [](GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum,
                      const GLvoid*) {};
  api.TexParameteri = [](GLenum, GLenum, GLint) {};
  api.TexEnvi = [](GLenum, GLenum, GLint) {};
  api.EnableClientState = [](GLenum) {};
  api.DisableClientState = [](GLenum) {};
  api.VertexPointer = [](GLint, GLenum, GLsizei, const GLvoid*) {};
  api.TexCoordPointer = [](GLint, GLenum, GLsizei, const GLvoid*) {};
  api.ColorPointer = [](GLint, GLenum, GLsizei, const GLvoid*) {};
  api.DrawArrays = [](GLenum, GLint, GLsizei) {};
  return api;
}

GlApi DesktopTable() {
  GlApi api{};
  api.Viewport = glViewport;
  api.MatrixMode = glMatrixMode;
  api.LoadIdentity = glLoadIdentity;
  api.PushMatrix = glPushMatrix;
  api.PopMatrix = glPopMatrix;
  api.Frustum = glFrustum;
  api.Ortho = glOrtho;
  api.MultMatrixf = glMultMatrixf;
  api.Translatef = glTranslatef;
  api.Rotatef = glRotatef;
  api.ClearColor = glClearColor;
  api.Clear = glClear;
  api.Enable = glEnable;
  api.Disable = glDisable;
  api.BlendFunc = glBlendFunc;
  api.AlphaFunc = glAlphaFunc;
  api.Color4ub = glColor4ub;
  api.GenTextures = glGenTextures;
  api.BindTexture = glBindTexture;
  api.TexImage2D = glTexImage2D;
  api.TexParameteri = glTexParameteri;
  api.TexEnvi = glTexEnvi;
  api.EnableClientState = glEnableClientState;
  api.DisableClientState = glDisableClientState;
  api.VertexPointer = glVertexPointer;
  api.TexCoordPointer = glTexCoordPointer;
  api.ColorPointer = glColorPointer;
  api.DrawArrays = glDrawArrays;
  return api;
}

}  // namespace

GlApi gGL = HeadlessTable();

void UseHeadlessGL() { gGL = HeadlessTable(); }

void UseDesktopGL() { gGL = DesktopTable(); }
