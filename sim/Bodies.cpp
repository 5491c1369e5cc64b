#include "sim/Bodies.h"

#include "sim/GLFunctions.h"
#include "sim/Random.h"

Star::Star(float x, float y) : position(x, y) {
  MakeCircleOutline(OutlinePointCount, FullTurn, StarRadius, outline);
}

void Star::Draw() const { DrawDisc(1.0f, 1.0f, 1.0f, position, outline); }

Ball::Ball(float x, float y)
    : position(x, y), velocity(0.0f, 0.0f), red(0.0f), green(0.0f), blue(0.0f) {
  InitAppearance();
}

void Ball::InitAppearance() {
  MakeCircleOutline(OutlinePointCount, FullTurn, BallRadius, outline);
  red = 0.0f;
  green = 0.0f;
  blue = 0.0f;
  // The colour fraction is single precision, unlike the position fractions:
  // the thresholds fall at 10813/10814 and 21626/21627 because of it.
  const float f = static_cast<float>(NextRandom()) / 32767.0f;
  const double wide = f;
  if (wide <= 0.33) {
    red = 1.0f;
  } else if (wide <= 0.66) {
    green = 1.0f;
  } else {
    blue = 1.0f;
  }
}

void Ball::Move() {
  position.x = static_cast<float>(static_cast<double>(position.x) + velocity.x);
  position.y = static_cast<float>(static_cast<double>(position.y) + velocity.y);
}

void Ball::Draw() const { DrawDisc(red, green, blue, position, outline); }

void DrawDisc(float red, float green, float blue, Vec2 position,
              const Vec2 (&outline)[OutlinePointCount]) {
  glColor3f(red, green, blue);
  glPushMatrix();
  glTranslatef(position.x, position.y, 0.0f);
  glBegin(PolygonPrimitive);
  for (int32_t i = 0; i < OutlinePointCount; ++i) {
    glVertex2f(outline[i].x, outline[i].y);
  }
  glEnd();
  glPopMatrix();
}
