// The desktop window on SDL 2. The game draws its 320 x 480 portrait screen into an offscreen
// framebuffer exactly as it would on the phone; each swap shows that picture turned upright
// in the landscape window, scaled to fit between black bars at the drawable's real size.
#include "platform/desktop.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>
#include <SDL_mixer.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <iterator>
#include <string>
#include <vector>

#include "engine/file_read.h"
#include "platform/data_dir.h"
#include "platform/platform.h"
#include "platform/view.h"

namespace {

constexpr size_t kMaxSoundFileBytes = 16 << 20;  // minutes of CD-quality sound

constexpr int kAudioFrequency = 44100;  // Hz
constexpr int kAudioChannels = 2;
constexpr int kAudioChunkSamples = 4096;
constexpr int16_t kStickDeadZone = 16000;  // of 32767
constexpr int kInputActions = int(InputAction::kCount);

// A loaded tune and the file bytes the mixer reads it from while it plays.
struct DesktopTune {
  std::string bytes;
  Mix_Music* music = nullptr;
};

struct KeyBinding {
  SDL_Keycode key;
  InputAction action;
};

// One key may stand for several actions: which one counts is the game's business.
const KeyBinding kKeyBindings[] = {
    {SDLK_LEFT, InputAction::kLeft},    {SDLK_a, InputAction::kLeft},
    {SDLK_RIGHT, InputAction::kRight},  {SDLK_d, InputAction::kRight},
    {SDLK_SPACE, InputAction::kJump},   {SDLK_UP, InputAction::kJump},
    {SDLK_w, InputAction::kJump},       {SDLK_DOWN, InputAction::kDown},
    {SDLK_s, InputAction::kDown},       {SDLK_LSHIFT, InputAction::kFire},
    {SDLK_x, InputAction::kFire},       {SDLK_r, InputAction::kRestart},
    {SDLK_RETURN, InputAction::kRetry}, {SDLK_KP_ENTER, InputAction::kRetry},
    {SDLK_RETURN, InputAction::kStart}, {SDLK_KP_ENTER, InputAction::kStart},
    {SDLK_SPACE, InputAction::kStart},  {SDLK_p, InputAction::kPause},
    {SDLK_m, InputAction::kMute},       {SDLK_F11, InputAction::kFullScreen},
};
constexpr int kKeyBindingCount = int(std::size(kKeyBindings));

// A pad's inputs by the game-controller database's standard names; the stick's directions
// come after the buttons.
struct PadBinding {
  int button;  // an SDL_GameControllerButton, or kStick... for a stick direction
  InputAction action;
};
constexpr int kStickLeft = -1, kStickRight = -2, kStickDown = -3;
const PadBinding kPadBindings[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, InputAction::kLeft},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, InputAction::kRight},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, InputAction::kDown},
    {kStickLeft, InputAction::kLeft},
    {kStickRight, InputAction::kRight},
    {kStickDown, InputAction::kDown},
    {SDL_CONTROLLER_BUTTON_A, InputAction::kJump},
    {SDL_CONTROLLER_BUTTON_A, InputAction::kRetry},
    {SDL_CONTROLLER_BUTTON_A, InputAction::kStart},
    {SDL_CONTROLLER_BUTTON_X, InputAction::kFire},
    {SDL_CONTROLLER_BUTTON_B, InputAction::kFire},
    {SDL_CONTROLLER_BUTTON_START, InputAction::kStart},
    {SDL_CONTROLLER_BUTTON_START, InputAction::kPause},
    {SDL_CONTROLLER_BUTTON_START, InputAction::kRetry},
    {SDL_CONTROLLER_BUTTON_BACK, InputAction::kRestart},
};
constexpr int kPadBindingCount = int(std::size(kPadBindings));

struct Pad {
  SDL_GameController* controller = nullptr;
  SDL_JoystickID id = -1;
  bool held[kPadBindingCount] = {};
};

struct Finger {
  bool down = false;
  bool pressSeen = false;  // down since the last read: a quick tap still counts once
  bool mouse = false;
  SDL_FingerID id = 0;
  int x = 0, y = 0;  // portrait device pixels
};

