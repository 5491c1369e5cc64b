#include "sim/Vec2.h"

#include <cmath>
#include <cstdio>

float Distance(Vec2 a, Vec2 b) {
  const double dx = static_cast<double>(a.x) - static_cast<double>(b.x);
  const double dy = static_cast<double>(a.y) - static_cast<double>(b.y);
  return static_cast<float>(std::sqrt(std::pow(dx, 2.0) + std::pow(dy, 2.0)));
}

void MakeCircleOutline(int32_t count, float angle, float radius, Vec2* out) {
  // Written so that a NaN angle or radius counts as invalid.
  const bool valid = count >= 1 && angle > 0.0f && radius > 0.0f;
  if (!valid) {
    // %g is the stream's default notation: at most six significant digits.
    // C stdio rather than iostreams keeps the locale machinery out of the .scr.
    std::printf("Error! Cannot use %ld to cover %g radians at radius %g.\n",
                static_cast<long>(count), static_cast<double>(angle), static_cast<double>(radius));
    std::fflush(stdout);
  }
  if (count < 1) {
    return;  // no points to write
  }
  const float step = static_cast<float>(static_cast<double>(angle) / static_cast<double>(count));
  // The angle is accumulated in float, step by step, so the points sit where
  // the float sums put them rather than at start + i * step.
  float current = static_cast<float>(static_cast<double>(angle) * -0.5);
  const double r = radius;
  for (int32_t i = 0; i < count; ++i) {
    const double a = current;
    out[i].x = static_cast<float>(std::cos(a) * r);
    out[i].y = static_cast<float>(std::sin(a) * r);
    current = static_cast<float>(a + static_cast<double>(step));
  }
}
