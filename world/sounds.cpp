// The sound bank.
#include "world/sounds.h"

#include "engine/sound.h"

const char* const kSoundFiles[kSoundCount] = {
    "grow.wav",     "jump.wav",   "crack.wav", "coin.wav",    "kick.wav",   "stomp.wav",
    "fireball.wav", "1-up.wav",   "die.wav",   "pause.wav",   "pipe.wav",   "flag.wav",
    "shrink.wav",   "output.wav", "tock.wav",  "stomp_1.wav", "cannon.wav",
};

SoundChunk* gSounds[kSoundCount] = {};
unsigned gSoundPlays[kSoundCount] = {};
std::vector<SoundId>* gSoundRecorder = nullptr;

void LoadSounds() {
  for (int i = 0; i < kSoundCount; ++i) gSounds[i] = LoadSound(kSoundFiles[i]);
}

void PlaySound(SoundId sound) {
  if (sound < 0 || sound >= kSoundCount) return;
  ++gSoundPlays[sound];
  if (gSoundRecorder) gSoundRecorder->push_back(sound);
  PlaySoundChunk(gSounds[sound]);
}
