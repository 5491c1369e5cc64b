// What WebGL's emulation of OpenGL 1.1 and GLU gets wrong or only warns
// about, put right for the scene.  Defined here, these take the place of the
// emulation's own.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

namespace {

void Normalise(double v[3]) {
  const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (length == 0.0) return;
  for (int i = 0; i < 3; ++i) v[i] /= length;
}

void Cross(const double a[3], const double b[3], double out[3]) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

}  // namespace

extern "C" {

// The emulation's gluLookAt hands its arguments to its matrix library in the
// wrong order and leaves the view at identity.  This is GLU's documented
// matrix: rows side, up and backwards, then the eye moved to the origin.
void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY,
               GLdouble centreZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
  double forward[3] = {centreX - eyeX, centreY - eyeY, centreZ - eyeZ};
  double up[3] = {upX, upY, upZ};
  double side[3];
  Normalise(forward);
  Normalise(up);
  Cross(forward, up, side);
  Normalise(side);
  Cross(side, forward, up);
  // clang-format off
  const GLdouble m[16] = {side[0], up[0], -forward[0], 0.0,
                          side[1], up[1], -forward[1], 0.0,
                          side[2], up[2], -forward[2], 0.0,
                          0.0,     0.0,   0.0,         1.0};
  // clang-format on
  glMultMatrixd(m);
  glTranslated(-eyeX, -eyeY, -eyeZ);
}

// Every vertex of a body has the body's colour, so flat and smooth shading
// look alike; the emulation would only warn on the console.
void glShadeModel(GLenum) {}

}  // extern "C"
