// The music state: which tune is wanted, looping or not, ducked or muted; the device plays it.
#include "engine/music.h"

#include "platform/platform.h"

const char* const kTuneFiles[kTuneCount] = {"title.wav", "play.wav", "jingle.wav"};

namespace {

MusicTune* gTunes[kTuneCount] = {};
TuneId gCurrent = kTuneNone;
bool gLooping = false;
bool gDucked = false;
bool gMuted = false;

int WantedVolume() { return gMuted ? 0 : gDucked ? kMusicDuckedVolume : kMusicFullVolume; }

void StartCurrent() {
  if (gCurrent == kTuneNone || gMuted || !gTunes[gCurrent]) return;
  gPlatform.SetMusicVolume(WantedVolume());
  gPlatform.PlayMusic(gTunes[gCurrent], gLooping ? -1 : 0);
}

}  // namespace

void LoadMusic() {
  for (int i = 0; i < kTuneCount; ++i) gTunes[i] = gPlatform.LoadMusic(kTuneFiles[i]);
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
  gPlatform.StopMusic(0);
}

void DuckMusic(bool ducked) {
  if (ducked == gDucked) return;
  gDucked = ducked;
  if (!gMuted) gPlatform.SetMusicVolume(WantedVolume());
}

void KeepMusicGoing() {
  if (gLooping && !gMuted && gCurrent != kTuneNone && gTunes[gCurrent] && !gPlatform.MusicPlaying())
    StartCurrent();
}

void SetMuted(bool muted) {
  if (muted == gMuted) return;
  gMuted = muted;
  if (muted)
    gPlatform.StopMusic(0);
  else if (gLooping)
    StartCurrent();  // a jingle heard halfway is better left unheard
}

bool Muted() { return gMuted; }
void ToggleMute() { SetMuted(!gMuted); }
TuneId CurrentTune() { return gCurrent; }
