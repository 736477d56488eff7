// Parser, synthesizer and WAV encoder of the sound bank; the file format is described at the
// top of data/sounds/sounds.txt.
#include "engine/sound_synth.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <set>
#include <sstream>

namespace {

constexpr double kMinEnvelopeSeconds = 0.001;  // s; shorter edges click
constexpr double kMinNoteSeconds = 0.001;      // s
constexpr double kDeclickSeconds = 0.002;      // s; fade at the edges of a rest
constexpr double kMaxToneHz = 20000.0;         // Hz; stays below the Nyquist limit
constexpr double kMinPeakDbfs = -24.0;         // dBFS
constexpr double kMaxVibratoSemitones = 12.0;  // semitones
constexpr double kMaxVibratoHz = 100.0;        // Hz
constexpr double kA4Hz = 440.0;                // Hz
constexpr int kA4Midi = 69;                    // MIDI note number of A4
constexpr double kFullScale = 32767.0;         // the largest 16-bit sample

std::vector<std::string> SplitWords(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// The whole word must be a finite decimal number. Read with strtod, as the browser build's
// library has no floating-point from_chars; what that would refuse (a leading '+' or space,
// hexadecimal) is refused here too.
bool ParseNumber(const std::string& text, double& value) {
  if (text.empty() || text[0] == '+' || std::isspace(static_cast<unsigned char>(text[0])) ||
      text.find_first_of("xX") != std::string::npos)
    return false;
  char* stop = nullptr;
  value = std::strtod(text.c_str(), &stop);
  return stop == text.c_str() + text.size() && std::isfinite(value);
}

bool ParseSwitch(const std::string& text, bool& value) {
  if (text != "on" && text != "off") return false;
  value = text == "on";
  return true;
}

bool ValidSoundName(const std::string& name) {
  if (name.size() <= 4 || name.compare(name.size() - 4, 4, ".wav") != 0 || name[0] == '.')
    return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.';
  });
}

class Parser {
 public:
  Parser(const std::string& fileName, std::vector<SoundDefinition>& sounds, std::string& error)
      : mFileName(fileName), mSounds(sounds), mError(error) {}

  bool Line(int number, const std::string& text);
  bool Finish();

 private:
  bool Fail(int line, const std::string& message) {
    mError = mFileName + ":" + std::to_string(line) + ": " + message;
    return false;
  }
  bool Number(const std::string& key, const std::string& word, double low, double high,
              double& value);
  bool Seconds(const std::string& key, const std::string& word, double low, double& value) {
    return Number(key, word, low, kMaxSoundSeconds, value);
  }
  // A length in the score: seconds in a sound, beats at the tempo in a tune.
  bool Length(const std::string& key, const std::string& word, double low, double& value) {
    const SoundDefinition& sound = mSounds.back();
    if (!sound.tune) return Seconds(key, word, low, value);
    const double beat = 60.0 / sound.tempo;
    if (!Number(key, word, low / beat, kMaxTuneSeconds / beat, value)) return false;
    value *= beat;
    return true;
  }
  bool Repeat(const std::string& word);
  bool Pitch(const std::string& word, double limitHz, double& hz);
  bool Notes(const std::vector<std::string>& words);
  bool Lowpass(const std::string& word);
  bool CloseSound();
  SoundVoice& Voice() { return mSounds.back().voices.back(); }

  const std::string& mFileName;
  std::vector<SoundDefinition>& mSounds;
  std::string& mError;
  std::set<std::string> mNames;
  int mLine = 0;
  double mStep = 0.0;  // s; length of notes written without one
};

bool Parser::Number(const std::string& key, const std::string& word, double low, double high,
                    double& value) {
  double parsed = 0.0;
  if (!ParseNumber(word, parsed)) return Fail(mLine, key + ": '" + word + "' is not a number");
  if (parsed < low || parsed > high) {
    std::ostringstream range;
    range << key << ": " << word << " is outside " << low << " to " << high;
    return Fail(mLine, range.str());
  }
  value = parsed;
  return true;
}

