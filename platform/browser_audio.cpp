// The browser's sound and music: Web Audio buffers made by the game's own synthesizer from the
// sounds' parameters and the tunes' scores, which travel instead of megabytes of samples.
// Browsers start audio only after a gesture, so the context starts on the first touch, click
// or key; with no Web Audio, or a context that never runs, every sound is simply skipped.
#include <emscripten.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/file_read.h"
#include "platform/browser.h"
#include "engine/sound_synth.h"

// The context is made at the first gesture, not before: a context made earlier would only
// wait suspended, and making one costs the first frame a good part of a second.
EM_JS(void, brinkhop_audio_open, (), {
  var audio = {context : null, buffers : [], playing : 0, started : 0, held : 0};
  // The tune the game wants: it starts as soon as the context runs and its buffer is made,
  // so the start screen's tune is heard from the first gesture on.
  audio.music =
      {want : 0, loops : 0, volume : 1, heard : false, source : null, gain : null, started : 0};
  Module.brinkhopAudio = audio;
  var Context = window.AudioContext || window.webkitAudioContext;
  if (!Context) return;
  audio.startMusic = function() {
    var music = audio.music;
    if (!music.want || music.source || !audio.context || audio.context.state != 'running') return;
    var buffer = audio.buffers[music.want - 1];
    if (!buffer) return;
    if (!music.gain) {
      music.gain = audio.context.createGain();
      music.gain.connect(audio.context.destination);
    }
    music.gain.gain.cancelScheduledValues(0);
    music.gain.gain.value = music.volume;
    var source = audio.context.createBufferSource();
    source.buffer = buffer;
    source.loop = music.loops != 0;
    source.connect(music.gain);
    source.onended = function() {
      if (music.source != source) return;
      music.source = null;
      music.want = 0;
      music.heard = false;
    };
    music.source = source;
    music.started++;
    source.start();
  };
  var gesture = function() {
    if (!audio.context) {
      try {
        audio.context = new Context();
      } catch (e) {
        return;
      }
    }
    if (audio.context.state != 'running' && !audio.held)
      audio.context.resume().then(audio.startMusic).catch(function(){});
  };
  [ 'touchstart', 'touchend', 'mousedown', 'keydown' ].forEach(
      function(type) { window.addEventListener(type, gesture, {capture : true, passive : true}); });
});

// A held context is suspended, its clock and every sound standing still; when nothing holds
// it any more it goes on where it stopped.
EM_JS(void, brinkhop_audio_hold, (int held), {
  var audio = Module.brinkhopAudio;
  if (!audio || audio.held == held) return;
  audio.held = held;
  var context = audio.context;
  if (!context) return;
  (held ? context.suspend() : context.resume().then(audio.startMusic)).catch(function(){});
});

EM_JS(void, brinkhop_audio_close, (), {
  var audio = Module.brinkhopAudio;
  if (audio && audio.context) audio.context.suspend().catch(function(){});
});

// A place for a sound whose samples come later (brinkhop_audio_set_samples); its number from 1
// (0: no audio at all).
EM_JS(int, brinkhop_audio_reserve, (), {
  var audio = Module.brinkhopAudio;
  if (!audio) return 0;
  audio.buffers.push(null);
  return audio.buffers.length;
});

EM_JS(int, brinkhop_audio_running, (), {
  var audio = Module.brinkhopAudio;
  return audio && audio.context && audio.context.state == 'running' ? 1 : 0;
});

EM_JS(int, brinkhop_music_wanted, (), {
  var audio = Module.brinkhopAudio;
  return audio && !audio.music.source ? audio.music.want : 0;
});

// 16-bit mono samples at `rate` into the sound's buffer; a wanted tune starts at once.
EM_JS(void, brinkhop_audio_set_samples, (int sound, const int16_t* samples, int count, int rate), {
  var audio = Module.brinkhopAudio;
  if (!audio || !audio.context || count <= 0) return;
  var buffer = audio.context.createBuffer(1, count, rate);
  var channel = buffer.getChannelData(0);
  var first = samples >> 1;
  for (var i = 0; i < count; i++) channel[i] = HEAP16[first + i] / 32768;
  audio.buffers[sound - 1] = buffer;
  audio.startMusic();
});

// As the mixer's channels: when eight sounds play, another is not played.
EM_JS(void, brinkhop_audio_play, (int sound), {
  var audio = Module.brinkhopAudio;
  var kChannels = 8;
  if (!audio || !audio.context || audio.context.state != 'running') return;
  var buffer = audio.buffers[sound - 1];
  if (!buffer || audio.playing >= kChannels) return;
  var source = audio.context.createBufferSource();
  source.buffer = buffer;
  source.connect(audio.context.destination);
  audio.playing++;
  audio.started++;
  source.onended = function() { audio.playing--; };
  source.start();
});

// Any loop count but 0 loops for ever: the game asks only for -1 and 0.
EM_JS(void, brinkhop_music_play, (int sound, int loops), {
  var audio = Module.brinkhopAudio;
  if (!audio) return;
  var music = audio.music;
  if (music.source) {
    var old = music.source;
    music.source = null;
    try {
      old.stop();
    } catch (e) {
    }
  }
  music.want = sound;
  music.loops = loops;
  music.heard = sound != 0;
  if (audio.startMusic) audio.startMusic();
});

