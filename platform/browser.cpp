// The browser device: the page's canvas as the portrait screen (the page turns it upright),
// input through emscripten's html5 events, and a clock that moves with the animation frames,
// which call the game back: nothing here ever waits.
#include "platform/browser.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <iterator>

#include "platform/platform.h"
#include "platform/view.h"

// A game that has ended stays where it is; the page says so.
EM_JS(void, brinkhop_game_ended, (int status), {
  if (Module.onGameEnded) Module.onGameEnded(status);
});

EM_JS(void, brinkhop_no_webgl, (), {
  if (Module.onNoWebGL) Module.onNoWebGL();
});

// Whether the page has written the levels into /data (page.js unpacks them after the first
// frame, or now if asked), successfully or not.
EM_JS(int, brinkhop_levels_ready, (int want), {
  if (want && Module.brinkhopLevels) Module.brinkhopLevels();
  return Module.brinkhopLevelsDone ? 1 : 0;
});

EM_JS(void, brinkhop_first_frame_drawn, (), {
  requestAnimationFrame(function() {
    if (Module.onFirstFrame) Module.onFirstFrame();
  });
});

// The landscape box's place in the window (CSS pixels): left, top, width, height, and the
// window's own width and height.
EM_JS(void, brinkhop_stage_rect, (double* out), {
  var box = document.getElementById('stage');
  var r = box ? box.getBoundingClientRect() : {left : 0, top : 0, width : 480, height : 320};
  var at = out >> 3;
  HEAPF64[at] = r.left;
  HEAPF64[at + 1] = r.top;
  HEAPF64[at + 2] = r.width;
  HEAPF64[at + 3] = r.height;
  HEAPF64[at + 4] = window.innerWidth;
  HEAPF64[at + 5] = window.innerHeight;
});

EM_JS(int, brinkhop_page_portrait, (), { return window.innerWidth < window.innerHeight ? 1 : 0; });

