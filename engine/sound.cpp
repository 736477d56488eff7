// SDL_mixer loading and playback.
#include "engine/sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <string>

#include "engine/file_read.h"

namespace {

constexpr size_t kMaxSoundFileBytes = 16 << 20;  // minutes of CD-quality sound

}  // namespace

Mix_Chunk* LoadSound(const char* name) {
  // Read through the bounded reader, so a FIFO or a huge file in the data folder cannot hang or
  // swamp the start; the chunk keeps its own copy of the samples.
  std::string bytes, error;
  if (const FileReadResult read = ReadWholeFile(name, kMaxSoundFileBytes, bytes, error)) {
    if (read != kFileCannotOpen) std::fprintf(stderr, "%s: %s\n", name, error.c_str());
    return nullptr;
  }
  SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
  if (!stream) return nullptr;
  return Mix_LoadWAV_RW(stream, 1);
}

void FadeOutMusic(int milliseconds) { Mix_FadeOutMusic(milliseconds); }

void PlaySoundChunk(Mix_Chunk* chunk) {
  // When every channel is busy the sound is simply not played.
  if (chunk) Mix_PlayChannelTimed(-1, chunk, 0, -1);
}