bool Parser::Pitch(const std::string& word, double limitHz, double& hz) {
  hz = ParsePitch(word);
  if (hz <= 0.0) return Fail(mLine, "'" + word + "' is not a note name or a frequency");
  if (hz > limitHz) return Fail(mLine, "'" + word + "' is above the highest usable pitch");
  return true;
}

// Each word is PITCH[>PITCH][:SECONDS] or r[:SECONDS] for a rest.
bool Parser::Notes(const std::vector<std::string>& words) {
  // Noise changes level twice per cycle: at half the sample rate it changes on every sample.
  const double limitHz = Voice().wave == Wave::kNoise ? kSoundSampleRate / 2.0 : kMaxToneHz;
  for (size_t i = 1; i < words.size(); ++i) {
    std::string pitch = words[i];
    SoundNote note;
    note.seconds = mStep;
    if (const size_t colon = pitch.find(':'); colon != std::string::npos) {
      if (!Length("note length", pitch.substr(colon + 1), kMinNoteSeconds, note.seconds))
        return false;
      pitch.resize(colon);
    } else if (mStep <= 0.0) {
      return Fail(mLine, "note '" + pitch + "' has no length: write " + pitch +
                             ":SECONDS or set step first");
    }
    if (pitch != "r") {
      const size_t arrow = pitch.find('>');
      if (!Pitch(pitch.substr(0, arrow), limitHz, note.fromHz)) return false;
      note.toHz = note.fromHz;
      if (arrow != std::string::npos && !Pitch(pitch.substr(arrow + 1), limitHz, note.toHz))
        return false;
    }
    Voice().notes.push_back(note);
  }
  return true;
}

bool Parser::Lowpass(const std::string& word) {
  const size_t arrow = word.find('>');
  SoundVoice& voice = Voice();
  if (!Number("lowpass", word.substr(0, arrow), 1.0, kMaxToneHz, voice.lowpassFromHz)) return false;
  voice.lowpassToHz = voice.lowpassFromHz;
  return arrow == std::string::npos ||
         Number("lowpass", word.substr(arrow + 1), 1.0, kMaxToneHz, voice.lowpassToHz);
}

// "repeat N": the voice's notes so far, played N times in all.
bool Parser::Repeat(const std::string& word) {
  double times = 0.0;
  if (!Number("repeat", word, 1.0, 64.0, times)) return false;
  if (times != std::floor(times)) return Fail(mLine, "repeat takes a whole number");
  std::vector<SoundNote>& notes = Voice().notes;
  if (notes.empty()) return Fail(mLine, "repeat before any notes");
  const size_t once = notes.size();
  for (int i = 1; i < int(times); ++i)
    notes.insert(notes.end(), notes.begin(), notes.begin() + long(once));
  return true;
}

// Checks what can only be judged once a sound is complete.
bool Parser::CloseSound() {
  if (mSounds.empty()) return true;
  const SoundDefinition& sound = mSounds.back();
  if (sound.voices.empty()) return Fail(sound.line, sound.name + " has no voice");
  bool audible = false;
  for (const SoundVoice& voice : sound.voices) {
    if (voice.notes.empty()) return Fail(voice.line, "voice has no notes");
    for (const SoundNote& note : voice.notes) audible = audible || note.fromHz > 0.0;
  }
  if (!audible) return Fail(sound.line, sound.name + " has nothing but rests");
  const double limit = sound.tune ? kMaxTuneSeconds : kMaxSoundSeconds;
  if (sound.Seconds() > limit) {
    std::ostringstream message;
    message << sound.name << " lasts " << sound.Seconds() << " s, longer than " << limit << " s";
    return Fail(sound.line, message.str());
  }
  return true;
}

