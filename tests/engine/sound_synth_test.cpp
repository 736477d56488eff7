// The sound-effect synthesizer: the WAV layout, the shipped sound bank as the game loads it,
// parameter errors with their line, and repeatable output.
#include "engine/sound_synth.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/support/png.h"

namespace {

// Every file the game's sound bank opens.
const char* const kBankFiles[] = {
    "grow.wav",     "jump.wav",   "crack.wav", "coin.wav",    "kick.wav",  "stomp.wav",
    "fireball.wav", "1-up.wav",   "die.wav",   "pause.wav",   "pipe.wav",  "flag.wav",
    "shrink.wav",   "output.wav", "tock.wav",  "stomp_1.wav", "cannon.wav"};

std::vector<SoundDefinition> ShippedSounds() {
  std::ifstream in(std::string(BRINKHOP_SOUNDS_DIR) + "/sounds.txt");
  std::ostringstream text;
  text << in.rdbuf();
  std::vector<SoundDefinition> sounds;
  std::string error;
  EXPECT_TRUE(ParseSoundDefinitions(text.str(), "sounds.txt", sounds, error)) << error;
  return sounds;
}

// Parses text that must be rejected and returns the message.
std::string ParseError(const std::string& text) {
  std::vector<SoundDefinition> sounds;
  std::string error;
  EXPECT_FALSE(ParseSoundDefinitions(text, "bank.txt", sounds, error)) << text;
  return error;
}

double PeakDbfs(const std::vector<int16_t>& samples) {
  int loudest = 0;
  for (int16_t s : samples) loudest = std::max(loudest, std::abs(int(s)));
  return 20.0 * std::log10(loudest / 32768.0);
}

TEST(SoundSynthTest, WavHeaderDescribesSixteenBitMonoPcm) {
  // The RIFF size, PCM, mono, 44100 Hz, 88200 bytes a second, 2 bytes a frame, 16 bits, the
  // data size, then the samples little-endian in two's complement.
  const std::vector<uint8_t> expected = {
      'R',  'I',  'F', 'F', 46, 0, 0,    0,    'W',  'A',  'V',  'E',  'f', 'm',
      't',  ' ',  16,  0,   0,  0, 1,    0,    1,    0,    0x44, 0xac, 0,   0,
      0x88, 0x58, 1,   0,   2,  0, 16,   0,    'd',  'a',  't',  'a',  10,  0,
      0,    0,    0,   0,   1,  0, 0xfe, 0xff, 0xff, 0x7f, 0x01, 0x80};
  EXPECT_EQ(EncodeWav({0, 1, -2, 32767, -32767}), expected);
  EXPECT_EQ(EncodeWav({}).size(), 44u);
}

TEST(SoundSynthTest, PitchesAndLengthsComeOutAsWritten) {
  EXPECT_DOUBLE_EQ(ParsePitch("A4"), 440.0);
  EXPECT_NEAR(ParsePitch("C4"), 261.626, 0.001);
  EXPECT_NEAR(ParsePitch("F#5"), 739.989, 0.001);
  EXPECT_NEAR(ParsePitch("Bb3"), ParsePitch("A#3"), 1e-9);
  EXPECT_DOUBLE_EQ(ParsePitch("1000Hz"), 1000.0);
  EXPECT_DOUBLE_EQ(ParsePitch("82.5"), 82.5);
  for (const char* bad : {"H4", "C", "C#", "C45", "a4", "Hz", "-5Hz", "0", "440hz", "C#4x"})
    EXPECT_EQ(ParsePitch(bad), 0.0) << bad;

  // Half a second of A4 crosses zero 440 times upwards; a rest between notes keeps time.
  std::vector<SoundDefinition> sounds;
  std::string error;
  ASSERT_TRUE(
      ParseSoundDefinitions("sound a.wav\nvoice sine\nnotes A4:0.5\n"
                            "voice square\nstep 0.1\nnotes C5 r G5:0.2\n",
                            "bank.txt", sounds, error))
      << error;
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_DOUBLE_EQ(sounds[0].voices[1].Seconds(), 0.4);
  sounds[0].voices.pop_back();
  const std::vector<int16_t> samples = RenderSound(sounds[0]);
  EXPECT_EQ(samples.size(), 22050u);
  int rises = 0;
  for (size_t i = 1; i < samples.size(); ++i) rises += samples[i - 1] < 0 && samples[i] >= 0;
  EXPECT_NEAR(rises, 220, 1);
  EXPECT_NEAR(PeakDbfs(samples), -3.0, 0.01);
}

TEST(SoundSynthTest, ShippedBankHasEveryFileShortCleanAndBelowFullScale) {
  const std::vector<SoundDefinition> sounds = ShippedSounds();
  std::map<std::string, const SoundDefinition*> byName;
  for (const SoundDefinition& sound : sounds) byName[sound.name] = &sound;
  ASSERT_EQ(byName.size(), std::size(kBankFiles));
  for (const char* name : kBankFiles) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(byName.count(name));
    const std::vector<int16_t> samples = RenderSound(*byName[name]);
    const double seconds = double(samples.size()) / kSoundSampleRate;
    const bool die = std::string(name) == "die.wav";  // the one long sound
    EXPECT_GE(seconds, die ? 1.2 : 0.04);
    EXPECT_LE(seconds, die ? 1.8 : 0.9);
    const double peak = PeakDbfs(samples);
    EXPECT_GE(peak, -10.0);
    EXPECT_LE(peak, -2.0);
    // Envelopes start and end at silence, so no sound clicks in or out.
    EXPECT_LT(std::abs(samples.front()), 200);
    EXPECT_LT(std::abs(samples.back()), 200);
  }
}

