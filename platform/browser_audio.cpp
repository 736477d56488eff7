// The browser's sound: Web Audio buffers decoded from the game's WAV files. Browsers start
// audio only after a gesture, so the context starts on the first touch, click or key; with no
// Web Audio, or a context that never runs, every sound is simply skipped.
#include <emscripten.h>

#include <cstdint>

#include "platform/browser.h"

// The context is made at the first gesture, not before: a context made earlier would only
// wait suspended, and making one costs the first frame a good part of a second.
EM_JS(void, brinkhop_audio_open, (), {
  var audio = {context : null, files : [], buffers : [], playing : 0, started : 0};
  Module.brinkhopAudio = audio;
  var Context = window.AudioContext || window.webkitAudioContext;
  if (!Context) return;
  var decode = function(index) {
    audio.context.decodeAudioData(
        audio.files[index].slice(0), function(buffer) { audio.buffers[index] = buffer; },
        function(){});
  };
  audio.decode = decode;
  var gesture = function() {
    if (!audio.context) {
      try {
        audio.context = new Context();
      } catch (e) {
        return;
      }
      for (var i = 0; i < audio.files.length; i++) decode(i);
    }
    if (audio.context.state != 'running') audio.context.resume().catch(function(){});
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

void OpenBrowserAudio() { brinkhop_audio_open(); }
void CloseBrowserAudio() { brinkhop_audio_close(); }

// A chunk is the sound's number in disguise: the game only hands it back.
SoundChunk* LoadBrowserSound(const char* file) {
  return reinterpret_cast<SoundChunk*>(uintptr_t(brinkhop_audio_load(file)));
}

void PlayBrowserSound(SoundChunk* chunk) {
  brinkhop_audio_play(int(reinterpret_cast<uintptr_t>(chunk)));
}
