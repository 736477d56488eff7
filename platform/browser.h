// The browser device: the page's canvas as the portrait screen, touches, the mouse, keys and
// gamepads as the game's input events, a clock paced by the browser's animation frames, and
// Web Audio for the sound chunks. Built only with emscripten (platform/browser*.cpp).
#pragma once

// Installs the browser table into gPlatform.
void UseBrowserPlatform();

// Installs the desktop's GL table with WebGL's texture rule (platform/browser_gl.cpp).
void UseBrowserGL();

// Opens the canvas's GL context without the rest of the device (a replay runs the game on the
// scripted device but still shows its frames). False when the browser has no WebGL.
bool OpenBrowserScreen(int portraitWidth, int portraitHeight);

// Hands control to the browser until its next animation frame (or a change of visibility).
void WaitForAnimationFrame();

// Returns once the page has written the game's levels into /data; the first call may wait.
void WaitForLevels();

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
bool BrowserMusicPlaying();
// Once a frame: makes the samples of the tune the game wants, if they wait on the audio.
void MakeWantedTune();
