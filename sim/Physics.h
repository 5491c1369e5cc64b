// The physics step's shared pieces: how a ball measures its distance to
// another body, and the elastic collision response between two round bodies.
#pragma once
#include <cmath>

#include "sim/Vec2.h"

// Float differences, the sum of squares in double, the root of that double.
struct StepDistance {
  float dx;
  float dy;
  double squared;  // dx*dx + dy*dy in double
};

inline StepDistance MeasureStep(Vec2 from, Vec2 to) {
  StepDistance d;
  d.dx = static_cast<float>(static_cast<double>(from.x) - to.x);
  d.dy = static_cast<float>(static_cast<double>(from.y) - to.y);
  d.squared = static_cast<double>(d.dx) * d.dx + static_cast<double>(d.dy) * d.dy;
  return d;
}

inline float StepRoot(const StepDistance& d) { return static_cast<float>(std::sqrt(d.squared)); }

// True when the rounded root would be below limit. The root is only taken
// when the squared distance is below limit^2: beyond it the root, and so
// its rounding, is at least limit, since sqrt and rounding are monotonic.
inline bool StepCloserThan(const StepDistance& d, float limit) {
  const double wide = limit;
  if (d.squared >= wide * wide) return false;
  return StepRoot(d) < limit;
}

// massRatio is the second body's mass over the first's: 0 makes the first
// body immovable, 1 gives equal masses. Both velocities are read as they
// were on entry and written at the end.
void CollideBodies(float massRatio, float radius1, float radius2, Vec2 position1, Vec2 position2,
                   Vec2& velocity1, Vec2& velocity2);
