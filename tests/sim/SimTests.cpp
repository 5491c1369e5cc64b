// The simulation's tests, with counting stand-ins for OpenGL and allocation, and a pinned clock.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <gtest/gtest.h>

#include "bench/sim/CountingAllocator.h"
#include "config/SaverSettings.h"
#include "sim/Clock.h"
#include "sim/Physics.h"
#include "sim/Random.h"
#include "sim/Universe.h"

namespace {
int32_t PinnedSecond = 0;
int32_t PinnedClock() { return PinnedSecond; }
void PinClock(int32_t s) { PinnedSecond = s, ClockSource = PinnedClock; }
int32_t Colour(float r, float g, float b) { return static_cast<int32_t>(4 * r + 2 * g + b); }
std::string Prints(int32_t count, float angle, float radius, Vec2* out) {
  testing::internal::CaptureStdout();
  MakeCircleOutline(count, angle, radius, out);
  return testing::internal::GetCapturedStdout();
}
bool Same(Vec2 a, Vec2 b) { return a.x == b.x && a.y == b.y; }
int32_t Clamped(int32_t n) { return std::min(std::max(n, 0), UniverseCapacity); }
bool Whole(Vec2 p) { return p.x == std::ceil(p.x) && p.y == std::ceil(p.y); }
// Slots filled up to the counts; bodies whole-numbered, in their ranges, apart from the others.
bool WellFormed(const Universe& u) {
  bool ok = true;
  for (int32_t i = 0; i < UniverseCapacity; ++i) {
    ok &= (i < u.starCount) == (u.stars[i] != nullptr) &&
          (i < u.ballCount) == (u.balls[i] != nullptr);
    const Vec2 s = i < u.starCount ? u.stars[i]->position : Vec2();
    const Vec2 b = i < u.ballCount ? u.balls[i]->position : Vec2();
    const Vec2 v = i < u.ballCount ? u.balls[i]->velocity : Vec2();
    ok &= Whole(s) && std::fabs(s.x) <= 200 && std::fabs(s.y) <= 150 && Whole(b) &&
          std::fabs(b.x) <= 225 && b.y >= -275 && b.y <= 75 && std::fabs(v.x) <= 1 &&
          std::fabs(v.y) <= 1;
    for (int32_t k = 0; k < UniverseCapacity; ++k) {
      ok &= i >= u.starCount || k >= i || Distance(s, u.stars[k]->position) >= 30;
      ok &= i >= u.ballCount || k >= i || Distance(b, u.balls[k]->position) >= 24;
      ok &= i >= u.ballCount || k >= u.starCount || Distance(b, u.stars[k]->position) >= 27;
    }
  }
  return ok;
}
}  // namespace

TEST(Vec2, OutlineWorkedExampleDiagnosticAndDistance) {
  Vec2 out[16];
  out[15] = Vec2(1234.5f, -99.0f);
  EXPECT_EQ("", Prints(15, 6.2831855f, 15.0f, out));
  EXPECT_EQ("Error! Cannot use 0 to cover 6.28319 radians at radius 15.\n",
            Prints(0, 6.2831855f, 15.0f, out + 15));
  EXPECT_TRUE(Same(out[0], Vec2(-15.0f, 1.31134175e-06f)) &&
              Same(out[1], Vec2(-13.703182f, -6.1010485f)));
  EXPECT_TRUE(Same(out[15], Vec2(1234.5f, -99.0f))) << "nothing beyond the count, none for 0";
  EXPECT_EQ("Error! Cannot use 4 to cover 3 radians at radius -2.\n", Prints(4, 3.0f, -2.0f, out));
  EXPECT_FLOAT_EQ(2.0f, Distance(out[3], Vec2())) << "the points are still written";
  EXPECT_EQ(5.0f, Distance(Vec2(3.0f, 4.0f), Vec2()));
  EXPECT_EQ(1.41421358e20f, Distance(Vec2(1e20f, 0.0f), Vec2(0.0f, 1e20f)));  // in double: no inf
}

