// Sound is the device's: this forwards the game's requests to it.
#include "engine/sound.h"

#include "engine/music.h"
#include "platform/platform.h"

SoundChunk* LoadSound(const char* name) { return gPlatform.LoadSound(name); }

void FadeOutMusic(int milliseconds) { gPlatform.StopMusic(milliseconds); }

void PlaySoundChunk(SoundChunk* chunk) {
  if (chunk && !Muted()) gPlatform.PlaySound(chunk);
}