TEST(SoundSynthTest, SdlMixerLoadsEveryShippedFile) {
  const std::string dir = TestScratchDir();
  std::map<std::string, size_t> frames;
  for (const SoundDefinition& sound : ShippedSounds()) {
    const std::vector<int16_t> samples = RenderSound(sound);
    const std::vector<uint8_t> wav = EncodeWav(samples);
    std::ofstream(dir + "/" + sound.name, std::ios::binary)
        .write(reinterpret_cast<const char*>(wav.data()), std::streamsize(wav.size()));
    frames[sound.name] = samples.size();
  }
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
  ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 4096), 0) << Mix_GetError();
  for (const char* name : kBankFiles) {
    Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromFile((dir + "/" + name).c_str(), "rb"), 1);
    EXPECT_NE(chunk, nullptr) << name << ": " << Mix_GetError();
    if (!chunk) continue;
    // Converted to the device's 16-bit stereo: four bytes per frame.
    EXPECT_EQ(chunk->alen, frames[name] * 4) << name;
    Mix_FreeChunk(chunk);
  }
  Mix_CloseAudio();
  SDL_Quit();
}

TEST(SoundSynthTest, BadParametersAreReportedWithTheirLine) {
  const std::string head = "sound a.wav\nvoice square\n";
  const struct {
    std::string text;
    std::string message;
  } kCases[] = {
      {"", "bank.txt:1: no sound defined"},
      {"# only a comment\n\n", "bank.txt:2: no sound defined"},
      {"voice square\n", "bank.txt:1: voice before the first sound line"},
      {"sound a.wav\nnotes C4:1\n", "bank.txt:2: notes before the first voice line"},
      {"sound a.wav\nvoice sqaure\n", "bank.txt:2: unknown wave 'sqaure'"},
      {"sound a.mp3\n", "bank.txt:1: 'a.mp3' is not a plain .wav file name"},
      {"sound ../a.wav\n", "is not a plain .wav file name"},
      {head + "notes C4:0.1\nsound a.wav\n", "bank.txt:4: a.wav is defined twice"},
      {head + "dutty 0.5\n", "bank.txt:3: unknown key 'dutty'"},
      {head + "duty 0.5x\n", "bank.txt:3: duty: '0.5x' is not a number"},
      {head + "duty 1\n", "bank.txt:3: duty must lie inside 0 to 1"},
      {head + "duty\n", "bank.txt:3: duty takes 1 value, not 0"},
      {head + "volume 1.5\n", "bank.txt:3: volume: 1.5 is outside 0 to 1"},
      {head + "sustain nan\n", "bank.txt:3: sustain: 'nan' is not a number"},
      {head + "attack 0\n", "bank.txt:3: attack: 0 is outside"},
      {head + "vibrato 1\n", "bank.txt:3: vibrato takes 2 values, not 1"},
      {head + "retrigger maybe\n", "bank.txt:3: retrigger takes on or off"},
      {head + "seed 3\n", "bank.txt:3: seed applies to noise voices only"},
      {"sound a.wav\nvoice noise\nseed 1.5\n", "bank.txt:3: seed must be a whole number"},
      {"sound a.wav\nvoice sine\nduty 0.5\n", "bank.txt:3: duty applies to square voices only"},
      {head + "notes C4\n", "bank.txt:3: note 'C4' has no length"},
      {head + "notes H4:0.1\n", "bank.txt:3: 'H4' is not a note name or a frequency"},
      {head + "notes r>C4:0.1\n", "bank.txt:3: 'r' is not a note name"},
      {head + "notes 21000Hz:0.1\n", "bank.txt:3: '21000Hz' is above the highest usable pitch"},
      {head + "notes C4:0\n", "bank.txt:3: note length: 0 is outside"},
      {head + "notes\n", "bank.txt:3: notes takes at least one note"},
      {head + "lowpass 500>0\n", "bank.txt:3: lowpass: 0 is outside"},
      {head + "peak 3\n", "bank.txt:3: peak: 3 is outside -24 to 0"},
      {"sound a.wav\n\nsound b.wav\n", "bank.txt:1: a.wav has no voice"},
      {head + "volume 0.5\n", "bank.txt:2: voice has no notes"},
      {head + "notes r:0.1\n", "bank.txt:1: a.wav has nothing but rests"},
      {head + "step 1\nnotes C4 C4 C4 C4 C4\n", "bank.txt:1: a.wav lasts 5 s, longer than 4 s"},
      {head + "notes C4:0.1\nvoice sine\nstart 3.95\nnotes C4:0.1\n",
       "bank.txt:1: a.wav lasts 4.05 s"},
  };
  for (const auto& c : kCases) {
    const std::string error = ParseError(c.text);
    EXPECT_NE(error.find(c.message), std::string::npos)
        << "text:\n"
        << c.text << "gave: " << error << "\nwanted: " << c.message;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
}

TEST(SoundSynthTest, SameParametersGiveTheSameBytesAndSeedsChangeTheNoise) {
  const std::vector<SoundDefinition> first = ShippedSounds();
  const std::vector<SoundDefinition> second = ShippedSounds();
  ASSERT_EQ(first.size(), second.size());
  for (size_t i = 0; i < first.size(); ++i)
    EXPECT_EQ(EncodeWav(RenderSound(first[i])), EncodeWav(RenderSound(second[i]))) << first[i].name;

  std::vector<SoundDefinition> sounds;
  std::string error;
  ASSERT_TRUE(
      ParseSoundDefinitions("sound a.wav\nvoice noise\nnotes 20000Hz:0.05\n"
                            "sound b.wav\nvoice noise\nseed 1\nnotes 20000Hz:0.05\n"
                            "sound c.wav\nvoice noise\nseed 2\nnotes 20000Hz:0.05\n",
                            "bank.txt", sounds, error))
      << error;
  EXPECT_EQ(RenderSound(sounds[0]), RenderSound(sounds[1]));
  EXPECT_NE(RenderSound(sounds[1]), RenderSound(sounds[2]));
}

}  // namespace