namespace {

constexpr const char* kStage = "#stage";
constexpr const char* kCanvas = "#screen";
constexpr int kMouseId = -1;             // the mouse's touch identifier: no touch has it
constexpr double kStickDeadZone = 0.49;  // of full tilt, as the desktop's 16000 of 32767
constexpr int kMaxPads = 4;

// The desktop's keys, by the position-based code the browser reports.
struct KeyBinding {
  const char* code;
  InputAction action;
};
constexpr KeyBinding kKeyBindings[] = {
    {"ArrowLeft", InputAction::kLeft},    {"KeyA", InputAction::kLeft},
    {"ArrowRight", InputAction::kRight},  {"KeyD", InputAction::kRight},
    {"Space", InputAction::kJump},        {"ArrowUp", InputAction::kJump},
    {"KeyW", InputAction::kJump},         {"ArrowDown", InputAction::kDown},
    {"KeyS", InputAction::kDown},         {"ShiftLeft", InputAction::kFire},
    {"KeyX", InputAction::kFire},         {"KeyR", InputAction::kRestart},
    {"Enter", InputAction::kRetry},       {"NumpadEnter", InputAction::kRetry},
    {"KeyP", InputAction::kPause},        {"Enter", InputAction::kStart},
    {"NumpadEnter", InputAction::kStart}, {"Space", InputAction::kStart},
    {"KeyM", InputAction::kMute},
};
constexpr int kKeyCount = int(std::size(kKeyBindings));

// The standard gamepad layout, as on the desktop: A jumps (and retries, and starts), X or B
// fire, the d-pad or the left stick moves, Start starts, pauses and retries, Back restarts.
enum StandardButton {
  kPadA = 0,
  kPadB = 1,
  kPadX = 2,
  kPadBack = 8,
  kPadStart = 9,
  kPadDown = 13,
  kPadLeft = 14,
  kPadRight = 15,
};
struct PadBinding {
  int button;
  InputAction action;
};
constexpr PadBinding kPadBindings[] = {
    {kPadLeft, InputAction::kLeft},   {kPadRight, InputAction::kRight},
    {kPadDown, InputAction::kDown},   {kPadA, InputAction::kJump},
    {kPadA, InputAction::kRetry},     {kPadA, InputAction::kStart},
    {kPadX, InputAction::kFire},      {kPadB, InputAction::kFire},
    {kPadStart, InputAction::kStart}, {kPadStart, InputAction::kPause},
    {kPadStart, InputAction::kRetry}, {kPadBack, InputAction::kRestart},
};

constexpr int kActions = int(InputAction::kCount);

struct Finger {
  bool used = false;  // a touch (or the mouse) holds this slot
  long id = 0;
  bool pressSeen = false;  // went down since the game last read the slot
  int x = 0, y = 0;        // portrait device pixels
};

struct Browser {
  std::deque<InputEvent> events;
  Finger fingers[kFingerSlots];
  bool keyDown[kKeyCount] = {};
  int keyHolds[kActions] = {};  // keys holding each action
  bool padHeld[kActions] = {};
  bool hidden = false, blurred = false, portrait = false;
  bool focusLostSent = false;
  double stamp = 0;  // the last animation frame's time, ms
  double hiddenSince = 0;
  double hiddenTotal = 0;  // ms the page spent hidden: the clock skips them
  bool firstFrameAnnounced = false;
  bool levelsReady = false;
  void (*pass)() = nullptr;  // what each animation frame runs; null stops them
};

Browser gBrowser;

void Push(InputType type, InputSource source, InputAction action = InputAction::kLeft) {
  InputEvent e;
  e.type = type;
  e.source = source;
  e.action = action;
  gBrowser.events.push_back(e);
}

// Play stops while the page is hidden, the window unfocused or the phone held upright; the
// sound stops with it at once, on the start screen too.
void UpdateFocus() {
  const bool lost = gBrowser.hidden || gBrowser.blurred || gBrowser.portrait;
  HoldBrowserAudio(kHeldByFocus, lost);
  if (lost == gBrowser.focusLostSent) return;
  gBrowser.focusLostSent = lost;
  Push(lost ? InputType::kFocusLost : InputType::kFocusGained, InputSource::kTouch);
}

// A touch may land in a black bar beside the picture (it then counts as the button there, or
// as nothing: false); the mouse only presses the picture and is clamped into it.
bool ClientToDevice(bool touch, double clientX, double clientY, int* deviceX, int* deviceY) {
  double rect[6];
  brinkhop_stage_rect(rect);
  LandscapeView view{};
  view.windowWidth = int(rect[4]);
  view.windowHeight = int(rect[5]);
  view.offsetX = int(std::floor(rect[0]));
  view.offsetY = int(std::floor(rect[1]));
  view.width = int(rect[2]);
  view.height = int(rect[3]);
  view.scale = rect[2] > 0 ? float(rect[2] / kLandscapeWidth) : 1.0f;
  // Whole pixels from the picture's own corner, as the picture's edge may fall between two.
  const int x = int(std::floor(clientX - rect[0])) + view.offsetX;
  const int y = int(std::floor(clientY - rect[1])) + view.offsetY;
  int landscapeX, landscapeY;
  bool counts = true;
  if (touch)
    counts = TouchToLandscape(view, x, y, &landscapeX, &landscapeY);
  else
    WindowToLandscape(view, x, y, &landscapeX, &landscapeY);
  LandscapeToDevice(landscapeX, landscapeY, deviceX, deviceY);
  return counts;
}

int SlotOf(long id) {
  for (int i = 0; i < kFingerSlots; ++i)
    if (gBrowser.fingers[i].used && gBrowser.fingers[i].id == id) return i;
  return -1;
}

void FingerEvent(InputType type, long id, double clientX, double clientY) {
  int slot = SlotOf(id);
  const bool touch = id != kMouseId;
  int x, y;
  const bool counts = ClientToDevice(touch, clientX, clientY, &x, &y);
  if (type == InputType::kFingerDown && slot < 0) {
    // A touch above or below the picture, or high in a side bar, touches nothing.
    if (!counts) return;
    // The lowest free slot, as the phone numbers its fingers; a twelfth finger is ignored.
    for (int i = 0; i < kFingerSlots && slot < 0; ++i)
      if (!gBrowser.fingers[i].used) slot = i;
    if (slot < 0) return;
    gBrowser.fingers[slot].used = true;
    gBrowser.fingers[slot].id = id;
  }
  if (slot < 0) return;
  Finger& f = gBrowser.fingers[slot];
  f.x = x;
  f.y = y;
  if (type == InputType::kFingerDown) f.pressSeen = true;
  if (type == InputType::kFingerUp) f.used = false;
  InputEvent e;
  e.type = type;
  e.source = InputSource::kTouch;
  e.finger = slot;
  e.x = f.x;
  e.y = f.y;
  gBrowser.events.push_back(e);
}

EM_BOOL OnTouch(int eventType, const EmscriptenTouchEvent* event, void*) {
  const InputType type = eventType == EMSCRIPTEN_EVENT_TOUCHSTART  ? InputType::kFingerDown
                         : eventType == EMSCRIPTEN_EVENT_TOUCHMOVE ? InputType::kFingerMove
                                                                   : InputType::kFingerUp;
  for (int i = 0; i < event->numTouches; ++i) {
    const EmscriptenTouchPoint& t = event->touches[i];
    if (t.isChanged) FingerEvent(type, t.identifier, double(t.clientX), double(t.clientY));
  }
  // Handled here: no scrolling, zooming, long-press menu or mouse events made from touches.
  return EM_TRUE;
}

EM_BOOL OnMouse(int eventType, const EmscriptenMouseEvent* event, void*) {
  if (event->button != 0 && eventType != EMSCRIPTEN_EVENT_MOUSEMOVE) return EM_FALSE;
  const bool held = SlotOf(kMouseId) >= 0;
  if (eventType == EMSCRIPTEN_EVENT_MOUSEDOWN)
    FingerEvent(InputType::kFingerDown, kMouseId, double(event->clientX), double(event->clientY));
  else if (eventType == EMSCRIPTEN_EVENT_MOUSEUP && held)
    FingerEvent(InputType::kFingerUp, kMouseId, double(event->clientX), double(event->clientY));
  else if (eventType == EMSCRIPTEN_EVENT_MOUSEMOVE && held)
    FingerEvent(InputType::kFingerMove, kMouseId, double(event->clientX), double(event->clientY));
  return eventType == EMSCRIPTEN_EVENT_MOUSEDOWN ? EM_TRUE : EM_FALSE;
}

EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* event, void*) {
  const bool down = eventType == EMSCRIPTEN_EVENT_KEYDOWN;
  bool ours = false;
  for (int i = 0; i < kKeyCount; ++i) {
    if (std::strcmp(kKeyBindings[i].code, event->code) != 0) continue;
    ours = true;
    if (gBrowser.keyDown[i] == down) continue;  // the key's own repeat
    gBrowser.keyDown[i] = down;
    // A second key for a held action sends nothing; the last one up releases it.
    int& holds = gBrowser.keyHolds[int(kKeyBindings[i].action)];
    holds += down ? 1 : -1;
    if ((down && holds == 1) || (!down && holds == 0))
      Push(down ? InputType::kActionPressed : InputType::kActionReleased, InputSource::kKeyboard,
           kKeyBindings[i].action);
  }
  // The game's keys do not scroll the page.
  return ours ? EM_TRUE : EM_FALSE;
}