// A fade lowers the gain to nothing and then ends the tune; without one it ends at once.
EM_JS(void, brinkhop_music_stop, (int fadeMilliseconds), {
  var audio = Module.brinkhopAudio;
  if (!audio) return;
  var music = audio.music;
  music.want = 0;
  var source = music.source;
  if (!source) {
    music.heard = false;
    return;
  }
  if (fadeMilliseconds > 0 && music.gain) {
    var now = audio.context.currentTime;
    music.gain.gain.setValueAtTime(music.gain.gain.value, now);
    music.gain.gain.linearRampToValueAtTime(0, now + fadeMilliseconds / 1000);
    source.stop(now + fadeMilliseconds / 1000);
    return;  // heard until the fade ends
  }
  music.source = null;
  music.heard = false;
  try {
    source.stop();
  } catch (e) {
  }
});

EM_JS(void, brinkhop_music_volume, (int volume), {
  var audio = Module.brinkhopAudio;
  if (!audio) return;
  var music = audio.music;
  music.volume = volume / 128;
  if (music.gain) {
    music.gain.gain.cancelScheduledValues(0);
    music.gain.gain.value = music.volume;
  }
});

EM_JS(int, brinkhop_music_heard, (), {
  var audio = Module.brinkhopAudio;
  return audio && audio.music.heard ? 1 : 0;
});

namespace {
int gAudioHolds = 0;
}  // namespace

void OpenBrowserAudio() {
  brinkhop_audio_open();
  brinkhop_audio_hold(gAudioHolds);
}

void HoldBrowserAudio(AudioHold reason, bool held) {
  gAudioHolds = held ? gAudioHolds | reason : gAudioHolds & ~reason;
  brinkhop_audio_hold(gAudioHolds);
}
void CloseBrowserAudio() { brinkhop_audio_close(); }

namespace {

// The samples are megabytes, their parameters a few kilobytes: the page carries the parameters
// and makes a sound's samples once the audio runs (a tune when it is first wanted).
constexpr const char* kParameterFiles[] = {"sounds.txt", "music.txt"};
constexpr size_t kMaxParameterBytes = 1 << 20;

struct WaitingSound {
  SoundDefinition definition;
  int sound = 0;
  bool made = false;
};
std::vector<WaitingSound> gWaiting;
std::vector<SoundDefinition> gDefinitions;
bool gDefinitionsRead = false;

const SoundDefinition* FindDefinition(const char* file) {
  if (!gDefinitionsRead) {
    gDefinitionsRead = true;
    for (const char* name : kParameterFiles) {
      std::string text, error;
      std::vector<SoundDefinition> read;
      if (ReadWholeFile(name, kMaxParameterBytes, text, error) == kFileReadOk &&
          ParseSoundDefinitions(text, name, read, error))
        gDefinitions.insert(gDefinitions.end(), read.begin(), read.end());
    }
  }
  for (const SoundDefinition& definition : gDefinitions)
    if (definition.name == file) return &definition;
  return nullptr;
}

// A sound's number; its samples are made later.
int LoadSoundNumber(const char* file) {
  int sound = 0;
  const SoundDefinition* definition = FindDefinition(file);
  if (!definition || !(sound = brinkhop_audio_reserve())) return 0;
  gWaiting.push_back({*definition, sound, false});
  return sound;
}

void Make(WaitingSound& waiting) {
  waiting.made = true;
  const std::vector<int16_t> samples = RenderSound(waiting.definition);
  brinkhop_audio_set_samples(waiting.sound, samples.data(), int(samples.size()), kSoundSampleRate);
}

}  // namespace

// A chunk is the sound's number in disguise: the game only hands it back.
SoundChunk* LoadBrowserSound(const char* file) {
  return reinterpret_cast<SoundChunk*>(uintptr_t(LoadSoundNumber(file)));
}

void PlayBrowserSound(SoundChunk* chunk) {
  brinkhop_audio_play(int(reinterpret_cast<uintptr_t>(chunk)));
}

MusicTune* LoadBrowserMusic(const char* file) {
  return reinterpret_cast<MusicTune*>(uintptr_t(LoadSoundNumber(file)));
}

// The wanted tune first, as it is heard at once; then one effect a frame, so that no frame
// carries the whole bank.
void MakeWaitingSounds() {
  if (gWaiting.empty() || !brinkhop_audio_running()) return;
  const int wanted = brinkhop_music_wanted();
  for (WaitingSound& waiting : gWaiting)
    if (waiting.sound == wanted && !waiting.made) Make(waiting);
  for (WaitingSound& waiting : gWaiting)
    if (!waiting.made && !waiting.definition.tune) {
      Make(waiting);
      return;
    }
}

void PlayBrowserMusic(MusicTune* tune, int loops) {
  if (tune) brinkhop_music_play(int(reinterpret_cast<uintptr_t>(tune)), loops);
}

void StopBrowserMusic(int fadeMilliseconds) { brinkhop_music_stop(fadeMilliseconds); }
void SetBrowserMusicVolume(int volume) { brinkhop_music_volume(volume); }
bool BrowserMusicPlaying() { return brinkhop_music_heard() != 0; }
