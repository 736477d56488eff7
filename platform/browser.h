// The browser device: the page's canvas as the portrait screen, touches, the mouse, keys and
// gamepads as the game's input events, a clock paced by the browser's animation frames, and
// Web Audio for the sound chunks. Built only with emscripten (platform/browser*.cpp).
#pragma once

// Installs the browser table into gPlatform.
void UseBrowserPlatform();

// Makes a WebGL context on the canvas (a CSS selector) current and readies the game's shader
// pair; false when the browser has no WebGL (platform/browser_gl.cpp).
bool OpenBrowserGL(const char* canvas, int width, int height);
// Keeps the picture drawn so far, to be shown later, one an animation frame, by
// ShowKeptPicture (false once all have been shown, which forgets them).
void KeepBrowserPicture();
bool HasKeptPictures();
bool ShowKeptPicture();
// Installs the GL table that speaks the game's fixed-function calls to that context.
void UseBrowserGL();

// Opens the canvas's GL context without the rest of the device (a replay runs the game on the
// scripted device but still shows its frames). False when the browser has no WebGL.
bool OpenBrowserScreen(int portraitWidth, int portraitHeight);

// Runs `pass` on every animation frame (and once when the page hides, so that the game sees
// it), with the clock at the frame's time; until StopAnimationFrames or the game's exit.
void RunEveryAnimationFrame(void (*pass)());
void StopAnimationFrames();

// Whether the page has written the game's levels into /data; `want` asks it to start now.
bool LevelsReady(bool want);

// Tells the page, once, that the first frame is drawn; it resolves `brinkhop.ready` when that
// frame is on screen.
void AnnounceFirstFrame();

// The browser's sound: the chunk and music functions of the device table
// (platform/browser_audio.cpp).
struct SoundChunk;
struct MusicTune;
void OpenBrowserAudio();
void CloseBrowserAudio();
SoundChunk* LoadBrowserSound(const char* file);
void PlayBrowserSound(SoundChunk* chunk);
MusicTune* LoadBrowserMusic(const char* file);
void PlayBrowserMusic(MusicTune* tune, int loops);
void StopBrowserMusic(int fadeMilliseconds);
void SetBrowserMusicVolume(int volume);
// The audio is silent (its context suspended) while anything holds it: the page out of sight
// or the phone upright, or the game paused.
enum AudioHold { kHeldByFocus = 1, kHeldByPause = 2 };
void HoldBrowserAudio(AudioHold reason, bool held);
bool BrowserMusicPlaying();
// Once a frame while the audio runs: makes the samples of the tune the game wants, and of one
// sound effect still waiting.
void MakeWaitingSounds();
