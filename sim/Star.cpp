#include "sim/Star.h"

#include "sim/CircleOutline.h"
#include "sim/DrawDisc.h"

Star::Star(float x, float y) : position(x, y) {
  MakeCircleOutline(OutlinePointCount, FullTurn, StarRadius, outline);
}

void Star::Draw() const { DrawDisc(1.0f, 1.0f, 1.0f, position, outline); }
