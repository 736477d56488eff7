// The sound-effect synthesizer behind brinkhop-makesounds: reads the text parameters of the
// sound bank, renders each sound to 16-bit mono samples and wraps them in a WAV file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int kSoundSampleRate = 44100;   // Hz; the rate the game opens the device at
constexpr int kSoundBitsPerSample = 16;   // bits
constexpr int kSoundChannels = 1;         // mono
constexpr int kWavHeaderBytes = 44;       // bytes before the first sample
constexpr double kMaxSoundSeconds = 4.0;  // s; anything longer is a typo, not an effect
constexpr double kMaxTuneSeconds = 60.0;  // s; a tune loops, so a minute is plenty
constexpr double kDefaultTempo = 120.0;   // beats a minute

enum class Wave { kSquare, kTriangle, kSaw, kSine, kNoise };

// One note of a voice. A rest has fromHz 0. The pitch glides exponentially from fromHz to
// toHz over the note; for noise the pitch is how fast the random level changes.
struct SoundNote {
  double fromHz = 0;
  double toHz = 0;
  double seconds = 0;
};

// One oscillator with its pitch sequence, envelope and filters.
struct SoundVoice {
  int line = 0;  // of its "voice" line, for messages
  Wave wave = Wave::kSquare;
  double duty = 0.5;    // share of a square's period spent high
  double volume = 1.0;  // linear, relative to the sound's other voices
  double start = 0.0;   // s after the sound starts
  std::vector<SoundNote> notes;
  double vibratoSemitones = 0.0;  // semitones either way
  double vibratoHz = 0.0;         // Hz
  double attack = 0.002;          // s
  double decay = 0.0;             // s
  double sustain = 1.0;           // level, 0 to 1
  double release = 0.01;          // s
  bool retrigger = false;         // the envelope restarts on every note
  double lowpassFromHz = 0.0;     // Hz; 0 = no low-pass
  double lowpassToHz = 0.0;       // Hz; swept exponentially over the voice
  double highpassHz = 0.0;        // Hz; 0 = no high-pass
  uint32_t seed = 1;              // noise only

  double Seconds() const;  // the sum of its notes
};

// One WAV file of the bank.
struct SoundDefinition {
  std::string name;  // the file name, e.g. "coin.wav"
  int line = 0;      // of its "sound" line
  double peakDbfs = -3.0;
  // A tune ("tune NAME.wav"): a score whose note lengths, steps and starts count beats at
  // `tempo`, up to kMaxTuneSeconds long.
  bool tune = false;
  double tempo = kDefaultTempo;  // beats a minute
  std::vector<SoundVoice> voices;

  double Seconds() const;  // until its last voice ends
};

// Parses the parameter text. On failure returns false and sets error to one line of the form
// "FILE:LINE: what is wrong".
bool ParseSoundDefinitions(const std::string& text, const std::string& fileName,
                           std::vector<SoundDefinition>& sounds, std::string& error);

// A note name such as "C4", "F#5" or "Bb3" (A4 = 440 Hz), or a frequency such as "440" or
// "440Hz". Returns 0 when the text is neither.
double ParsePitch(const std::string& text);

// Mixes the voices and scales the result so its loudest sample sits at peakDbfs. The same
// definition always gives the same samples.
std::vector<int16_t> RenderSound(const SoundDefinition& sound);

// A complete RIFF/WAVE file: PCM, 16-bit signed little-endian, mono, kSoundSampleRate.
std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& samples);
