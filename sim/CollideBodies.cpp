#include "sim/CollideBodies.h"

#include <cmath>

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
