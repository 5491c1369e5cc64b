#include "sim/CollideBodies.h"

#include <cmath>

void CollideBodies(float massRatio, float radius1, float radius2, Vec2 position1,
                   Vec2 position2, Vec2& velocity1, Vec2& velocity2) {
  const double m = massRatio;
  const double vx1 = velocity1.x;
  const double vy1 = velocity1.y;
  const double vx2 = velocity2.x;
  const double vy2 = velocity2.y;

  const float contact = static_cast<float>(static_cast<double>(radius1) + radius2);
  const double centreX = static_cast<double>(position2.x) - position1.x;
  const double centreY = static_cast<double>(position2.y) - position1.y;
  const float separation =
      static_cast<float>(std::sqrt(std::pow(centreX, 2.0) + std::pow(centreY, 2.0)));

  // Direction of the first body's motion relative to the second, and the
  // direction from the first centre to the second.
  const double relativeX = vx1 - vx2;
  const double relativeY = vy1 - vy2;
  const float motionAngle = static_cast<float>(std::atan2(relativeY, relativeX));
  const float centreAngle = static_cast<float>(std::atan2(centreY, centreX));

  // Angle between the line of motion and the line of centres at first
  // contact. Rounding can push the sine just past 1 when the centres sit at
  // the contact distance; clamping keeps the arcsine defined there.
  double sine = static_cast<double>(separation) *
                std::sin(static_cast<double>(centreAngle) - motionAngle) / contact;
  if (sine > 1.0) sine = 1.0;
  if (sine < -1.0) sine = -1.0;
  const float contactAngle = static_cast<float>(std::asin(sine));

  // The impulse acts along (1, slope); the motion angle is taken again at
  // full precision here.
  const double motion = std::atan2(relativeY, relativeX);
  const double slope = static_cast<float>(std::tan(motion + contactAngle));
  const double impulse = static_cast<float>(
      2.0 * (relativeX + slope * relativeY) / ((slope * slope + 1.0) * (1.0 + m)));

  velocity2.x = static_cast<float>(vx2 + impulse);
  velocity2.y = static_cast<float>(vy2 + slope * impulse);
  velocity1.x = static_cast<float>(vx1 - m * impulse);
  velocity1.y = static_cast<float>(vy1 - slope * m * impulse);
}
