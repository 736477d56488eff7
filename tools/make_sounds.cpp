// Synthesizes the game's sound effects and tunes: reads the parameter files and writes one WAV
// per sound or tune into the output folder. Usage: brinkhop-makesounds OUTPUT-DIR FILE...
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/sound_synth.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s OUTPUT-DIR PARAMETER-FILE...\n", argv[0]);
    return 2;
  }
  const std::string outputDir = argv[1];
  std::vector<SoundDefinition> sounds;
  // Everything is parsed before anything is written, so a typo leaves the old files alone.
  for (int i = 2; i < argc; ++i) {
    const std::string parameterFile = argv[i];
    std::error_code ignored;
    std::ifstream in(parameterFile, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in || !std::filesystem::is_regular_file(parameterFile, ignored)) {
      std::fprintf(stderr, "%s: cannot read the file\n", parameterFile.c_str());
      return 1;
    }
    std::vector<SoundDefinition> fileSounds;
    std::string error;
    if (!ParseSoundDefinitions(text.str(), parameterFile, fileSounds, error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 1;
    }
    sounds.insert(sounds.end(), fileSounds.begin(), fileSounds.end());
  }
  for (const SoundDefinition& sound : sounds) {
    const std::vector<uint8_t> wav = EncodeWav(RenderSound(sound));
    const std::string path = outputDir + "/" + sound.name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(wav.data()), std::streamsize(wav.size()));
    out.close();
    if (!out) {
      std::fprintf(stderr, "%s: cannot write the file\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
