#include "sim/DrawDisc.h"

#include "sim/GLFunctions.h"

void DrawDisc(float red, float green, float blue, Vec2 position,
              const Vec2 (&outline)[OutlinePointCount]) {
  glColor3f(red, green, blue);
  glPushMatrix();
  glTranslatef(position.x, position.y, 0.0f);
  glBegin(PolygonMode);
  for (int32_t i = 0; i < OutlinePointCount; ++i) {
    glVertex2f(outline[i].x, outline[i].y);
  }
  glEnd();
  glPopMatrix();
}
