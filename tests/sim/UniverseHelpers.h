// Universes from a known clock second, or built by hand body by body.
#pragma once
#include <cstdint>

#include "sim/Universe.h"

// Sets the clock to one second and restores the system clock on scope exit.
class ClockAt {
 public:
  explicit ClockAt(int32_t seconds);
  ~ClockAt();
  ClockAt(const ClockAt&) = delete;
  ClockAt& operator=(const ClockAt&) = delete;
};

// Appends a body to a universe made empty with Universe(0, 0).
void AddStar(Universe& universe, float x, float y);
Ball& AddBall(Universe& universe, float x, float y, float vx, float vy);

// True when two universes hold the same bodies to the bit.
bool SameUniverse(const Universe& a, const Universe& b);
