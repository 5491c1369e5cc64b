// Elastic collision response between two round bodies.
#pragma once

#include "sim/Vec2.h"

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
                                Vec2 position2, Vec2 velocity1, Vec2 velocity2);

// massRatio is the second body's mass over the first's: 0 makes the first
// body immovable, 1 gives equal masses. Both velocities are read as they
// were on entry and written at the end.
void CollideBodies(float massRatio, float radius1, float radius2, Vec2 position1, Vec2 position2,
                   Vec2& velocity1, Vec2& velocity2);
