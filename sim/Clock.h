// Calendar time in whole seconds since 1970-01-01 UTC.
#pragma once
#include <cstdint>

typedef int32_t (*ClockFunction)();

// The clock that ReadClock consults; tests replace it to set the time.
extern ClockFunction ClockSource;

int32_t SystemClock();
int32_t ReadClock();
