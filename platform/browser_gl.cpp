// The browser's GL: the desktop's fixed-function table over emscripten's legacy emulation, with
// the one rule WebGL 1 adds: a texture whose sides are not powers of two samples as black
// unless it clamps at its edges, so such textures are made to clamp (they never repeat here).
#include <GL/gl.h>

#include "engine/gl_api.h"
#include "platform/browser.h"

namespace {

bool PowerOfTwo(GLsizei n) { return n > 0 && (n & (n - 1)) == 0; }

void TexImage2DClamped(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                       GLsizei height, GLint border, GLenum format, GLenum type,
                       const GLvoid* pixels) {
  glTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
  if (PowerOfTwo(width) && PowerOfTwo(height)) return;
  glTexParameteri(target, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(target, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

}  // namespace

void UseBrowserGL() {
  UseDesktopGL();
  gGL.TexImage2D = TexImage2DClamped;
}
