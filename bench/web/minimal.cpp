// The smallest page the toolchain makes that shows a frame: a WebGL context cleared once. The
// first-frame benchmark loads it beside the game's page, in the same browser.
#include <GLES2/gl2.h>
#include <emscripten.h>
#include <emscripten/html5.h>

int main() {
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  attributes.alpha = EM_FALSE;
  const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
      emscripten_webgl_create_context("#screen", &attributes);
  emscripten_webgl_make_context_current(context);
  glClearColor(0.47f, 0.76f, 0.91f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  EM_ASM({ requestAnimationFrame(function() { Module.onFirstFrame(); }); });
  return 0;
}
