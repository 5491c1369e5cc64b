#include "config/SaverSettings.h"
#include "sim/StepDistance.h"
#include "sim/Universe.h"

// Every star pulls every ball beyond contact distance with G / r^2; each
// ball sums the pulls in star order, then moves by its new velocity.
void Universe::ApplyGravity() {
  const double g = SaverSettings.GraviticForce;
  for (int32_t i = 0; i < ballCount; ++i) {
    Ball& ball = *balls[i];
    for (int32_t k = 0; k < starCount; ++k) {
      const StepDistance d = MeasureStep(ball.position, stars[k]->position);
      const float r = StepRoot(d);
      if (r > 27.0f) {
        const double reach = static_cast<double>(r) * static_cast<float>(d.squared);
        ball.velocity.x = static_cast<float>(ball.velocity.x - (g * d.dx) / reach);
        ball.velocity.y = static_cast<float>(ball.velocity.y - (g * d.dy) / reach);
      }
    }
    ball.Move();
  }
}
