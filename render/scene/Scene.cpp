#include "render/Scene.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <new>

#include "config/SaverSettings.h"
#include "sim/Clock.h"
#include "sim/Universe.h"

Universe* CurrentUniverse = nullptr;

namespace {

// The world rectangle's half extents and the depth range around the plane
// z = 0 that the eye at z = 50 looks at.
const double WorldHalfWidth = 300.0;
const double WorldHalfHeight = 240.0;
const double NearPlane = 25.0;
const double FarPlane = 75.0;

typedef int32_t SaverSettingsRecord::*CountField;

struct CommandKey {
  uint32_t code;     // the upper-case letter
  CountField stars;  // both null: random counts from the ranges
  CountField balls;
};

const CommandKey CommandKeys[] = {
    {'B', nullptr, nullptr},
    {'M', &SaverSettingsRecord::MinStars, &SaverSettingsRecord::MaxBalls},
    {'N', &SaverSettingsRecord::MinStars, &SaverSettingsRecord::MinBalls},
    {'X', &SaverSettingsRecord::MaxStars, &SaverSettingsRecord::MaxBalls},
    {'Z', &SaverSettingsRecord::MaxStars, &SaverSettingsRecord::MinBalls},
};

const CommandKey* FindCommandKey(uint32_t keyCode) {
  for (const CommandKey& key : CommandKeys) {
    if (key.code == keyCode) return &key;
  }
  return nullptr;
}

}  // namespace

// The world rectangle always fills the viewport, whatever the window's
// proportions: x from -300 to 300, y from -240 to 240, seen from z = 50.
void SetupScene(int32_t width, int32_t height) {
  glViewport(0, 0, width, height);

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-WorldHalfWidth, WorldHalfWidth, -WorldHalfHeight, WorldHalfHeight, NearPlane, FarPlane);

  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(0.0, 0.0, 50.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);

  glClearColor(0.2f, 0.2f, 0.2f, 0.1f);
  glPointSize(5.0f);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glShadeModel(GL_SMOOTH);

  // The settings are loaded by now; the first universe uses their ranges.
  ReplaceUniverse(NewRandomUniverse());

  glColor3f(0.1f, 1.0f, 0.3f);
}

void FitWorldToWindow(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return;
  glViewport(0, 0, width, height);
  // Pixels per world unit: the smaller scale shows all of the rectangle.
  const double scale = std::min(width / (2.0 * WorldHalfWidth), height / (2.0 * WorldHalfHeight));
  const double halfWidth = width / (2.0 * scale), halfHeight = height / (2.0 * scale);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-halfWidth, halfWidth, -halfHeight, halfHeight, NearPlane, FarPlane);
  glMatrixMode(GL_MODELVIEW);
}

// The scene holds no textures, display lists or other OpenGL objects.
void CleanupScene() {}

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

Universe* NewRandomUniverse() { return new (std::nothrow) Universe(); }

Universe* NewUniverseWithCounts(int32_t stars, int32_t balls) {
  return new (std::nothrow) Universe(stars, balls);
}

bool IsCommandKey(uint32_t keyCode) { return FindCommandKey(keyCode) != nullptr; }

Universe* NewUniverseForKey(uint32_t keyCode) {
  const CommandKey* key = FindCommandKey(keyCode);
  if (key == nullptr) return nullptr;
  if (key->stars == nullptr) return NewRandomUniverse();
  return NewUniverseWithCounts(SaverSettings.*(key->stars), SaverSettings.*(key->balls));
}

void ReplaceUniverse(Universe* fresh) {
  if (fresh == nullptr) return;
  Universe* previous = CurrentUniverse;
  CurrentUniverse = fresh;
  delete previous;
}

bool UniverseIsTooOld(int32_t now, int32_t creationTime) {
  // Wrapping subtraction in unsigned, read back as signed: the clock's
  // difference stays meaningful across a clock set back or a wrap.
  const int32_t age =
      static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(creationTime));
  return age > UniverseMaxAge;
}

void RenewUniverseIfTooOld(int32_t now) {
  if (CurrentUniverse == nullptr || UniverseIsTooOld(now, CurrentUniverse->creationTime)) {
    ReplaceUniverse(NewRandomUniverse());
  }
}
