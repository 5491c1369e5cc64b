// A fixed white body that attracts the balls.
#pragma once

#include "sim/BodyShape.h"
#include "sim/Vec2.h"

class Star {
 public:
  Star(float x, float y);
  void Draw() const;

  Vec2 position;
  Vec2 outline[OutlinePointCount];
};
