// The desktop window. The game draws its 320 x 480 portrait screen into an offscreen
// framebuffer exactly as it would on the phone; each swap shows that picture turned upright
// in the landscape window, scaled to fit between black bars.
#include "platform/desktop.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>
#include <SDL_mixer.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/data_dir.h"
#include "platform/platform.h"
#include "platform/view.h"

namespace {

constexpr uint32_t kWindowFlags = SDL_OPENGL | SDL_RESIZABLE;

struct FramebufferProcs {
  PFNGLGENFRAMEBUFFERSEXTPROC Gen = nullptr;
  PFNGLBINDFRAMEBUFFEREXTPROC Bind = nullptr;
  PFNGLFRAMEBUFFERTEXTURE2DEXTPROC AttachTexture = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC Status = nullptr;
};

struct Desktop {
  SDL_Surface* surface = nullptr;
  LandscapeView view =
      FitLandscape(kLandscapeWidth * kDefaultWindowScale, kLandscapeHeight* kDefaultWindowScale);
  int portraitWidth = kPortraitWidth;
  int portraitHeight = kPortraitHeight;
  int desktopWidth = 0, desktopHeight = 0;
  int windowedWidth = 0, windowedHeight = 0;
  bool fullscreen = false;
  FramebufferProcs fbo;
  GLuint framebuffer = 0;
  GLuint picture = 0;  // the portrait screen, as a texture
  bool quitSeen = false;
  // A click that goes down and up between two polls still counts as one frame's touch.
  bool pressSeen = false;
};

Desktop gDesktop;

void BindGameScreen() {
  if (gDesktop.framebuffer) gDesktop.fbo.Bind(GL_FRAMEBUFFER_EXT, gDesktop.framebuffer);
}

void SetWindow(int width, int height, bool fullscreen) {
  const uint32_t flags = fullscreen ? (SDL_OPENGL | SDL_FULLSCREEN) : kWindowFlags;
  // On X11, SDL 1.2 resizes the existing window and keeps the GL context and our framebuffer.
  SDL_Surface* surface = SDL_SetVideoMode(width, height, 0, flags);
  if (!surface) return;
  gDesktop.surface = surface;
  gDesktop.fullscreen = fullscreen;
  gDesktop.view = FitLandscape(surface->w, surface->h);
}

template <typename Proc>
Proc LoadProc(const char* name) {
  return reinterpret_cast<Proc>(SDL_GL_GetProcAddress(name));
}

void CreateGameScreen() {
  FramebufferProcs& p = gDesktop.fbo;
  p.Gen = LoadProc<PFNGLGENFRAMEBUFFERSEXTPROC>("glGenFramebuffersEXT");
  p.Bind = LoadProc<PFNGLBINDFRAMEBUFFEREXTPROC>("glBindFramebufferEXT");
  p.AttachTexture = LoadProc<PFNGLFRAMEBUFFERTEXTURE2DEXTPROC>("glFramebufferTexture2DEXT");
  p.Status = LoadProc<PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC>("glCheckFramebufferStatusEXT");
  if (!p.Gen || !p.Bind || !p.AttachTexture || !p.Status) {
    std::fprintf(stderr,
                 "brinkhop: this GL has no framebuffer objects; the picture will be "
                 "drawn unturned\n");
    return;
  }
  glGenTextures(1, &gDesktop.picture);
  glBindTexture(GL_TEXTURE_2D, gDesktop.picture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, gDesktop.portraitWidth, gDesktop.portraitHeight, 0,
               GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  // Nearest filtering keeps the pixel art sharp at any scale.
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glBindTexture(GL_TEXTURE_2D, 0);

  p.Gen(1, &gDesktop.framebuffer);
  p.Bind(GL_FRAMEBUFFER_EXT, gDesktop.framebuffer);
  p.AttachTexture(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, gDesktop.picture, 0);
  if (p.Status(GL_FRAMEBUFFER_EXT) != GL_FRAMEBUFFER_COMPLETE_EXT) {
    std::fprintf(stderr, "brinkhop: the offscreen screen is not usable; drawing unturned\n");
    p.Bind(GL_FRAMEBUFFER_EXT, 0);
    gDesktop.framebuffer = 0;
  }
}

// Shows the portrait picture turned upright: landscape top-left is portrait top-right.
void PresentGameScreen() {
  const LandscapeView& v = gDesktop.view;
  gDesktop.fbo.Bind(GL_FRAMEBUFFER_EXT, 0);
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, v.windowWidth, v.windowHeight, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glViewport(0, 0, v.windowWidth, v.windowHeight);
  glDisable(GL_SCISSOR_TEST);
  // Software GL pays for every pixel: clear only when there are bars to paint black.
  if (v.width < v.windowWidth || v.height < v.windowHeight) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_CULL_FACE);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, gDesktop.picture);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  const float left = float(v.offsetX), top = float(v.offsetY);
  const float right = left + float(v.width), bottom = top + float(v.height);
  glBegin(GL_QUADS);
  glTexCoord2f(1, 1);
  glVertex2f(left, top);
  glTexCoord2f(1, 0);
  glVertex2f(right, top);
  glTexCoord2f(0, 0);
  glVertex2f(right, bottom);
  glTexCoord2f(0, 1);
  glVertex2f(left, bottom);
  glEnd();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopClientAttrib();
  glPopAttrib();
  SDL_GL_SwapBuffers();
  BindGameScreen();
}

void WindowToDevice(int windowX, int windowY, int* deviceX, int* deviceY) {
  int x, y;
  WindowToLandscape(gDesktop.view, windowX, windowY, &x, &y);
  LandscapeToDevice(x, y, deviceX, deviceY);
}