// Pictures a pass kept (a pipe warp's frames) show first, one an animation frame, with the
// pass's own last picture after them; the game goes on when they have all been seen.
void RunPass(double stamp) {
  if (!gBrowser.pass) return;
  gBrowser.stamp = std::max(gBrowser.stamp, stamp);
  MakeWaitingSounds();
  if (ShowKeptPicture()) return;
  gBrowser.pass();
  if (!HasKeptPictures()) return;
  KeepBrowserPicture();
  ShowKeptPicture();
}

void RunPassNow(void*) { RunPass(emscripten_get_now()); }

// The stamp is the frame's own time: 30 frames a second are then every other frame of a 60 Hz
// display, without drift.
EM_BOOL OnAnimationFrame(double stamp, void*) {
  RunPass(stamp);
  return gBrowser.pass ? EM_TRUE : EM_FALSE;
}

EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void*) {
  const double now = emscripten_get_now();
  if (event->hidden && !gBrowser.hidden) gBrowser.hiddenSince = now;
  if (!event->hidden && gBrowser.hidden) gBrowser.hiddenTotal += now - gBrowser.hiddenSince;
  gBrowser.hidden = event->hidden;
  UpdateFocus();
  // A hidden page gets no animation frames: one pass now lets the game see the pause.
  if (event->hidden) emscripten_async_call(RunPassNow, nullptr, 0);
  return EM_FALSE;
}