bool Parser::Line(int number, const std::string& text) {
  mLine = number;
  const std::vector<std::string> words = SplitWords(text);
  // '#' opens a comment only at the start of a line: F#5 is a note.
  if (words.empty() || words[0][0] == '#') return true;
  const std::string& key = words[0];
  const size_t values = words.size() - 1;
  auto expect = [&](size_t count) {
    if (values == count) return true;
    return Fail(number, key + " takes " + std::to_string(count) +
                            (count == 1 ? " value" : " values") + ", not " +
                            std::to_string(values));
  };

  if (key == "sound" || key == "tune") {
    if (!CloseSound() || !expect(1)) return false;
    if (!ValidSoundName(words[1]))
      return Fail(number, "'" + words[1] + "' is not a plain .wav file name");
    if (!mNames.insert(words[1]).second) return Fail(number, words[1] + " is defined twice");
    mSounds.emplace_back();
    mSounds.back().name = words[1];
    mSounds.back().line = number;
    mSounds.back().tune = key == "tune";
    mStep = 0.0;
    return true;
  }
  if (mSounds.empty()) return Fail(number, key + " before the first sound line");
  if (key == "peak") {
    return expect(1) && Number(key, words[1], kMinPeakDbfs, 0.0, mSounds.back().peakDbfs);
  }
  if (key == "tempo") {
    if (!mSounds.back().tune) return Fail(number, "tempo applies to tunes only");
    if (!mSounds.back().voices.empty()) return Fail(number, "tempo comes before the first voice");
    return expect(1) && Number(key, words[1], 20.0, 400.0, mSounds.back().tempo);
  }
  if (key == "voice") {
    if (!expect(1)) return false;
    static const std::pair<const char*, Wave> kWaves[] = {{"square", Wave::kSquare},
                                                          {"triangle", Wave::kTriangle},
                                                          {"saw", Wave::kSaw},
                                                          {"sine", Wave::kSine},
                                                          {"noise", Wave::kNoise}};
    SoundVoice voice;
    voice.line = number;
    const auto* found = std::find_if(std::begin(kWaves), std::end(kWaves),
                                     [&](const auto& wave) { return words[1] == wave.first; });
    if (found == std::end(kWaves))
      return Fail(number, "unknown wave '" + words[1] + "' (square, triangle, saw, sine or noise)");
    voice.wave = found->second;
    // Voices differ in their noise unless told otherwise.
    voice.seed = uint32_t(mSounds.back().voices.size() + 1);
    mSounds.back().voices.push_back(voice);
    mStep = 0.0;
    return true;
  }
  if (mSounds.back().voices.empty()) return Fail(number, key + " before the first voice line");
  SoundVoice& voice = Voice();

  if (key == "notes") {
    if (values == 0) return Fail(number, "notes takes at least one note");
    return Notes(words);
  }
  if (key == "vibrato") {
    return expect(2) && Number(key, words[1], 0.0, kMaxVibratoSemitones, voice.vibratoSemitones) &&
           Number(key, words[2], 0.0, kMaxVibratoHz, voice.vibratoHz);
  }
  if (!expect(1)) return false;
  const std::string& value = words[1];
  if (key == "duty") {
    if (voice.wave != Wave::kSquare) return Fail(number, "duty applies to square voices only");
    if (!Number(key, value, 0.0, 1.0, voice.duty)) return false;
    if (voice.duty <= 0.0 || voice.duty >= 1.0) return Fail(number, "duty must lie inside 0 to 1");
    return true;
  }
  if (key == "seed") {
    if (voice.wave != Wave::kNoise) return Fail(number, "seed applies to noise voices only");
    double seed = 0.0;
    if (!Number(key, value, 1.0, 4294967295.0, seed)) return false;
    if (seed != std::floor(seed)) return Fail(number, "seed must be a whole number");
    voice.seed = uint32_t(seed);
    return true;
  }
  if (key == "retrigger") {
    if (!ParseSwitch(value, voice.retrigger)) return Fail(number, "retrigger takes on or off");
    return true;
  }
  if (key == "lowpass") return Lowpass(value);
  if (key == "highpass") return Number(key, value, 1.0, kMaxToneHz, voice.highpassHz);
  if (key == "volume") return Number(key, value, 0.0, 1.0, voice.volume);
  if (key == "sustain") return Number(key, value, 0.0, 1.0, voice.sustain);
  if (key == "repeat") return Repeat(value);
  if (key == "start") return Length(key, value, 0.0, voice.start);
  if (key == "step") return Length(key, value, kMinNoteSeconds, mStep);
  if (key == "attack") return Seconds(key, value, kMinEnvelopeSeconds, voice.attack);
  if (key == "decay") return Seconds(key, value, 0.0, voice.decay);
  if (key == "release") return Seconds(key, value, kMinEnvelopeSeconds, voice.release);
  return Fail(number, "unknown key '" + key + "'");
}

