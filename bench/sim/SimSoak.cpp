// Runs the physics step for a million frames or more over many random
// universes and settings, extremes included, and checks that every ball
// position and velocity stays finite. Prints its figures, a hash of every
// ball after every frame and the hash of the simulation tests' worked
// trajectory, which the native, Windows and WebAssembly builds must print
// alike; exits 1 on any non-finite value.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "config/SaverSettings.h"
#include "sim/Clock.h"
#include "sim/Random.h"
#include "sim/Universe.h"

namespace {

int32_t SoakClockValue = 0;
int32_t SoakClock() { return SoakClockValue; }

bool Finite(Vec2 v) { return std::isfinite(v.x) && std::isfinite(v.y); }

// The settings are drawn by the project's own generator, on a stream apart
// from the one each universe seeds anew: the standard library's
// distributions differ between libstdc++ and libc++.
uint32_t PickState = 12345u;
int32_t Pick(int32_t lowest, int32_t highest) {
  RandomState = PickState;
  const int32_t n = NextRandom();
  PickState = RandomState;
  return lowest + n % (highest - lowest + 1);
}

const uint64_t FnvStart = 14695981039346656037ull;

// FNV-1a over a ball's position and velocity.
uint64_t HashBall(uint64_t hash, const Ball& ball) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&ball);
  for (int32_t k = 0; k < 16; ++k) hash = (hash ^ bytes[k]) * 1099511628211ull;
  return hash;
}

// The simulation tests' worked trajectory: 12 stars and 15 balls at gravity
// 80 from the clock's 1700000061, 6000 frames.
uint64_t WorkedTrajectory() {
  SaverSettings.GraviticForce = 80;
  SoakClockValue = 1700000061;
  Universe u(12, 15);
  uint64_t hash = FnvStart;
  for (int32_t frame = 0; frame < 6000; ++frame) {
    u.ApplyGravity();
    u.ResolveCollisions();
    for (int32_t i = 0; i < u.ballCount; ++i) hash = HashBall(hash, *u.balls[i]);
  }
  return hash;
}

}  // namespace

int main(int argc, char** argv) {
  const long universes = argc > 1 ? std::atol(argv[1]) : 2000;
  const long framesEach = argc > 2 ? std::atol(argv[2]) : 600;
  ClockSource = SoakClock;
  const uint64_t worked = WorkedTrajectory();

  long long frames = 0, ballFrames = 0, bounceFrames = 0, nonFinite = 0;
  long long starsTotal = 0, ballsTotal = 0, emptyUniverses = 0;
  uint64_t trajectory = FnvStart;
  int32_t fewestStars = 99, mostStars = -1, fewestBalls = 99, mostBalls = -1;
  double fastest = 0.0, farthest = 0.0;
  const auto began = std::chrono::steady_clock::now();

  for (long n = 0; n < universes; ++n) {
    // Every tenth universe takes a corner of the settings space outright.
    if (n % 10 == 0) {
      const int32_t corner = static_cast<int32_t>(n / 10 % 4);
      SaverSettings.MinStars = corner & 1 ? 40 : -5;
      SaverSettings.MaxStars = corner & 1 ? 40 : -5;
      SaverSettings.MinBalls = corner & 2 ? 40 : -5;
      SaverSettings.MaxBalls = corner & 2 ? 40 : 40;
      SaverSettings.GraviticForce = corner & 1 ? 500 : 0;
    } else {
      SaverSettings.MinStars = Pick(-5, 40);
      SaverSettings.MaxStars = Pick(-5, 40);
      SaverSettings.MinBalls = Pick(-5, 40);
      SaverSettings.MaxBalls = Pick(-5, 40);
      SaverSettings.GraviticForce = Pick(0, 500);
    }
    SoakClockValue = 1700000000 + static_cast<int32_t>(n) * 17;
    Universe* u = new (std::nothrow) Universe();
    if (u == nullptr) {
      std::printf("out of memory building universe %ld\n", n);
      return 1;
    }
    starsTotal += u->starCount;
    ballsTotal += u->ballCount;
    emptyUniverses += u->ballCount == 0;
    if (u->starCount < fewestStars) fewestStars = u->starCount;
    if (u->starCount > mostStars) mostStars = u->starCount;
    if (u->ballCount < fewestBalls) fewestBalls = u->ballCount;
    if (u->ballCount > mostBalls) mostBalls = u->ballCount;

    for (long f = 0; f < framesEach; ++f, ++frames) {
      u->ApplyGravity();
      Vec2 before[UniverseCapacity];
      for (int32_t i = 0; i < u->ballCount; ++i) before[i] = u->balls[i]->velocity;
      u->ResolveCollisions();
      for (int32_t i = 0; i < u->ballCount; ++i, ++ballFrames) {
        const Ball& b = *u->balls[i];
        trajectory = HashBall(trajectory, b);
        if (!Finite(b.position) || !Finite(b.velocity)) {
          if (nonFinite++ < 10) {
            std::printf("non-finite: universe %ld frame %ld ball %d\n", n, f, i);
          }
          continue;
        }
        if (b.velocity.x != before[i].x || b.velocity.y != before[i].y) ++bounceFrames;
        const double speed = std::hypot(b.velocity.x, b.velocity.y);
        const double reach = std::hypot(b.position.x, b.position.y);
        if (speed > fastest) fastest = speed;
        if (reach > farthest) farthest = reach;
      }
    }
    delete u;
  }

  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  std::printf("universes           %ld\n", universes);
  std::printf("frames              %lld\n", frames);
  std::printf("ball-frames checked %lld\n", ballFrames);
  std::printf("stars per universe  %d..%d (mean %.2f)\n", fewestStars, mostStars,
              static_cast<double>(starsTotal) / universes);
  std::printf("balls per universe  %d..%d (mean %.2f, %lld without balls)\n", fewestBalls,
              mostBalls, static_cast<double>(ballsTotal) / universes, emptyUniverses);
  std::printf("ball-frames bounced %lld\n", bounceFrames);
  std::printf("fastest ball        %.3f units/frame\n", fastest);
  std::printf("farthest ball       %.1f units from the centre\n", farthest);
  std::printf("non-finite values   %lld\n", nonFinite);
  std::printf("trajectory hash     %016llx\n", static_cast<unsigned long long>(trajectory));
  std::printf("worked trajectory   %016llx\n", static_cast<unsigned long long>(worked));
  std::printf("time                %.2f s (%.0f ns/frame)\n", seconds,
              seconds * 1e9 / static_cast<double>(frames));
  return nonFinite == 0 ? 0 : 1;
}
