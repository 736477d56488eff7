// The music state and SDL_mixer's music channel behind the device table.
#include "engine/music.h"

#include <SDL.h>
#include <SDL_mixer.h>

const char* const kTuneFiles[kTuneCount] = {"title.wav", "play.wav", "jingle.wav"};

namespace {

void* gTunes[kTuneCount] = {};
TuneId gCurrent = kTuneNone;
bool gLooping = false;
bool gDucked = false;
bool gMuted = false;

int WantedVolume() { return gMuted ? 0 : gDucked ? kMusicDuckedVolume : kMusicFullVolume; }

void StartCurrent() {
  if (gCurrent == kTuneNone || gMuted || !gTunes[gCurrent]) return;
  gMusicDevice.Volume(WantedVolume());
  gMusicDevice.Play(gTunes[gCurrent], gLooping ? -1 : 0);
}

// Without an open audio device there is nothing to load music into.
void* MixerLoad(const char* fileName) {
  if (!Mix_QuerySpec(nullptr, nullptr, nullptr)) return nullptr;
  return Mix_LoadMUS(fileName);
}
void MixerPlay(void* tune, int loops) { Mix_PlayMusic(static_cast<Mix_Music*>(tune), loops); }
void MixerHalt() { Mix_HaltMusic(); }
void MixerVolume(int volume) { Mix_VolumeMusic(volume); }
bool MixerPlaying() { return Mix_PlayingMusic() != 0; }

}  // namespace

MusicDevice MixerMusicDevice() {
  return {MixerLoad, MixerPlay, MixerHalt, MixerVolume, MixerPlaying};
}

MusicDevice gMusicDevice = MixerMusicDevice();

void LoadMusic() {
  for (int i = 0; i < kTuneCount; ++i) gTunes[i] = gMusicDevice.Load(kTuneFiles[i]);
}

void PlayTune(TuneId tune, bool loop) {
  gCurrent = tune;
  gLooping = loop;
  gDucked = false;
  StartCurrent();
}

void KeepTune(TuneId tune, bool loop) {
  if (gCurrent != tune) PlayTune(tune, loop);
}

void StopMusic() {
  gCurrent = kTuneNone;
  gMusicDevice.Halt();
}

void DuckMusic(bool ducked) {
  if (ducked == gDucked) return;
  gDucked = ducked;
  if (!gMuted) gMusicDevice.Volume(WantedVolume());
}

void KeepMusicGoing() {
  if (gLooping && !gMuted && gCurrent != kTuneNone && gTunes[gCurrent] && !gMusicDevice.Playing())
    StartCurrent();
}

void SetMuted(bool muted) {
  if (muted == gMuted) return;
  gMuted = muted;
  if (muted)
    gMusicDevice.Halt();
  else if (gLooping)
    StartCurrent();  // a jingle heard halfway is better left unheard
}

bool Muted() { return gMuted; }
void ToggleMute() { SetMuted(!gMuted); }
TuneId CurrentTune() { return gCurrent; }
