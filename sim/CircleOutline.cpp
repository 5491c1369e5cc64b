#include "sim/CircleOutline.h"

#include <cmath>
#include <iostream>

void MakeCircleOutline(int32_t count, float angle, float radius, Vec2* out) {
  // Written so that a NaN angle or radius counts as invalid.
  const bool valid = count >= 1 && angle > 0.0f && radius > 0.0f;
  if (!valid) {
    std::cout << "Error! Cannot use " << count << " to cover " << angle
              << " radians at radius " << radius << "." << std::endl;
  }
  if (count < 1) {
    return;  // no points to write
  }
  const float step =
      static_cast<float>(static_cast<double>(angle) / static_cast<double>(count));
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
