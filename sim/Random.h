// The process-wide random generator: a linear congruential generator giving
// integers 0 to 32767.
#pragma once
#include <cstdint>

// The generator state; tests may read and set it directly.
extern uint32_t RandomState;

// Added to the clock reading that seeds each universe. 0 unless a host sets
// it: hacks started in the same second on several monitors set their own.
extern uint32_t SeedSalt;

void SeedRandom(uint32_t seed);
int32_t NextRandom();
