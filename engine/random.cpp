// glibc's default generator (TYPE_3): an additive feedback generator over 31 words with the
// taps 3 apart, filled from the seed by a Lehmer generator and run 310 steps before its first
// number.
#include "engine/random.h"

namespace {

constexpr int kWords = 31;      // the degree of the feedback polynomial
constexpr int kSeparation = 3;  // between the two taps
constexpr int kWarmUp = 310;    // steps discarded after seeding: ten times the words
constexpr int64_t kLehmerMultiplier = 16807;
constexpr int64_t kLehmerModulus = 2147483647;

struct Generator {
  uint32_t words[kWords];
  int front;  // the tap that takes the sum
  int rear;
};

Generator gRandom;

uint32_t Step(Generator& g) {
  g.words[g.front] += g.words[g.rear];
  const uint32_t result = g.words[g.front] >> 1;
  g.front = (g.front + 1) % kWords;
  g.rear = (g.rear + 1) % kWords;
  return result;
}

Generator Seeded(uint32_t seed) {
  Generator g{};
  if (seed == 0) seed = 1;
  int64_t word = int32_t(seed);
  g.words[0] = seed;
  for (int i = 1; i < kWords; ++i) {
    // Schrage's method, exactly as the C library does it, with its sign fix-up.
    const int64_t high = word / 127773, low = word % 127773;
    word = kLehmerMultiplier * low - 2836 * high;
    if (word < 0) word += kLehmerModulus;
    g.words[i] = uint32_t(word);
  }
  g.front = kSeparation;
  g.rear = 0;
  for (int i = 0; i < kWarmUp; ++i) Step(g);
  return g;
}

bool gSeeded = false;

}  // namespace

void SeedRandom(uint32_t seed) {
  gRandom = Seeded(seed);
  gSeeded = true;
}

int32_t Random() {
  // Never seeded: the C library starts from the seed 1 too.
  if (!gSeeded) SeedRandom(1);
  return int32_t(Step(gRandom));
}

std::vector<int32_t> RandomSequence(uint32_t seed, int count) {
  Generator g = Seeded(seed);
  std::vector<int32_t> numbers;
  for (int i = 0; i < count; ++i) numbers.push_back(int32_t(Step(g)));
  return numbers;
}
