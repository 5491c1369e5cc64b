#include "sim/CollideBodies.h"
#include "sim/StepDistance.h"
#include "sim/Universe.h"

// Balls bounce off stars (which never move), then off each later ball, so
// each unordered pair is examined once per frame and every check sees the
// velocities the checks before it left. Positions are not changed.
void Universe::ResolveCollisions() {
  for (int32_t i = 0; i < ballCount; ++i) {
    Ball& ball = *balls[i];
    for (int32_t k = 0; k < starCount; ++k) {
      const Star& star = *stars[k];
      if (StepCloserThan(MeasureStep(ball.position, star.position), 27.0f)) {
        Vec2 starVelocity;  // whatever is written here is dropped
        CollideBodies(0.0f, StarRadius, BallRadius, star.position, ball.position, starVelocity,
                      ball.velocity);
      }
    }
    for (int32_t k = i + 1; k < ballCount; ++k) {
      Ball& other = *balls[k];
      if (StepCloserThan(MeasureStep(ball.position, other.position), 24.0f)) {
        CollideBodies(1.0f, BallRadius, BallRadius, ball.position, other.position, ball.velocity,
                      other.velocity);
      }
    }
  }
}