struct FramebufferProcs {
  PFNGLGENFRAMEBUFFERSEXTPROC Gen = nullptr;
  PFNGLBINDFRAMEBUFFEREXTPROC Bind = nullptr;
  PFNGLFRAMEBUFFERTEXTURE2DEXTPROC AttachTexture = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC Status = nullptr;
};

struct Desktop {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;
  LandscapeView drawView = FitLandscape(1, 1);   // in drawable pixels
  LandscapeView pointView = FitLandscape(1, 1);  // in window points, where pointers are
  int portraitWidth = kPortraitWidth;
  int portraitHeight = kPortraitHeight;
  FramebufferProcs fbo;
  GLuint framebuffer = 0;
  GLuint picture = 0;                         // the portrait screen, as a texture
  int windowedWidth = 0, windowedHeight = 0;  // before full screen
  bool audioOpen = false;
  bool quitSeen = false;
  std::deque<InputEvent> pending;
  bool keyHeld[kKeyBindingCount] = {};
  int held[3][kInputActions] = {};  // per source, how many inputs hold each action
  std::vector<Pad> pads;
  Finger fingers[kFingerSlots];
};

Desktop gDesktop;

void UpdateViews() {
  int w = 0, h = 0;
  SDL_GetWindowSize(gDesktop.window, &w, &h);
  gDesktop.pointView = FitLandscape(w, h);
  SDL_GL_GetDrawableSize(gDesktop.window, &w, &h);
  gDesktop.drawView = FitLandscape(w, h);
}

void BindGameScreen() {
  if (gDesktop.framebuffer) gDesktop.fbo.Bind(GL_FRAMEBUFFER_EXT, gDesktop.framebuffer);
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
  const LandscapeView& v = gDesktop.drawView;
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
  SDL_GL_SwapWindow(gDesktop.window);
  BindGameScreen();
}

bool InsidePicture(const LandscapeView& v, int x, int y) {
  return x >= v.offsetX && x < v.offsetX + v.width && y >= v.offsetY && y < v.offsetY + v.height;
}

// A touch in a side bar beside a bottom-corner button lands on that button (false: it lands
// nowhere); the mouse only points into the picture, clamped.
bool WindowToDevice(bool mouse, int windowX, int windowY, int* deviceX, int* deviceY) {
  int x, y;
  bool lands = true;
  if (mouse) {
    lands = InsidePicture(gDesktop.pointView, windowX, windowY);
    WindowToLandscape(gDesktop.pointView, windowX, windowY, &x, &y);
  } else {
    lands = TouchToLandscape(gDesktop.pointView, windowX, windowY, &x, &y);
  }
  LandscapeToDevice(x, y, deviceX, deviceY);
  return lands;
}

void Send(InputType type, InputSource source, InputAction action = InputAction::kLeft) {
  InputEvent e;
  e.type = type;
  e.source = source;
  e.action = action;
  gDesktop.pending.push_back(e);
}

// Desktop full screen, and back to the window size it had: not every window manager (nor the
// lack of one) restores it by itself.
void ToggleFullScreen() {
  if (SDL_GetWindowFlags(gDesktop.window) & SDL_WINDOW_FULLSCREEN_DESKTOP) {
    SDL_SetWindowFullscreen(gDesktop.window, 0);
    SDL_SetWindowSize(gDesktop.window, gDesktop.windowedWidth, gDesktop.windowedHeight);
  } else {
    SDL_GetWindowSize(gDesktop.window, &gDesktop.windowedWidth, &gDesktop.windowedHeight);
    SDL_SetWindowFullscreen(gDesktop.window, SDL_WINDOW_FULLSCREEN_DESKTOP);
  }
  UpdateViews();
}

// Presses and releases come per source only when the first input holds an action and when
// the last lets go of it.
void Hold(InputSource source, InputAction action, bool down) {
  int& count = gDesktop.held[int(source)][int(action)];
  count += down ? 1 : -1;
  if (down && count == 1) Send(InputType::kActionPressed, source, action);
  if (!down && count == 0) Send(InputType::kActionReleased, source, action);
  if (action == InputAction::kFullScreen && down && count == 1) ToggleFullScreen();
}

void HandleKey(const SDL_KeyboardEvent& e) {
  if (e.repeat) return;
  const bool down = e.type == SDL_KEYDOWN;
  for (int i = 0; i < kKeyBindingCount; ++i) {
    if (kKeyBindings[i].key != e.keysym.sym || gDesktop.keyHeld[i] == down) continue;
    gDesktop.keyHeld[i] = down;
    Hold(InputSource::kKeyboard, kKeyBindings[i].action, down);
  }
}

