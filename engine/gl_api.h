// The seam between the game and OpenGL: every GL call the game makes goes through gGL,
// so the same frame can drive a real context, a recorder in tests, or nothing at all.
#pragma once

#include <GL/gl.h>

struct GlApi {
  void (*Viewport)(GLint x, GLint y, GLsizei width, GLsizei height);
  void (*MatrixMode)(GLenum mode);
  void (*LoadIdentity)();
  void (*PushMatrix)();
  void (*PopMatrix)();
  void (*Frustum)(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
                  GLdouble zFar);
  void (*Ortho)(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
                GLdouble zFar);
  void (*MultMatrixf)(const GLfloat* m);
  void (*Translatef)(GLfloat x, GLfloat y, GLfloat z);
  void (*Rotatef)(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
  void (*ClearColor)(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha);
  void (*Clear)(GLbitfield mask);
  void (*Enable)(GLenum cap);
  void (*Disable)(GLenum cap);
  void (*BlendFunc)(GLenum sfactor, GLenum dfactor);
  void (*AlphaFunc)(GLenum func, GLclampf ref);
  void (*Color4ub)(GLubyte red, GLubyte green, GLubyte blue, GLubyte alpha);
  void (*GenTextures)(GLsizei n, GLuint* textures);
  void (*BindTexture)(GLenum target, GLuint texture);
  void (*TexImage2D)(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                     GLsizei height, GLint border, GLenum format, GLenum type,
                     const GLvoid* pixels);
  void (*TexParameteri)(GLenum target, GLenum pname, GLint param);
  void (*TexEnvi)(GLenum target, GLenum pname, GLint param);
  void (*EnableClientState)(GLenum array);
  void (*DisableClientState)(GLenum array);
  void (*VertexPointer)(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
  void (*TexCoordPointer)(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
  void (*ColorPointer)(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
  void (*DrawArrays)(GLenum mode, GLint first, GLsizei count);
};

// Starts out as the headless table: draws nothing, but hands out texture names so that
// textures decode and keep their sizes without a context.
extern GlApi gGL;

void UseHeadlessGL();
void UseDesktopGL();