// The mouse is finger 0, and its events carry portrait device points like a touch.
template <typename MouseEvent>
void AsFingerZero(MouseEvent& m) {
  int x, y;
  WindowToDevice(m.x, m.y, &x, &y);
  m.which = 0;
  m.x = Uint16(x);
  m.y = Uint16(y);
}

// Handles what belongs to the window itself; false when the game should not see the event.
bool Filter(SDL_Event* e) {
  switch (e->type) {
    case SDL_VIDEORESIZE:
      if (!gDesktop.fullscreen) SetWindow(e->resize.w, e->resize.h, false);
      return false;
    case SDL_KEYDOWN:
      if (e->key.keysym.sym == SDLK_F11) {
        if (gDesktop.fullscreen) {
          SetWindow(gDesktop.windowedWidth, gDesktop.windowedHeight, false);
        } else {
          gDesktop.windowedWidth = gDesktop.view.windowWidth;
          gDesktop.windowedHeight = gDesktop.view.windowHeight;
          SetWindow(gDesktop.desktopWidth, gDesktop.desktopHeight, true);
        }
        return false;
      }
      return true;
    case SDL_MOUSEMOTION:
      AsFingerZero(e->motion);
      return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      // Only the left button is a finger; the wheel arrives as buttons too.
      if (e->button.button != SDL_BUTTON_LEFT) return false;
      if (e->type == SDL_MOUSEBUTTONDOWN) gDesktop.pressSeen = true;
      AsFingerZero(e->button);
      return true;
    case SDL_QUIT:
      gDesktop.quitSeen = true;
      return true;
    default:
      return true;
  }
}

uint8_t MouseState(int* x, int* y) {
  int windowX = 0, windowY = 0;
  const uint8_t buttons = SDL_GetMouseState(&windowX, &windowY);
  int deviceX, deviceY;
  WindowToDevice(windowX, windowY, &deviceX, &deviceY);
  if (x) *x = deviceX;
  if (y) *y = deviceY;
  return buttons & SDL_BUTTON(SDL_BUTTON_LEFT);
}

PlatformApi DesktopTable() {
  PlatformApi api{};
  api.Init = [](uint32_t flags) { SDL_Init(flags); };
  api.DeviceInit = [](int) {};
  api.SetGLAttribute = [](int attribute, int value) {
    // The phone's OpenGL ES attribute has no meaning here: the desktop GL context offers the
    // fixed-function subset the game uses.
    if (attribute == kGLAttributeESMajorVersion) return;
    SDL_GL_SetAttribute(SDL_GLattr(attribute), value);
  };
  api.SetVideoMode = [](int width, int height) {
    gDesktop.portraitWidth = width;
    gDesktop.portraitHeight = height;
    if (const SDL_VideoInfo* info = SDL_GetVideoInfo()) {
      gDesktop.desktopWidth = info->current_w;
      gDesktop.desktopHeight = info->current_h;
    }
    // The window is landscape: the portrait height is its width.
    SetWindow(height * kDefaultWindowScale, width * kDefaultWindowScale, false);
    if (gDesktop.desktopWidth <= 0) {
      gDesktop.desktopWidth = gDesktop.view.windowWidth;
      gDesktop.desktopHeight = gDesktop.view.windowHeight;
    }
    if (gDesktop.surface) CreateGameScreen();
  };
  api.SetOrientation = [](int) {};
  api.OpenAudio = [](int frequency, uint16_t format, int channels, int chunkSize) {
    if (Mix_OpenAudio(frequency, format, channels, chunkSize) != 0) {
      std::fprintf(stderr, "brinkhop: no sound device (%s); playing silent\n", Mix_GetError());
      return;
    }
    int actualFrequency, actualChannels;
    uint16_t actualFormat;
    Mix_QuerySpec(&actualFrequency, &actualFormat, &actualChannels);
  };
  api.SetCaption = [](const char* title) { SDL_WM_SetCaption(title, nullptr); };
  api.PollEvent = [](SDL_Event* event) {
    while (SDL_PollEvent(event))
      if (Filter(event)) return 1;
    return 0;
  };
  api.GetMouseState = MouseState;
  api.GetMultiMouseState = [](int finger, int* x, int* y) -> uint8_t {
    if (finger != 0) return 0;
    uint8_t buttons = MouseState(x, y);
    if (gDesktop.pressSeen) buttons |= SDL_BUTTON(SDL_BUTTON_LEFT);
    gDesktop.pressSeen = false;
    return buttons;
  };
  api.GetTicks = [] { return uint32_t(SDL_GetTicks()); };
  api.Delay = [](uint32_t milliseconds) { SDL_Delay(milliseconds); };
  api.SwapBuffers = [] {
    if (gDesktop.framebuffer)
      PresentGameScreen();
    else
      SDL_GL_SwapBuffers();
    // During play the game lets window-close requests pass; closing the window ends the
    // game all the same, as a normal quit.
    if (gDesktop.quitSeen) {
      Mix_CloseAudio();
      gPlatform.Exit(0);
    }
  };
  api.CloseAudio = [] { Mix_CloseAudio(); };
  api.Exit = [](int status) {
    SDL_Quit();
    std::exit(status);
  };
  return api;
}

}  // namespace

void UseDesktopPlatform() { gPlatform = DesktopTable(); }

bool EnterDataDirectory() {
  const std::string directory = FindDataDirectory();
  return !directory.empty() && chdir(directory.c_str()) == 0;
}
