#include "render/scene/Scene.h"

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

// What a command key asks of each kind of body.
enum class CountChoice { Random, Fewest, Most };

struct CommandKey {
  uint32_t code;  // the upper-case letter
  CountChoice stars;
  CountChoice balls;
};

// B draws both counts from their ranges, as the renewal does; the others
// take the ends of the ranges.  Random goes with Random only.
const CommandKey CommandKeys[] = {
    {'B', CountChoice::Random, CountChoice::Random},
    {'M', CountChoice::Fewest, CountChoice::Most},
    {'N', CountChoice::Fewest, CountChoice::Fewest},
    {'X', CountChoice::Most, CountChoice::Most},
    {'Z', CountChoice::Most, CountChoice::Fewest},
};

const CommandKey* FindCommandKey(uint32_t keyCode) {
  for (const CommandKey& key : CommandKeys) {
    if (key.code == keyCode) return &key;
  }
  return nullptr;
}

int32_t ChosenCount(CountChoice choice, int32_t fewest, int32_t most) {
  return choice == CountChoice::Fewest ? fewest : most;
}

// Counts read from SaverSettings now; null when memory cannot be had.
Universe* NewUniverseForKey(const CommandKey& key) {
  if (key.stars == CountChoice::Random) return NewRandomUniverse();
  const SaverSettingsRecord& s = SaverSettings;
  return NewUniverseWithCounts(ChosenCount(key.stars, s.MinStars, s.MaxStars),
                               ChosenCount(key.balls, s.MinBalls, s.MaxBalls));
}

// The viewport and a projection that shows x within +-halfWidth and y within
// +-halfHeight of the world's centre; the model-view matrix is current after.
void ShowWorldRegion(int32_t width, int32_t height, double halfWidth, double halfHeight) {
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-halfWidth, halfWidth, -halfHeight, halfHeight, NearPlane, FarPlane);
  glMatrixMode(GL_MODELVIEW);
}

void DrawCurrentUniverse() {
  // Without any universe (none could be allocated) the frame stays clear.
  if (CurrentUniverse != nullptr) CurrentUniverse->Draw();
}

}  // namespace

// The world rectangle always fills the viewport, whatever the window's
// proportions: x from -300 to 300, y from -240 to 240, seen from z = 50.
void SetupScene(int32_t width, int32_t height) {
  ShowWorldRegion(width, height, WorldHalfWidth, WorldHalfHeight);
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
  // Pixels per world unit: the smaller scale shows all of the rectangle.
  const double scale = std::min(width / (2.0 * WorldHalfWidth), height / (2.0 * WorldHalfHeight));
  ShowWorldRegion(width, height, width / (2.0 * scale), height / (2.0 * scale));
}

// The scene holds no textures, display lists or other OpenGL objects.
void CleanupScene() {}

void StepUniverse() {
  RenewUniverseIfTooOld(ReadClock());
  if (CurrentUniverse != nullptr) {
    CurrentUniverse->ApplyGravity();
    CurrentUniverse->ResolveCollisions();
  }
}

void DrawFrame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  StepUniverse();
  DrawCurrentUniverse();
  glFinish();
}

void RedrawPicture() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  DrawCurrentUniverse();
  glFinish();
}

bool RunCommandKey(uint32_t keyCode) {
  const CommandKey* key = FindCommandKey(keyCode);
  if (key == nullptr) return false;
  ReplaceUniverse(NewUniverseForKey(*key));
  return true;
}

Universe* NewRandomUniverse() { return new (std::nothrow) Universe(); }

Universe* NewUniverseWithCounts(int32_t stars, int32_t balls) {
  return new (std::nothrow) Universe(stars, balls);
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
