#include "sim/Random.h"

uint32_t RandomState = 1;
uint32_t SeedSalt = 0;

void SeedRandom(uint32_t seed) { RandomState = seed; }

int32_t NextRandom() {
  // Unsigned arithmetic wraps modulo 2^32 as the generator requires.
  RandomState = RandomState * 214013u + 2531011u;
  return static_cast<int32_t>((RandomState >> 16) & 0x7FFFu);
}