EM_BOOL OnFocus(int eventType, const EmscriptenFocusEvent*, void*) {
  gBrowser.blurred = eventType == EMSCRIPTEN_EVENT_BLUR;
  UpdateFocus();
  return EM_FALSE;
}

EM_BOOL OnResize(int, const EmscriptenUiEvent*, void*) {
  gBrowser.portrait = brinkhop_page_portrait() != 0;
  UpdateFocus();
  return EM_FALSE;
}

void ReleaseMouseAndTouches() {
  for (Finger& f : gBrowser.fingers) f.used = false;
}

// The pads' held actions, compared with the last poll; changes become events.
void PollPads() {
  if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) return;
  bool held[kActions] = {};
  const int pads = std::min(emscripten_get_num_gamepads(), kMaxPads);
  for (int p = 0; p < pads; ++p) {
    EmscriptenGamepadEvent pad;
    if (emscripten_get_gamepad_status(p, &pad) != EMSCRIPTEN_RESULT_SUCCESS || !pad.connected)
      continue;
    for (const PadBinding& b : kPadBindings)
      if (b.button < pad.numButtons && pad.digitalButton[b.button]) held[int(b.action)] = true;
    if (pad.numAxes >= 2) {
      if (pad.axis[0] < -kStickDeadZone) held[int(InputAction::kLeft)] = true;
      if (pad.axis[0] > kStickDeadZone) held[int(InputAction::kRight)] = true;
      if (pad.axis[1] > kStickDeadZone) held[int(InputAction::kDown)] = true;
    }
  }
  for (int a = 0; a < kActions; ++a) {
    if (held[a] == gBrowser.padHeld[a]) continue;
    gBrowser.padHeld[a] = held[a];
    Push(held[a] ? InputType::kActionPressed : InputType::kActionReleased, InputSource::kPad,
         InputAction(a));
  }
}

void ListenToThePage() {
  // Touches anywhere on the page: a thumb in a black bar presses the button beside it. The
  // page's own buttons keep their touches to themselves.
  const char* everywhere = EMSCRIPTEN_EVENT_TARGET_DOCUMENT;
  emscripten_set_touchstart_callback(everywhere, nullptr, EM_TRUE, OnTouch);
  emscripten_set_touchmove_callback(everywhere, nullptr, EM_TRUE, OnTouch);
  emscripten_set_touchend_callback(everywhere, nullptr, EM_TRUE, OnTouch);
  emscripten_set_touchcancel_callback(everywhere, nullptr, EM_TRUE, OnTouch);
  emscripten_set_mousedown_callback(kStage, nullptr, EM_TRUE, OnMouse);
  // Moves and releases anywhere in the window belong to a press that started on the stage.
  emscripten_set_mousemove_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnMouse);
  emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnMouse);
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
  emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
  emscripten_set_visibilitychange_callback(nullptr, EM_TRUE, OnVisibility);
  emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnFocus);
  emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnFocus);
  emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnResize);
  EmscriptenVisibilityChangeEvent visibility;
  if (emscripten_get_visibility_status(&visibility) == EMSCRIPTEN_RESULT_SUCCESS)
    OnVisibility(0, &visibility, nullptr);
  OnResize(0, nullptr, nullptr);
}

