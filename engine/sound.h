// Sound chunks and music through the device: loaded once by file name, played on any free
// channel. The device owns what it loads.
#pragma once

struct SoundChunk;
struct MusicTune;

// Null when the file is missing or there is no audio device; playing null does nothing.
SoundChunk* LoadSound(const char* name);
void PlaySoundChunk(SoundChunk* chunk);
// Fades out whatever music plays; harmless when none does.
void FadeOutMusic(int milliseconds);
