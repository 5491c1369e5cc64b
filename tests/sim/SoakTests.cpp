// A short soak: many random universes under random settings, extremes
// included, every frame finite.
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "config/SaverSettings.h"
#include "sim/Universe.h"
#include "tests/sim/TestClock.h"

namespace {

bool Finite(Vec2 v) { return std::isfinite(v.x) && std::isfinite(v.y); }

}  // namespace

TEST(Soak, TwentyThousandFramesStayFinite) {
  std::mt19937 pick(20240607u);
  std::uniform_int_distribution<int32_t> count(-5, 40);
  std::uniform_int_distribution<int32_t> gravity(0, 500);
  int64_t frames = 0, bounces = 0;
  for (int32_t universe = 0; universe < 100; ++universe) {
    SaverSettings.MinStars = count(pick);
    SaverSettings.MaxStars = count(pick);
    SaverSettings.MinBalls = count(pick);
    SaverSettings.MaxBalls = count(pick);
    SaverSettings.GraviticForce = gravity(pick);
    ClockAt at(1700000000 + universe * 61);
    Universe u;
    ASSERT_LE(u.starCount, UniverseCapacity);
    ASSERT_LE(u.ballCount, UniverseCapacity);
    for (int32_t frame = 0; frame < 200; ++frame, ++frames) {
      Vec2 before[UniverseCapacity];
      for (int32_t i = 0; i < u.ballCount; ++i) before[i] = u.balls[i]->velocity;
      u.ApplyGravity();
      for (int32_t i = 0; i < u.ballCount; ++i) before[i] = u.balls[i]->velocity;
      u.ResolveCollisions();
      for (int32_t i = 0; i < u.ballCount; ++i) {
        const Ball& b = *u.balls[i];
        ASSERT_TRUE(Finite(b.position) && Finite(b.velocity))
            << "universe " << universe << " frame " << frame << " ball " << i;
        bounces += b.velocity.x != before[i].x || b.velocity.y != before[i].y;
      }
    }
  }
  EXPECT_EQ(20000, frames);
  EXPECT_GT(bounces, 0);  // the collision path was exercised
}
