#include "sim/Star.h"

#include "sim/CircleOutline.h"
#include "sim/GLFunctions.h"

Star::Star(float x, float y) : position(x, y) {
  MakeCircleOutline(OutlinePointCount, FullTurn, StarRadius, outline);
}

void Star::Draw() const {
  glColor3f(1.0f, 1.0f, 1.0f);
  glPushMatrix();
  glTranslatef(position.x, position.y, 0.0f);
  glBegin(PolygonMode);
  for (int32_t i = 0; i < OutlinePointCount; ++i) {
    glVertex2f(outline[i].x, outline[i].y);
  }
  glEnd();
  glPopMatrix();
}
