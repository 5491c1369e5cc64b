// The process-wide random generator: a linear congruential generator giving
// integers 0 to 32767.
#pragma once
#include <cstdint>

// The generator state; tests may read and set it directly.
extern uint32_t RandomState;

void SeedRandom(uint32_t seed);
int32_t NextRandom();
