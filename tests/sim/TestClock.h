// Clock stand-ins for tests that need a universe from a known second.
#pragma once
#include <cstdint>

#include "sim/Clock.h"

// ReadClock returns this value while FixedClock is the ClockSource.
extern int32_t FixedClockValue;
int32_t FixedClock();

// Sets the clock to one second and restores the system clock on scope exit.
class ClockAt {
 public:
  explicit ClockAt(int32_t seconds);
  ~ClockAt();
  ClockAt(const ClockAt&) = delete;
  ClockAt& operator=(const ClockAt&) = delete;
};
