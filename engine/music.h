// Music and the mute: one tune at a time, looping or once, lowered while the player dies,
// silenced with the sound effects by the mute. The tunes play on the device (gPlatform).
#pragma once

enum TuneId : int { kTuneNone = -1, kTuneTitle, kTunePlay, kTuneJingle, kTuneCount };

extern const char* const kTuneFiles[kTuneCount];  // "title.wav", ...

constexpr int kMusicFullVolume = 128;   // the device's scale
constexpr int kMusicDuckedVolume = 32;  // while the player dies: the death sound stands out

// Loads every tune through the device; again after a device change.
void LoadMusic();
// Starts a tune from its beginning; a looping tune comes back after a fade or a warp.
void PlayTune(TuneId tune, bool loop);
// Plays the tune unless it is already the one playing (or wanted while muted).
void KeepTune(TuneId tune, bool loop);
void StopMusic();
// Lowers the music (true) or brings it back (false); does nothing if already so.
void DuckMusic(bool ducked);
// Once a frame: a looping tune that stopped (a fade before a warp) starts again.
void KeepMusicGoing();
// The mute covers music and sound effects alike.
void SetMuted(bool muted);
bool Muted();
void ToggleMute();
TuneId CurrentTune();