TEST(Random, SequenceFromASeedAndABallsColourSplitAt10813And21626) {
  SeedRandom(1);
  for (int32_t n : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358}) EXPECT_EQ(n, NextRandom());
  for (int32_t n = 0; n <= 32767; ++n) {  // one step back from n << 16: 0xB9B33155 * 214013 == 1
    RandomState = ((static_cast<uint32_t>(n) << 16) - 2531011u) * 0xB9B33155u;
    const Ball ball(0.0f, 0.0f);
    ASSERT_EQ(static_cast<uint32_t>(n) << 16, RandomState);
    ASSERT_EQ(n <= 10813 ? 4 : n <= 21626 ? 2 : 1, Colour(ball.red, ball.green, ball.blue)) << n;
  }
}

TEST(Universe, CountsClampedGivenOrDrawnAndBodiesPlacedByTheRules) {
  const int32_t counts[] = {INT32_MIN, -5, -1, 0, 1, 8, 15, 16, 40, INT32_MAX};
  for (int32_t a : counts) {
    for (int32_t b : counts) {  // a range given backwards draws between the two
      PinClock(a / 3 + b / 5);
      SaverSettings = {a, b, b, a, 80};
      const Universe given(a, b), drawn;
      const int32_t low = Clamped(std::min(a, b)), high = Clamped(std::max(a, b));
      EXPECT_TRUE(WellFormed(given) && given.starCount == Clamped(a) &&
                  given.ballCount == Clamped(b));
      EXPECT_TRUE(WellFormed(drawn) && std::min(drawn.starCount, drawn.ballCount) >= low &&
                  std::max(drawn.starCount, drawn.ballCount) <= high)
          << a << " " << b;
    }
  }
  // Counts of 1 to 10 round up: the seconds draw 0 and 38, 1 and 17443, 32767 and 15401.
  const struct { int32_t second, stars, balls; } rounding[] = {
      {59255510, 1, 2}, {-1446958378, 2, 6}, {-582014250, 10, 6}};
  SaverSettings = {1, 10, 1, 10, 80};
  for (const auto& r : rounding) {
    PinClock(r.second);
    const Universe u;
    EXPECT_TRUE(u.starCount == r.stars && u.ballCount == r.balls) << r.second;
  }
}

TEST(Universe, PlacementAttemptLimitEndsAPlacementAndShortensItsKind) {
  PlacementAttemptLimit = 0;
  EXPECT_EQ(0, Universe(5, 5).starCount + Universe(5, 5).ballCount);
  PlacementAttemptLimit = 1;  // the first rejected candidate ends that kind: from second 1 the
  PinClock(1);  // 7th star's, (6, -58), is 19.8 from (-8, -44); the 8th ball's 5.4 from a star
  const Universe u(15, 15);
  EXPECT_TRUE(WellFormed(u) && u.starCount == 6 && u.ballCount == 7);
  PlacementAttemptLimit = 10000;
}

