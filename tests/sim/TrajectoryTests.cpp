// Long runs must come out the same to the bit on every build: a fingerprint
// of every ball's position and velocity after each frame is pinned here, so
// a compiler or C library that rounds differently anywhere in the step
// (gravity, the bounce's atan2, asin, tan and pow) fails this test.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <gtest/gtest.h>

#include "config/SaverSettings.h"
#include "sim/Universe.h"
#include "tests/sim/TestClock.h"

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

Fingerprint RunUniverse(int32_t second, int32_t gravity, int32_t frames) {
  SaverSettings.GraviticForce = gravity;
  ClockAt at(second);
  Universe u(12, 15);
  Fingerprint print;
  for (int32_t frame = 0; frame < frames; ++frame) {
    u.ApplyGravity();
    Vec2 before[UniverseCapacity];
    for (int32_t i = 0; i < u.ballCount; ++i) before[i] = u.balls[i]->velocity;
    u.ResolveCollisions();
    for (int32_t i = 0; i < u.ballCount; ++i) {
      const Ball& b = *u.balls[i];
      print.Add(b.position.x);
      print.Add(b.position.y);
      print.Add(b.velocity.x);
      print.Add(b.velocity.y);
      print.bounces += b.velocity.x != before[i].x || b.velocity.y != before[i].y;
    }
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
    const Fingerprint print = RunUniverse(c.second, c.gravity, 6000);
    char text[64];
    std::snprintf(text, sizeof text, "0x%016llx", static_cast<unsigned long long>(print.hash));
    EXPECT_EQ(c.hash, print.hash) << "second " << c.second << " gives " << text;
    EXPECT_GT(print.bounces, 100) << "the bounce path must be exercised";
  }
}