uint32_t Ticks() { return uint32_t(std::max(0.0, gBrowser.stamp - gBrowser.hiddenTotal)); }

PlatformApi BrowserTable() {
  PlatformApi api{};
  api.OpenScreen = [](int width, int height, const char*) {
    if (!OpenBrowserScreen(width, height)) return false;
    ListenToThePage();
    return true;
  };
  api.OpenAudio = OpenBrowserAudio;
  api.CloseAudio = CloseBrowserAudio;
  api.GetTicks = Ticks;
  // Nothing waits in a browser: the animation frames pace the game. A wait inside a pass is a
  // pipe warp's, after each of its frames: the picture is kept to be shown in its turn.
  api.Delay = [](uint32_t) { KeepBrowserPicture(); };
  api.PollEvent = [](InputEvent* event) {
    if (gBrowser.events.empty()) PollPads();
    if (gBrowser.events.empty()) return false;
    // Any press may start the game, which reads the level at once: presses wait for it.
    if (!LevelsReady(true)) return false;
    *event = gBrowser.events.front();
    gBrowser.events.pop_front();
    return true;
  };
  api.ReadFinger = [](int slot, int* x, int* y) {
    if (slot < 0 || slot >= kFingerSlots) return false;
    Finger& f = gBrowser.fingers[slot];
    if (x) *x = f.x;
    if (y) *y = f.y;
    const bool down = f.used || f.pressSeen;
    f.pressSeen = false;
    return down;
  };
  api.SwapBuffers = [] {
    // The browser shows the canvas when the game next yields.
    AnnounceFirstFrame();
  };
  api.LoadSound = LoadBrowserSound;
  api.PlaySound = PlayBrowserSound;
  api.LoadMusic = LoadBrowserMusic;
  api.PlayMusic = PlayBrowserMusic;
  api.StopMusic = StopBrowserMusic;
  api.SetMusicVolume = SetBrowserMusicVolume;
  api.MusicPlaying = BrowserMusicPlaying;
  api.Exit = [](int status) {
    ReleaseMouseAndTouches();
    StopAnimationFrames();
    brinkhop_game_ended(status);
  };
  return api;
}

}  // namespace

bool OpenBrowserScreen(int portraitWidth, int portraitHeight) {
  gBrowser.stamp = emscripten_get_now();
  emscripten_set_canvas_element_size(kCanvas, portraitWidth, portraitHeight);
  if (OpenBrowserGL(kCanvas, portraitWidth, portraitHeight)) return true;
  brinkhop_no_webgl();
  return false;
}

void RunEveryAnimationFrame(void (*pass)()) {
  const bool running = gBrowser.pass != nullptr;
  gBrowser.pass = pass;
  if (!running) emscripten_request_animation_frame_loop(OnAnimationFrame, nullptr);
}

void StopAnimationFrames() { gBrowser.pass = nullptr; }

bool LevelsReady(bool want) {
  if (!gBrowser.levelsReady) gBrowser.levelsReady = brinkhop_levels_ready(want ? 1 : 0) != 0;
  return gBrowser.levelsReady;
}

void AnnounceFirstFrame() {
  if (gBrowser.firstFrameAnnounced) return;
  gBrowser.firstFrameAnnounced = true;
  brinkhop_first_frame_drawn();
}

void UseBrowserPlatform() { gPlatform = BrowserTable(); }
