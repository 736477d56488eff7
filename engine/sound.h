// Sound chunks through SDL_mixer: loaded once by file name, played on any free channel.
#pragma once

struct Mix_Chunk;

// Null when the file is missing or there is no audio device; playing null does nothing.
Mix_Chunk* LoadSound(const char* name);
void PlaySoundChunk(Mix_Chunk* chunk);
// Fades out whatever music plays; harmless when none does.
void FadeOutMusic(int milliseconds);
