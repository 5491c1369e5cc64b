#include "tests/sim/TestClock.h"

int32_t FixedClockValue = 0;

int32_t FixedClock() { return FixedClockValue; }

ClockAt::ClockAt(int32_t seconds) {
  FixedClockValue = seconds;
  ClockSource = FixedClock;
}

ClockAt::~ClockAt() { ClockSource = SystemClock; }
