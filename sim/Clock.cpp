#include "sim/Clock.h"

#include <ctime>

ClockFunction ClockSource = SystemClock;

int32_t SystemClock() { return static_cast<int32_t>(std::time(nullptr)); }

int32_t ReadClock() { return ClockSource(); }
