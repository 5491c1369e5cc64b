// Points spaced evenly along an arc, used as the corners of every body.
#pragma once
#include <cstdint>

#include "sim/Vec2.h"

// The full turn that body outlines cover: the float nearest 2 pi.
const float FullTurn = 6.2831855f;

// Fills out[0] to out[count-1] with points on a circle of the given radius,
// the arc centred on angle 0 and running counter-clockwise from -angle/2.
// Invalid arguments print one diagnostic line and the points are still
// computed by the same formulas. Nothing beyond out[count-1] is written.
void MakeCircleOutline(int32_t count, float angle, float radius, Vec2* out);