Pad* FindPad(SDL_JoystickID id) {
  for (Pad& pad : gDesktop.pads)
    if (pad.id == id) return &pad;
  return nullptr;
}

void SetPadInput(Pad& pad, int button, bool down) {
  for (int i = 0; i < kPadBindingCount; ++i) {
    if (kPadBindings[i].button != button || pad.held[i] == down) continue;
    pad.held[i] = down;
    Hold(InputSource::kPad, kPadBindings[i].action, down);
  }
}

void AddPad(int deviceIndex) {
  SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
  if (!controller) return;
  const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
  if (FindPad(id)) {
    SDL_GameControllerClose(controller);
    return;
  }
  Pad pad;
  pad.controller = controller;
  pad.id = id;
  gDesktop.pads.push_back(pad);
}

// A pad pulled out lets go of everything it held.
void RemovePad(SDL_JoystickID id) {
  for (auto it = gDesktop.pads.begin(); it != gDesktop.pads.end(); ++it) {
    if (it->id != id) continue;
    for (int i = 0; i < kPadBindingCount; ++i)
      if (it->held[i]) SetPadInput(*it, kPadBindings[i].button, false);
    SDL_GameControllerClose(it->controller);
    gDesktop.pads.erase(it);
    return;
  }
}

void HandleStick(const SDL_ControllerAxisEvent& e) {
  Pad* pad = FindPad(e.which);
  if (!pad) return;
  if (e.axis == SDL_CONTROLLER_AXIS_LEFTX) {
    SetPadInput(*pad, kStickLeft, e.value < -kStickDeadZone);
    SetPadInput(*pad, kStickRight, e.value > kStickDeadZone);
  } else if (e.axis == SDL_CONTROLLER_AXIS_LEFTY) {
    SetPadInput(*pad, kStickDown, e.value > kStickDeadZone);
  }
}

void SendFinger(InputType type, int slot) {
  InputEvent e;
  e.type = type;
  e.source = InputSource::kTouch;
  e.finger = slot;
  e.x = gDesktop.fingers[slot].x;
  e.y = gDesktop.fingers[slot].y;
  gDesktop.pending.push_back(e);
}

int SlotOf(bool mouse, SDL_FingerID id) {
  for (int i = 0; i < kFingerSlots; ++i) {
    const Finger& f = gDesktop.fingers[i];
    if (f.down && f.mouse == mouse && (mouse || f.id == id)) return i;
  }
  return -1;
}

// A new finger takes the lowest free slot; a touch in a black bar touches nothing, unless it
// rests beside a bottom-corner button.
void FingerDown(bool mouse, SDL_FingerID id, int windowX, int windowY) {
  int x, y;
  if (!WindowToDevice(mouse, windowX, windowY, &x, &y) || SlotOf(mouse, id) >= 0) return;
  for (int i = 0; i < kFingerSlots; ++i) {
    Finger& f = gDesktop.fingers[i];
    if (f.down) continue;
    f.down = f.pressSeen = true;
    f.mouse = mouse;
    f.id = id;
    f.x = x;
    f.y = y;
    SendFinger(InputType::kFingerDown, i);
    return;
  }
}

void FingerMoveOrUp(bool mouse, SDL_FingerID id, int windowX, int windowY, bool up) {
  const int slot = SlotOf(mouse, id);
  if (slot < 0) return;
  Finger& f = gDesktop.fingers[slot];
  WindowToDevice(mouse, windowX, windowY, &f.x, &f.y);
  if (up) f.down = false;
  SendFinger(up ? InputType::kFingerUp : InputType::kFingerMove, slot);
}

// Touch points come as fractions of the window.
void HandleTouch(const SDL_TouchFingerEvent& e) {
  if (e.touchId == SDL_MOUSE_TOUCHID) return;  // the mouse, already seen as itself
  const int x = int(e.x * float(gDesktop.pointView.windowWidth));
  const int y = int(e.y * float(gDesktop.pointView.windowHeight));
  if (e.type == SDL_FINGERDOWN)
    FingerDown(false, e.fingerId, x, y);
  else
    FingerMoveOrUp(false, e.fingerId, x, y, e.type == SDL_FINGERUP);
}

