// The game's sound bank: one chunk per WAV file, in load order, played by name.
#pragma once

#include <vector>

struct SoundChunk;

enum SoundId : int {
  kSoundGrow,
  kSoundJump,
  kSoundCrack,
  kSoundCoin,
  kSoundKick,
  kSoundStomp,
  kSoundFireball,
  kSoundOneUp,
  kSoundDie,
  kSoundPause,
  kSoundPipe,
  kSoundFlag,
  kSoundShrink,
  kSoundOutput,
  kSoundTock,
  kSoundShell,
  kSoundCannon,
  kSoundCount
};

extern const char* const kSoundFiles[kSoundCount];  // "grow.wav", ... in load order
extern SoundChunk* gSounds[kSoundCount];
// How often each sound was asked for since start-up, played or not: the simulator's trace
// and the tests read it.
extern unsigned gSoundPlays[kSoundCount];
// When set, every sound asked for is also appended here in order (the simulator's trace).
extern std::vector<SoundId>* gSoundRecorder;

void LoadSounds();
void PlaySound(SoundId sound);