bool Parser::Finish() {
  if (!CloseSound()) return false;
  if (mSounds.empty()) return Fail(std::max(mLine, 1), "no sound defined");
  return true;
}

// Removes the step of a band-limited edge so high notes do not alias into a buzz.
double PolyBlep(double phase, double increment) {
  if (phase < increment) {
    const double t = phase / increment;
    return t + t - t * t - 1.0;
  }
  if (phase > 1.0 - increment) {
    const double t = (phase - 1.0) / increment;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

// A small fixed generator keeps the noise identical on every machine and library.
struct NoiseSource {
  uint32_t state;
  double Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return double(state >> 8) / double(1u << 23) - 1.0;
  }
};

// Attack, decay towards sustain, and a release that ends exactly at the segment's end.
double Envelope(const SoundVoice& voice, double t, double length) {
  double level = voice.sustain;
  if (t < voice.attack) {
    level = t / voice.attack;
  } else if (t < voice.attack + voice.decay) {
    const double left = 1.0 - (t - voice.attack) / voice.decay;
    // A curved decay sounds like a struck object rather than a fader.
    level = voice.sustain + (1.0 - voice.sustain) * left * left;
  }
  return level * std::clamp((length - t) / voice.release, 0.0, 1.0);
}

class Oscillator {
 public:
  explicit Oscillator(const SoundVoice& voice)
      : mWave(voice.wave), mDuty(voice.duty), mNoise{voice.seed}, mNoiseLevel(mNoise.Next()) {}

  // One sample at the given pitch, then advances.
  double Next(double hz) {
    const double increment = std::min(hz / kSoundSampleRate, 0.5);
    double value = 0.0;
    switch (mWave) {
      case Wave::kSquare:
        value = mPhase < mDuty ? 1.0 : -1.0;
        value += PolyBlep(mPhase, increment);
        value -= PolyBlep(std::fmod(mPhase + 1.0 - mDuty, 1.0), increment);
        value -= 2.0 * mDuty - 1.0;  // no offset for narrow pulses
        break;
      case Wave::kTriangle:
        value = 4.0 * std::abs(mPhase - 0.5) - 1.0;
        break;
      case Wave::kSaw:
        value = 2.0 * mPhase - 1.0 - PolyBlep(mPhase, increment);
        break;
      case Wave::kSine:
        value = std::sin(2.0 * std::numbers::pi * mPhase);
        break;
      case Wave::kNoise:
        value = mNoiseLevel;
        // A new level every half cycle, like a square whose levels are random.
        mPhase += 2.0 * hz / kSoundSampleRate;
        while (mPhase >= 1.0) {
          mPhase -= 1.0;
          mNoiseLevel = mNoise.Next();
        }
        return value;
    }
    mPhase += increment;
    if (mPhase >= 1.0) mPhase -= 1.0;
    return value;
  }

 private:
  Wave mWave;
  double mDuty;
  double mPhase = 0.0;  // cycles, 0 to 1; carried across notes so pitch changes do not click
  NoiseSource mNoise;
  double mNoiseLevel;
};

// Two one-pole low-passes in a row, then a one-pole high-pass; either may be off.
class Filter {
 public:
  explicit Filter(const SoundVoice& voice) : mVoice(voice) {}

  double Next(double value, double progress) {      // progress: 0 to 1 through the voice
    constexpr double kDt = 1.0 / kSoundSampleRate;  // s
    if (mVoice.lowpassFromHz > 0.0) {
      const double cutoff =
          mVoice.lowpassFromHz * std::pow(mVoice.lowpassToHz / mVoice.lowpassFromHz, progress);
      const double k = 1.0 - std::exp(-2.0 * std::numbers::pi * cutoff * kDt);
      mLow1 += k * (value - mLow1);
      mLow2 += k * (mLow1 - mLow2);
      value = mLow2;
    }
    if (mVoice.highpassHz > 0.0) {
      const double rc = 1.0 / (2.0 * std::numbers::pi * mVoice.highpassHz);
      mHighOut = rc / (rc + kDt) * (mHighOut + value - mHighIn);
      mHighIn = value;
      value = mHighOut;
    }
    return value;
  }

 private:
  const SoundVoice& mVoice;
  double mLow1 = 0.0, mLow2 = 0.0, mHighIn = 0.0, mHighOut = 0.0;
};

std::vector<double> RenderVoice(const SoundVoice& voice) {
  const double length = voice.Seconds();
  std::vector<double> out(size_t(std::lround(length * kSoundSampleRate)), 0.0);
  Oscillator oscillator(voice);
  Filter filter(voice);
  double noteStart = 0.0;
  for (size_t n = 0; n < voice.notes.size(); ++n) {
    const SoundNote& note = voice.notes[n];
    const size_t first = size_t(std::lround(noteStart * kSoundSampleRate));
    noteStart += note.seconds;
    const size_t last = std::min(out.size(), size_t(std::lround(noteStart * kSoundSampleRate)));
    const bool rest = note.fromHz == 0.0;
    const bool restBefore = n > 0 && voice.notes[n - 1].fromHz == 0.0;
    const bool restAfter = n + 1 < voice.notes.size() && voice.notes[n + 1].fromHz == 0.0;
    for (size_t i = first; i < last; ++i) {
      const double voiceTime = double(i) / kSoundSampleRate;
      const double noteTime = double(i - first) / kSoundSampleRate;
      double hz = 0.0;
      if (!rest) {
        hz = note.fromHz * std::pow(note.toHz / note.fromHz, noteTime / note.seconds);
        hz *= std::exp2(voice.vibratoSemitones / 12.0 *
                        std::sin(2.0 * std::numbers::pi * voice.vibratoHz * voiceTime));
      }
      const double value = filter.Next(oscillator.Next(hz), voiceTime / length);
      double gain = voice.retrigger ? Envelope(voice, noteTime, note.seconds)
                                    : Envelope(voice, voiceTime, length);
      if (rest) gain = 0.0;
      if (restBefore) gain *= std::min(1.0, noteTime / kDeclickSeconds);
      if (restAfter) gain *= std::min(1.0, (note.seconds - noteTime) / kDeclickSeconds);
      out[i] = value * gain * voice.volume;
    }
  }
  return out;
}

void PutLittleEndian(std::vector<uint8_t>& bytes, uint32_t value, int count) {
  for (int i = 0; i < count; ++i) bytes.push_back(uint8_t(value >> (8 * i)));
}

void PutTag(std::vector<uint8_t>& bytes, const char (&tag)[5]) {
  for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(tag[i]));
}

}  // namespace

