// The simulation's one geometric value type.
#pragma once

struct Vec2 {
  float x;
  float y;
  Vec2() : x(0.0f), y(0.0f) {}
  Vec2(float x_, float y_) : x(x_), y(y_) {}
};

// Euclidean distance, computed in double and returned as float.
float Distance(Vec2 a, Vec2 b);
