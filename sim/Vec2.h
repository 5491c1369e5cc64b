// The simulation's one geometric value type, and the circle outlines that
// every body is drawn through.
#pragma once
#include <cstdint>

struct Vec2 {
  float x;
  float y;
  Vec2() : x(0.0f), y(0.0f) {}
  Vec2(float x_, float y_) : x(x_), y(y_) {}
};

// The full turn that body outlines cover: the float nearest 2 pi.
const float FullTurn = 6.2831855f;

// Euclidean distance, computed in double and returned as float.
float Distance(Vec2 a, Vec2 b);

// Fills out[0] to out[count-1] with points on a circle of the given radius,
// the arc centred on angle 0 and running counter-clockwise from -angle/2.
// Invalid arguments print one diagnostic line and the points are still
// computed by the same formulas. Nothing beyond out[count-1] is written.
void MakeCircleOutline(int32_t count, float angle, float radius, Vec2* out);
