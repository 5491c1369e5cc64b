#include "render/DrawFrame.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>

#include "render/UniverseRenewal.h"
#include "sim/Clock.h"
#include "sim/Universe.h"

void DrawFrame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  RenewUniverseIfTooOld(ReadClock());
  // Without any universe (none could be allocated) the frame stays clear.
  if (CurrentUniverse != nullptr) {
    CurrentUniverse->ApplyGravity();
    CurrentUniverse->ResolveCollisions();
    CurrentUniverse->Draw();
  }
  glFinish();
}
