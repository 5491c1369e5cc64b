// The OpenGL commands that draw one body: a filled polygon through its
// outline, in its colour, at its position.
#pragma once

#include "sim/BodyShape.h"
#include "sim/Vec2.h"

// The outline is relative to the centre; the model-view matrix is the same
// afterwards as before.
void DrawDisc(float red, float green, float blue, Vec2 position,
              const Vec2 (&outline)[OutlinePointCount]);
