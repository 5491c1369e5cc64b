// A moving body, red, green or blue, that falls towards the stars.
#pragma once

#include "sim/BodyShape.h"
#include "sim/Vec2.h"

class Ball {
 public:
  Ball(float x, float y);  // at rest; draws one random integer for its colour
  void InitAppearance();
  void Move();
  void Draw() const;

  Vec2 position;
  Vec2 velocity;
  Vec2 outline[OutlinePointCount];
  float red;
  float green;
  float blue;
};
