// The two kinds of body: fixed white stars and moving red, green or blue
// balls, each drawn as a filled polygon through its outline.
#pragma once
#include <cstdint>

#include "sim/Vec2.h"

const int32_t OutlinePointCount = 15;
const float StarRadius = 15.0f;
const float BallRadius = 12.0f;

class Star {
 public:
  Star(float x, float y);
  void Draw() const;

  Vec2 position;
  Vec2 outline[OutlinePointCount];
};

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

// The OpenGL commands of one body: a filled polygon through its outline
// (relative to the centre), in its colour, at its position. The model-view
// matrix is the same afterwards as before.
void DrawDisc(float red, float green, float blue, Vec2 position,
              const Vec2 (&outline)[OutlinePointCount]);
