// Elastic collision response between two round bodies.
#pragma once

#include "sim/Vec2.h"

// massRatio is the second body's mass over the first's: 0 makes the first
// body immovable, 1 gives equal masses. Both velocities are read as they
// were on entry and written at the end.
void CollideBodies(float massRatio, float radius1, float radius2, Vec2 position1,
                   Vec2 position2, Vec2& velocity1, Vec2& velocity2);
