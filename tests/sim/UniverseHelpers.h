// Building universes by hand for the physics and drawing tests.
#pragma once
#include <cstdint>

#include "sim/Universe.h"

// Appends a body to a universe made empty with Universe(0, 0).
void AddStar(Universe& universe, float x, float y);
Ball& AddBall(Universe& universe, float x, float y, float vx, float vy);

// True when two universes hold the same bodies to the bit.
bool SameUniverse(const Universe& a, const Universe& b);
