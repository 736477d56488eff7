// The game's generator gives the desktop C library's sequence, which every replay was recorded
// with: here checked against glibc's own rand() on the machine the tests run on.
#include "engine/random.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(Random, GivesGlibcsSequenceAfterTheSameSeed) {
  for (unsigned seed : {1u, 0u, 12345u}) {
    SCOPED_TRACE(seed);
    std::srand(seed);
    SeedRandom(seed);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(Random(), std::rand()) << "value " << i;
  }
  static_assert(kRandomMax == RAND_MAX);
}

// The browser's page reads the sequence this way; it leaves the game's own where it was.
TEST(Random, ASequenceOnItsOwnLeavesTheGamesAlone) {
  std::srand(1);
  for (int32_t number : RandomSequence(1, 1000)) ASSERT_EQ(number, std::rand());
  SeedRandom(1);
  const int32_t first = Random();
  RandomSequence(1, 5);
  const int32_t second = Random();
  SeedRandom(1);
  EXPECT_EQ(Random(), first);
  EXPECT_EQ(Random(), second);
}

}  // namespace