double SoundVoice::Seconds() const {
  double seconds = 0.0;
  for (const SoundNote& note : notes) seconds += note.seconds;
  return seconds;
}

double SoundDefinition::Seconds() const {
  double seconds = 0.0;
  for (const SoundVoice& voice : voices) seconds = std::max(seconds, voice.start + voice.Seconds());
  return seconds;
}

bool ParseSoundDefinitions(const std::string& text, const std::string& fileName,
                           std::vector<SoundDefinition>& sounds, std::string& error) {
  sounds.clear();
  Parser parser(fileName, sounds, error);
  std::istringstream in(text);
  int number = 0;
  for (std::string line; std::getline(in, line);)
    if (!parser.Line(++number, line)) return false;
  return parser.Finish();
}

double ParsePitch(const std::string& text) {
  static const int kSemitoneOfLetter[] = {9, 11, 0, 2, 4, 5, 7};  // A to G, from C
  if (text.size() >= 2 && text[0] >= 'A' && text[0] <= 'G') {
    int semitone = kSemitoneOfLetter[text[0] - 'A'];
    size_t at = 1;
    if (text[at] == '#' || text[at] == 'b') semitone += text[at++] == '#' ? 1 : -1;
    if (at + 1 != text.size() || text[at] < '0' || text[at] > '9') return 0.0;
    const int midi = (text[at] - '0' + 1) * 12 + semitone;
    return kA4Hz * std::exp2((midi - kA4Midi) / 12.0);
  }
  std::string number = text;
  if (number.size() > 2 && number.compare(number.size() - 2, 2, "Hz") == 0)
    number.resize(number.size() - 2);
  double hz = 0.0;
  if (!ParseNumber(number, hz) || hz <= 0.0) return 0.0;
  return hz;
}

