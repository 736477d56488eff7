// SDL_mixer loading and playback.
#include "engine/sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include "engine/music.h"

Mix_Chunk* LoadSound(const char* name) {
  SDL_RWops* stream = SDL_RWFromFile(name, "rb");
  if (!stream) return nullptr;
  return Mix_LoadWAV_RW(stream, 1);
}

void FadeOutMusic(int milliseconds) { Mix_FadeOutMusic(milliseconds); }

void PlaySoundChunk(Mix_Chunk* chunk) {
  // When every channel is busy the sound is simply not played.
  if (chunk && !Muted()) Mix_PlayChannelTimed(-1, chunk, 0, -1);
}
