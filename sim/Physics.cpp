#include "sim/Physics.h"

#include "config/SaverSettings.h"
#include "sim/Precision.h"
#include "sim/Universe.h"

namespace {

// The intermediate values of one collision, each rounded to float.
struct CollisionTerms {
  float contact;       // R: sum of the radii
  float separation;    // D: distance between the centres
  float motionAngle;   // phi: direction of the first body's relative velocity
  float centreAngle;   // theta: direction from the first centre to the second
  float contactAngle;  // alpha: motion line versus line of centres at contact
  float slope;         // T: the impulse acts along (1, T)
  float impulse;       // J
};

CollisionTerms MeasureCollision(float massRatio, float radius1, float radius2, Vec2 position1,
                                Vec2 position2, Vec2 velocity1, Vec2 velocity2) {
  CollisionTerms t;
  t.contact = static_cast<float>(static_cast<double>(radius1) + radius2);
  const double centreX = static_cast<double>(position2.x) - position1.x;
  const double centreY = static_cast<double>(position2.y) - position1.y;
  t.separation = static_cast<float>(std::sqrt(std::pow(centreX, 2.0) + std::pow(centreY, 2.0)));

  const double relativeX = static_cast<double>(velocity1.x) - velocity2.x;
  const double relativeY = static_cast<double>(velocity1.y) - velocity2.y;
  t.motionAngle = static_cast<float>(std::atan2(relativeY, relativeX));
  t.centreAngle = static_cast<float>(std::atan2(centreY, centreX));

  // Rounding can push the sine just past 1 when the centres sit at the
  // contact distance; clamping keeps the arcsine defined there.
  double sine = static_cast<double>(t.separation) *
                std::sin(static_cast<double>(t.centreAngle) - t.motionAngle) / t.contact;
  if (sine > 1.0) sine = 1.0;
  if (sine < -1.0) sine = -1.0;
  t.contactAngle = static_cast<float>(std::asin(sine));

  // The motion angle is taken again at full precision for the slope.
  const double motion = std::atan2(relativeY, relativeX);
  t.slope = static_cast<float>(std::tan(motion + t.contactAngle));
  const double slope = t.slope;
  t.impulse = static_cast<float>(2.0 * (relativeX + slope * relativeY) /
                                 ((slope * slope + 1.0) * (1.0 + massRatio)));
  return t;
}

}  // namespace

void CollideBodies(float massRatio, float radius1, float radius2, Vec2 position1, Vec2 position2,
                   Vec2& velocity1, Vec2& velocity2) {
  const Vec2 entry1 = velocity1;
  const Vec2 entry2 = velocity2;
  const CollisionTerms t =
      MeasureCollision(massRatio, radius1, radius2, position1, position2, entry1, entry2);
  const double m = massRatio;
  const double slope = t.slope;
  const double impulse = t.impulse;
  velocity2.x = static_cast<float>(entry2.x + impulse);
  velocity2.y = static_cast<float>(entry2.y + slope * impulse);
  velocity1.x = static_cast<float>(entry1.x - m * impulse);
  velocity1.y = static_cast<float>(entry1.y - slope * m * impulse);
}

// Every star pulls every ball beyond contact distance with G / r^2; each
// ball sums the pulls in star order, then moves by its new velocity.
void Universe::ApplyGravity() {
  UseDoublePrecision();
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

// Balls bounce off stars (which never move), then off each later ball, so
// each unordered pair is examined once per frame and every check sees the
// velocities the checks before it left. Positions are not changed.
void Universe::ResolveCollisions() {
  UseDoublePrecision();
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