std::vector<int16_t> RenderSound(const SoundDefinition& sound) {
  std::vector<double> mix(size_t(std::lround(sound.Seconds() * kSoundSampleRate)), 0.0);
  for (const SoundVoice& voice : sound.voices) {
    const std::vector<double> samples = RenderVoice(voice);
    const size_t offset = size_t(std::lround(voice.start * kSoundSampleRate));
    for (size_t i = 0; i < samples.size() && offset + i < mix.size(); ++i)
      mix[offset + i] += samples[i];
  }
  double loudest = 0.0;
  for (double sample : mix) loudest = std::max(loudest, std::abs(sample));
  const double scale =
      loudest > 0.0 ? std::pow(10.0, sound.peakDbfs / 20.0) * kFullScale / loudest : 0.0;
  std::vector<int16_t> samples(mix.size());
  for (size_t i = 0; i < mix.size(); ++i)
    samples[i] = int16_t(std::clamp(std::lround(mix[i] * scale), -32767L, 32767L));
  return samples;
}

std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& samples) {
  constexpr uint32_t kBytesPerSample = kSoundBitsPerSample / 8;  // bytes
  constexpr uint32_t kFormatChunkBytes = 16;                     // bytes
  constexpr uint32_t kPcmFormat = 1;
  const uint32_t dataBytes = uint32_t(samples.size()) * kBytesPerSample * kSoundChannels;
  std::vector<uint8_t> bytes;
  bytes.reserve(kWavHeaderBytes + dataBytes);
  PutTag(bytes, "RIFF");
  PutLittleEndian(bytes, kWavHeaderBytes - 8 + dataBytes, 4);
  PutTag(bytes, "WAVE");
  PutTag(bytes, "fmt ");
  PutLittleEndian(bytes, kFormatChunkBytes, 4);
  PutLittleEndian(bytes, kPcmFormat, 2);
  PutLittleEndian(bytes, kSoundChannels, 2);
  PutLittleEndian(bytes, kSoundSampleRate, 4);
  PutLittleEndian(bytes, kSoundSampleRate * kBytesPerSample * kSoundChannels, 4);
  PutLittleEndian(bytes, kBytesPerSample * kSoundChannels, 2);
  PutLittleEndian(bytes, kSoundBitsPerSample, 2);
  PutTag(bytes, "data");
  PutLittleEndian(bytes, dataBytes, 4);
  for (int16_t sample : samples) PutLittleEndian(bytes, uint16_t(sample), 2);
  return bytes;
}
