// Long runs: every frame finite under any settings, and the same to the bit
// on every build. A fingerprint of every ball's position and velocity after
// each frame is pinned, so a compiler or C library that rounds differently
// anywhere in the step (gravity, the bounce's atan2, asin, tan and pow) fails.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "config/SaverSettings.h"
#include "sim/Universe.h"
#include "tests/sim/UniverseHelpers.h"

namespace {

struct Fingerprint {
  uint64_t hash = 14695981039346656037ull;  // FNV-1a
  int64_t bounces = 0;
  void Add(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 4; ++i) {
      hash ^= (bits >> (8 * i)) & 0xFFu;
      hash *= 1099511628211ull;
    }
  }
};

// Runs the frames, fingerprinting each ball after each frame; the count of
// finite frames ends at the first ball that is not.
Fingerprint RunFrames(Universe& u, int32_t frames, int32_t* finiteFrames) {
  Fingerprint print;
  *finiteFrames = 0;
  for (int32_t frame = 0; frame < frames; ++frame) {
    u.ApplyGravity();
    Vec2 before[UniverseCapacity];
    for (int32_t i = 0; i < u.ballCount; ++i) before[i] = u.balls[i]->velocity;
    u.ResolveCollisions();
    for (int32_t i = 0; i < u.ballCount; ++i) {
      const Ball& b = *u.balls[i];
      const float values[4] = {b.position.x, b.position.y, b.velocity.x, b.velocity.y};
      for (float value : values) {
        if (!std::isfinite(value)) return print;
        print.Add(value);
      }
      print.bounces += b.velocity.x != before[i].x || b.velocity.y != before[i].y;
    }
    ++*finiteFrames;
  }
  return print;
}

}  // namespace

TEST(Trajectory, SixThousandFramesAreTheSameToTheBit) {
  struct Case {
    int32_t second;
    int32_t gravity;
    uint64_t hash;
  };
  const Case cases[] = {
      {1700000000, 40, 0x4fb26fabd449054aull},
      {1700000061, 80, 0xae0cce087523047aull},
      {1700000122, 120, 0x1ae8e4a3ec1a3707ull},
  };
  for (const Case& c : cases) {
    SaverSettings.GraviticForce = c.gravity;
    ClockAt at(c.second);
    Universe u(12, 15);
    int32_t finite = 0;
    const Fingerprint print = RunFrames(u, 6000, &finite);
    char text[64];
    std::snprintf(text, sizeof text, "0x%016llx", static_cast<unsigned long long>(print.hash));
    EXPECT_EQ(c.hash, print.hash) << "second " << c.second << " gives " << text;
    EXPECT_GT(print.bounces, 100) << "the bounce path must be exercised";
  }
}

TEST(Soak, TwentyThousandFramesUnderRandomSettingsStayFinite) {
  std::mt19937 pick(20240607u);
  std::uniform_int_distribution<int32_t> count(-5, 40), gravity(0, 500);
  int64_t bounces = 0;
  for (int32_t universe = 0; universe < 100; ++universe) {
    SaverSettings = {count(pick), count(pick), count(pick), count(pick), gravity(pick)};
    ClockAt at(1700000000 + universe * 61);
    Universe u;
    int32_t finite = 0;
    bounces += RunFrames(u, 200, &finite).bounces;
    ASSERT_EQ(200, finite) << "universe " << universe;
  }
  EXPECT_GT(bounces, 0);  // the collision path was exercised
}
