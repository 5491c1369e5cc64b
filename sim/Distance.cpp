#include <cmath>

#include "sim/Vec2.h"

float Distance(Vec2 a, Vec2 b) {
  const double dx = static_cast<double>(a.x) - static_cast<double>(b.x);
  const double dy = static_cast<double>(a.y) - static_cast<double>(b.y);
  return static_cast<float>(std::sqrt(std::pow(dx, 2.0) + std::pow(dy, 2.0)));
}