void HandleWindow(const SDL_WindowEvent& e) {
  switch (e.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      UpdateViews();
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
    case SDL_WINDOWEVENT_MINIMIZED:
      Send(InputType::kFocusLost, InputSource::kTouch);
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_RESTORED:
      Send(InputType::kFocusGained, InputSource::kTouch);
      break;
    default:
      break;
  }
}

// Turns one SDL event into the game's events, if any.
void Translate(const SDL_Event& e) {
  switch (e.type) {
    case SDL_QUIT:
      gDesktop.quitSeen = true;
      Send(InputType::kQuit, InputSource::kTouch);
      break;
    case SDL_WINDOWEVENT:
      HandleWindow(e.window);
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      HandleKey(e.key);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      // Only the left button is a finger; touches arrive once, as themselves.
      if (e.button.which == SDL_TOUCH_MOUSEID || e.button.button != SDL_BUTTON_LEFT) break;
      if (e.type == SDL_MOUSEBUTTONDOWN)
        FingerDown(true, 0, e.button.x, e.button.y);
      else
        FingerMoveOrUp(true, 0, e.button.x, e.button.y, true);
      break;
    case SDL_MOUSEMOTION:
      if (e.motion.which != SDL_TOUCH_MOUSEID)
        FingerMoveOrUp(true, 0, e.motion.x, e.motion.y, false);
      break;
    case SDL_FINGERDOWN:
    case SDL_FINGERMOTION:
    case SDL_FINGERUP:
      HandleTouch(e.tfinger);
      break;
    case SDL_CONTROLLERDEVICEADDED:
      AddPad(e.cdevice.which);
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      RemovePad(e.cdevice.which);
      break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      if (Pad* pad = FindPad(e.cbutton.which))
        SetPadInput(*pad, e.cbutton.button, e.type == SDL_CONTROLLERBUTTONDOWN);
      break;
    case SDL_CONTROLLERAXISMOTION:
      HandleStick(e.caxis);
      break;
    default:
      break;
  }
}

// SDL falls back to drivers that draw nowhere; a player who did not ask for one by name has
// no display. The reason why not, or null when there is a display (once SDL has started).
const char* WhyNoDisplay(bool started) {
  if (std::getenv("SDL_VIDEODRIVER")) return nullptr;
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
    return "neither DISPLAY nor WAYLAND_DISPLAY is set";
  const char* driver = started ? SDL_GetCurrentVideoDriver() : "";
  if (!driver || !std::strcmp(driver, "offscreen") || !std::strcmp(driver, "dummy"))
    return "no video driver reaches it";
  return nullptr;
}

bool OpenScreen(int width, int height, const char* caption) {
  const char* why = WhyNoDisplay(false);
  if (!why && SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER) != 0) why = SDL_GetError();
  if (!why) why = WhyNoDisplay(true);
  if (why) {
    std::fprintf(stderr, "brinkhop: no display to open a window on (%s)\n", why);
    SDL_Quit();
    return false;
  }
  gDesktop.portraitWidth = width;
  gDesktop.portraitHeight = height;
  // The fixed-function GL the game draws with.
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 6);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  // The window is landscape: the portrait height is its width.
  gDesktop.window =
      SDL_CreateWindow(caption, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                       height * kDefaultWindowScale, width * kDefaultWindowScale,
                       SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
  if (gDesktop.window) gDesktop.context = SDL_GL_CreateContext(gDesktop.window);
  if (!gDesktop.context) {
    std::fprintf(stderr, "brinkhop: no usable OpenGL on this display (%s)\n", SDL_GetError());
    SDL_Quit();
    return false;
  }
  // The frame limiter sleeps; the display's refresh does not pace the game.
  SDL_GL_SetSwapInterval(0);
  UpdateViews();
  CreateGameScreen();
  return true;
}

void OpenAudio() {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0 ||
      Mix_OpenAudio(kAudioFrequency, AUDIO_S16LSB, kAudioChannels, kAudioChunkSamples) != 0) {
    std::fprintf(stderr, "brinkhop: no sound device (%s); playing silent\n", SDL_GetError());
    return;
  }
  gDesktop.audioOpen = true;
}