TEST(Step, WorkedBouncesAndPullsAndTheirContactBoundaries) {
  enum Kind { OffStar, OffBall, Pulled };  // by a star at the origin, or a ball there
  // w: velocities after; q2: where a pulled ball moved
  const struct { Kind kind; Vec2 v1, p2, v2, w1, w2, q2; } cases[] = {
      {OffStar, {}, {0, 20}, {0.5f, -1}, {}, {0.234868407f, 1.09308589f}},
      {OffStar, {}, {26.999998f, 0.009f}, {-1, 0}, {}, {-1, 0}},  // r rounds to 27: no bounce
      {OffStar, {}, {26.999998f, 0}, {-1, 0}, {}, {1, 0}},
      {OffBall, {1, 0}, {20, 10}, {}, {0.173611104f, -0.378774703f}, {0.826388896f, 0.378774703f}},
      {OffBall, {1, 0}, {23.999998f, 0.009f}, {-1, 0}, {1, 0}, {-1, 0}},  // r rounds to 24
      {OffBall, {1, 0}, {23.999998f, 0}, {-1, 0}, {-1, 0}, {1, 0}},
      {Pulled, {}, {100, 0}, {}, {}, {-0.006f, 0}, {99.994f, 0}},  // with a force of 60
      {Pulled, {}, {27, 0}, {}, {}, {}, {27, 0}},                  // touching: no pull
      {Pulled, {}, {0, -27.000002f}, {}, {}, {0, 0.0823045149f}, {0, -26.9176979f}},
      {Pulled, {}, {-26.9f, 0}, {0.1f, 0}, {}, {0.1f, 0}, {-26.8f, 0}},  // inside: no pull
  };
  SaverSettings.GraviticForce = 60;
  PinClock(0);
  for (const auto& c : cases) {
    Universe u(c.kind != OffBall, c.kind == OffBall ? 2 : 1);  // then moved into place
    Ball& b = *u.balls[u.ballCount - 1];
    b.position = c.p2, b.velocity = c.v2;
    (c.kind == OffBall ? u.balls[0]->position : u.stars[0]->position) = Vec2();
    u.balls[0]->velocity = c.kind == OffBall ? c.v1 : c.v2;
    c.kind == Pulled ? u.ApplyGravity() : u.ResolveCollisions();
    EXPECT_TRUE(Same(c.kind == OffBall ? u.balls[0]->velocity : Vec2(), c.w1) &&
                Same(b.velocity, c.w2) && Same(b.position, c.kind == Pulled ? c.q2 : c.p2))
        << c.kind << " " << c.p2.x << "," << c.p2.y;
  }
}

TEST(Collisions, ArcsineArgumentPastEitherEndIsClamped) {
  // Centres one float beyond contact, passing to either side: +-1.00000007.
  for (float side : {-1.0f, 1.0f}) {
    Vec2 star, ball(side, 0.0f);
    CollideBodies(0.0f, 15.0f, 12.0f, Vec2(3.0f, -4.0f), Vec2(3.0f, 23.000002f), star, ball);
    EXPECT_TRUE(Same(star, Vec2()) && Same(ball, Vec2(side, -8.74227837e-08f))) << side;
  }
}

TEST(Trajectory, SixThousandFramesToTheBitDrawnWithoutAllocating) {
  SaverSettings.GraviticForce = 80;
  PinClock(1700000061);
  const long long before = AllocationCount;
  Universe u(12, 15);
  EXPECT_EQ(27, AllocationCount - before) << "one per body: the count works";
  uint64_t hash = 14695981039346656037ull;  // FNV-1a of every ball after each frame
  for (int32_t frame = 0; frame < 6000; ++frame) {
    u.ApplyGravity();
    u.ResolveCollisions();
    u.Draw();
    for (int32_t i = 0; i < u.ballCount; ++i) {
      const auto* bytes = reinterpret_cast<const unsigned char*>(u.balls[i]);  // position, velocity
      for (int32_t k = 0; k < 16; ++k) hash = (hash ^ bytes[k]) * 1099511628211ull;
    }
  }
  EXPECT_EQ(27, AllocationCount - before) << "none in the frames";
  EXPECT_EQ(6000 * 27 * OutlinePointCount, DrawnVertices) << "each body's whole outline, each frame";
  // Native x86-64's trajectory: every other build must reach it to the bit.
  EXPECT_EQ(0xae0cce087523047aull, hash) << std::hex << hash;
}

// From 64 bits (fninit, or a driver) each entry sets 53: 1 + (2^-53 + 2^-78) rounds up, as SSE2's.
TEST(Precision, EachEntryLeavesDoublesRoundedAsTheOtherBuildsRoundThem) {
  Universe u(1, 2);
  void (*const entries[])(Universe&) = {
      [](Universe&) { Universe(); }, [](Universe&) { Universe(2, 2); },
      [](Universe& w) { w.ApplyGravity(); }, [](Universe& w) { w.ResolveCollisions(); }};
  for (auto& entry : entries) {
#if defined(__i386__) && !defined(__SSE2_MATH__)
    const unsigned short extended = 0x37f;
    asm volatile("fldcw %0" : : "m"(extended));
#endif
    entry(u);
    volatile double one = 1.0, tiny = 0x1.0000008p-53;
    EXPECT_EQ(0x1.0000000000001p0, one + tiny) << &entry - entries;
  }
}
