// The browser's sound and music: Web Audio buffers decoded from the game's WAV files, and the
// tunes synthesized from their scores. Browsers start audio only after a gesture, so the
// context starts on the first touch, click or key; with no Web Audio, or a context that never
// runs, every sound is simply skipped.
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
  var audio = {context : null, files : [], buffers : [], playing : 0, started : 0};
  // The tune the game wants: it starts as soon as the context runs and its buffer is decoded,
  // so the start screen's tune is heard from the first gesture on.
  audio.music =
      {want : 0, loops : 0, volume : 1, heard : false, source : null, gain : null, started : 0};
  Module.brinkhopAudio = audio;
  var Context = window.AudioContext || window.webkitAudioContext;
  if (!Context) return;
  var decode = function(index) {
    if (!audio.files[index]) return;  // a tune made from its score
    audio.context.decodeAudioData(
        audio.files[index].slice(0),
        function(buffer) {
          audio.buffers[index] = buffer;
          audio.startMusic();
        },
        function(){});
  };
  audio.decode = decode;
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
      for (var i = 0; i < audio.files.length; i++) decode(i);
    }
    if (audio.context.state != 'running')
      audio.context.resume().then(audio.startMusic).catch(function(){});
  };
  [ 'touchstart', 'touchend', 'mousedown', 'keydown' ].forEach(
      function(type) { window.addEventListener(type, gesture, {capture : true, passive : true}); });
});

EM_JS(void, brinkhop_audio_close, (), {
  var audio = Module.brinkhopAudio;
  if (audio && audio.context) audio.context.suspend().catch(function(){});
});

// Returns the sound's number from 1 (0: none). Decoding finishes a moment after the context
// exists; a sound asked for before then is skipped.
EM_JS(int, brinkhop_audio_load, (const char* file), {
  var audio = Module.brinkhopAudio;
  if (!audio) return 0;
  var bytes;
  try {
    bytes = FS.readFile(UTF8ToString(file));
  } catch (e) {
    return 0;
  }
  var index = audio.files.length;
  audio.files.push(bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.byteLength));
  audio.buffers.push(null);
  if (audio.context) audio.decode(index);
  return index + 1;
});

// A place for a tune whose samples come later (brinkhop_audio_set_samples); its number.
EM_JS(int, brinkhop_audio_reserve, (), {
  var audio = Module.brinkhopAudio;
  if (!audio) return 0;
  audio.files.push(null);
  audio.buffers.push(null);
  return audio.files.length;
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

void OpenBrowserAudio() { brinkhop_audio_open(); }
void CloseBrowserAudio() { brinkhop_audio_close(); }

// A chunk is the sound's number in disguise: the game only hands it back.
SoundChunk* LoadBrowserSound(const char* file) {
  return reinterpret_cast<SoundChunk*>(uintptr_t(brinkhop_audio_load(file)));
}

void PlayBrowserSound(SoundChunk* chunk) {
  brinkhop_audio_play(int(reinterpret_cast<uintptr_t>(chunk)));
}

namespace {

// The tunes' samples are megabytes, their scores a few kilobytes: the page carries the scores
// and makes a tune's samples when it is first wanted with the audio running.
constexpr const char* kScoresFile = "music.txt";
constexpr size_t kMaxScoresBytes = 1 << 20;

struct ScoredTune {
  SoundDefinition score;
  int sound = 0;
  bool made = false;
};
std::vector<ScoredTune> gScoredTunes;
std::vector<SoundDefinition> gScores;
bool gScoresRead = false;

const SoundDefinition* FindScore(const char* file) {
  if (!gScoresRead) {
    gScoresRead = true;
    std::string text, error;
    if (ReadWholeFile(kScoresFile, kMaxScoresBytes, text, error) == kFileReadOk &&
        !ParseSoundDefinitions(text, kScoresFile, gScores, error))
      gScores.clear();
  }
  for (const SoundDefinition& score : gScores)
    if (score.tune && score.name == file) return &score;
  return nullptr;
}

}  // namespace

// A tune is a sound's number like a chunk: decoded from its file when the page has one, else
// made from its score.
MusicTune* LoadBrowserMusic(const char* file) {
  int sound = brinkhop_audio_load(file);
  if (!sound) {
    const SoundDefinition* score = FindScore(file);
    if (!score || !(sound = brinkhop_audio_reserve())) return nullptr;
    gScoredTunes.push_back({*score, sound, false});
  }
  return reinterpret_cast<MusicTune*>(uintptr_t(sound));
}

void MakeWantedTune() {
  if (gScoredTunes.empty() || !brinkhop_audio_running()) return;
  const int wanted = brinkhop_music_wanted();
  for (ScoredTune& tune : gScoredTunes) {
    if (tune.sound != wanted || tune.made) continue;
    tune.made = true;
    const std::vector<int16_t> samples = RenderSound(tune.score);
    brinkhop_audio_set_samples(tune.sound, samples.data(), int(samples.size()), kSoundSampleRate);
  }
}

void PlayBrowserMusic(MusicTune* tune, int loops) {
  if (tune) brinkhop_music_play(int(reinterpret_cast<uintptr_t>(tune)), loops);
}

void StopBrowserMusic(int fadeMilliseconds) { brinkhop_music_stop(fadeMilliseconds); }
void SetBrowserMusicVolume(int volume) { brinkhop_music_volume(volume); }
bool BrowserMusicPlaying() { return brinkhop_music_heard() != 0; }