void CloseAudio() {
  if (gDesktop.audioOpen) Mix_CloseAudio();
  gDesktop.audioOpen = false;
}

PlatformApi DesktopTable() {
  PlatformApi api{};
  api.OpenScreen = OpenScreen;
  api.OpenAudio = OpenAudio;
  api.CloseAudio = CloseAudio;
  api.GetTicks = [] { return uint32_t(SDL_GetTicks()); };
  api.Delay = [](uint32_t milliseconds) { SDL_Delay(milliseconds); };
  api.PollEvent = [](InputEvent* event) {
    SDL_Event e;
    while (gDesktop.pending.empty() && SDL_PollEvent(&e)) Translate(e);
    if (gDesktop.pending.empty()) return false;
    *event = gDesktop.pending.front();
    gDesktop.pending.pop_front();
    return true;
  };
  api.ReadFinger = [](int slot, int* x, int* y) {
    if (slot < 0 || slot >= kFingerSlots) return false;
    Finger& f = gDesktop.fingers[slot];
    if (x) *x = f.x;
    if (y) *y = f.y;
    const bool down = f.down || f.pressSeen;
    f.pressSeen = false;
    return down;
  };
  api.SwapBuffers = [] {
    if (gDesktop.framebuffer)
      PresentGameScreen();
    else
      SDL_GL_SwapWindow(gDesktop.window);
    // During play the game lets window-close requests pass; closing the window ends the
    // game all the same, as a normal quit.
    if (gDesktop.quitSeen) {
      CloseAudio();
      gPlatform.Exit(0);
    }
  };
  api.LoadSound = [](const char* file) {
    if (!gDesktop.audioOpen) return static_cast<SoundChunk*>(nullptr);
    // Read through the bounded reader, so a FIFO or a huge file in the data folder cannot hang
    // or swamp the start; the chunk keeps its own copy of the samples.
    std::string bytes, error;
    if (const FileReadResult read = ReadWholeFile(file, kMaxSoundFileBytes, bytes, error)) {
      if (read != kFileCannotOpen) std::fprintf(stderr, "%s: %s\n", file, error.c_str());
      return static_cast<SoundChunk*>(nullptr);
    }
    SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
    return reinterpret_cast<SoundChunk*>(stream ? Mix_LoadWAV_RW(stream, 1) : nullptr);
  };
  // When every channel is busy the sound is simply not played.
  api.PlaySound = [](SoundChunk* chunk) {
    if (chunk) Mix_PlayChannel(-1, reinterpret_cast<Mix_Chunk*>(chunk), 0);
  };
  api.LoadMusic = [](const char* file) {
    if (!gDesktop.audioOpen) return static_cast<MusicTune*>(nullptr);
    // Bounded like the chunks. The mixer streams a tune from its bytes while it plays, so the
    // tune keeps them for as long as the game does.
    auto* tune = new DesktopTune;
    std::string error;
    if (const FileReadResult read = ReadWholeFile(file, kMaxSoundFileBytes, tune->bytes, error)) {
      if (read != kFileCannotOpen) std::fprintf(stderr, "%s: %s\n", file, error.c_str());
      delete tune;
      return static_cast<MusicTune*>(nullptr);
    }
    SDL_RWops* stream = SDL_RWFromConstMem(tune->bytes.data(), int(tune->bytes.size()));
    tune->music = stream ? Mix_LoadMUS_RW(stream, 1) : nullptr;
    if (!tune->music) {
      delete tune;
      return static_cast<MusicTune*>(nullptr);
    }
    return reinterpret_cast<MusicTune*>(tune);
  };
  api.PlayMusic = [](MusicTune* tune, int loops) {
    if (tune) Mix_PlayMusic(reinterpret_cast<DesktopTune*>(tune)->music, loops);
  };
  // A fade of 0 halts at once.
  api.StopMusic = [](int fadeMilliseconds) {
    if (gDesktop.audioOpen) Mix_FadeOutMusic(fadeMilliseconds);
  };
  api.SetMusicVolume = [](int volume) {
    if (gDesktop.audioOpen) Mix_VolumeMusic(volume);
  };
  api.MusicPlaying = [] { return gDesktop.audioOpen && Mix_PlayingMusic() != 0; };
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
