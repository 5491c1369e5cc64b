// Random generator, clock, and the construction and drawing of universes.
#include <climits>
#include <cmath>
#include <ctime>
#include <vector>

#include <gtest/gtest.h>

#include "config/SaverSettings.h"
#include "sim/CircleOutline.h"
#include "sim/Clock.h"
#include "sim/Random.h"
#include "sim/Universe.h"
#include "tests/sim/RecordingGL.h"
#include "tests/sim/TestClock.h"
#include "tests/sim/UniverseHelpers.h"

namespace {

void SetCounts(int32_t minStars, int32_t maxStars, int32_t minBalls, int32_t maxBalls) {
  SaverSettings.MinStars = minStars;
  SaverSettings.MaxStars = maxStars;
  SaverSettings.MinBalls = minBalls;
  SaverSettings.MaxBalls = maxBalls;
}

bool IsWhole(float v) { return v == std::floor(v); }

// Every placement rule of a new universe, and slots filled exactly up to the counts.
void ExpectWellFormed(const Universe& u) {
  ASSERT_GE(u.starCount, 0);
  ASSERT_LE(u.starCount, UniverseCapacity);
  ASSERT_GE(u.ballCount, 0);
  ASSERT_LE(u.ballCount, UniverseCapacity);
  for (int32_t i = 0; i < UniverseCapacity; ++i) {
    ASSERT_EQ(i < u.starCount, u.stars[i] != nullptr) << "star slot " << i;
    ASSERT_EQ(i < u.ballCount, u.balls[i] != nullptr) << "ball slot " << i;
  }
  for (int32_t i = 0; i < u.starCount; ++i) {
    const Vec2 p = u.stars[i]->position;
    ASSERT_TRUE(IsWhole(p.x) && IsWhole(p.y)) << i;
    ASSERT_GE(p.x, -200.0f);
    ASSERT_LE(p.x, 200.0f);
    ASSERT_GE(p.y, -150.0f);
    ASSERT_LE(p.y, 150.0f);
    for (int32_t k = 0; k < i; ++k) {
      ASSERT_GE(Distance(p, u.stars[k]->position), 30.0f) << i << " " << k;
    }
  }
  for (int32_t i = 0; i < u.ballCount; ++i) {
    const Ball& b = *u.balls[i];
    ASSERT_TRUE(IsWhole(b.position.x) && IsWhole(b.position.y)) << i;
    ASSERT_GE(b.position.x, -225.0f);
    ASSERT_LE(b.position.x, 225.0f);
    ASSERT_GE(b.position.y, -275.0f);
    ASSERT_LE(b.position.y, 75.0f);
    ASSERT_GE(b.velocity.x, -1.0f);
    ASSERT_LE(b.velocity.x, 1.0f);
    ASSERT_GE(b.velocity.y, -1.0f);
    ASSERT_LE(b.velocity.y, 1.0f);
    ASSERT_EQ(1.0f, b.red + b.green + b.blue);
    for (int32_t k = 0; k < u.starCount; ++k) {
      ASSERT_GE(Distance(b.position, u.stars[k]->position), 27.0f) << i << " " << k;
    }
    for (int32_t k = 0; k < i; ++k) {
      ASSERT_GE(Distance(b.position, u.balls[k]->position), 24.0f) << i << " " << k;
    }
  }
}

// The candidate the next two draws will offer, without consuming them.
Vec2 NextStarCandidate() {
  const uint32_t saved = RandomState;
  const double fx = NextRandom() / 32767.0, fy = NextRandom() / 32767.0;
  RandomState = saved;
  return Vec2(static_cast<float>(std::ceil(fx * 400.0 - 200.0)),
              static_cast<float>(std::ceil(fy * 300.0 - 150.0)));
}

Vec2 NextBallCandidate() {
  const uint32_t saved = RandomState;
  const double fx = NextRandom() / 32767.0, fy = NextRandom() / 32767.0;
  RandomState = saved;
  return Vec2(static_cast<float>(std::ceil(fx * 450.0 - 225.0)),
              static_cast<float>(std::ceil(fy * 350.0 - 275.0)));
}

int32_t CountingClockValue = 0;
int32_t CountingClock() { return CountingClockValue++; }

}  // namespace

TEST(Random, MatchesTheClassicSequence) {
  SeedRandom(1);
  EXPECT_EQ(1u, RandomState);
  const int32_t expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
  for (int32_t n : expected) EXPECT_EQ(n, NextRandom());
  // The state is the full 32-bit value: seed 0 steps to 2531011.
  SeedRandom(0);
  NextRandom();
  EXPECT_EQ(2531011u, RandomState);
  EXPECT_EQ(38, (2531011u >> 16) & 0x7FFF);
  // Bit 31 of the state never shows.
  RandomState = 0xFFFFFFFFu;
  const int32_t n = NextRandom();
  EXPECT_GE(n, 0);
  EXPECT_LE(n, 32767);
}

TEST(Clock, SystemClockByDefaultAndReplaceable) {
  EXPECT_EQ(ClockSource, &SystemClock);
  const int32_t before = static_cast<int32_t>(std::time(nullptr));
  const int32_t now = ReadClock();
  const int32_t after = static_cast<int32_t>(std::time(nullptr));
  EXPECT_GE(now, before);
  EXPECT_LE(now, after);
  {
    ClockAt at(123456);
    EXPECT_EQ(123456, ReadClock());
  }
  EXPECT_EQ(ClockSource, &SystemClock);
}

TEST(Universe, StampedByFirstReadAndSeededBySecond) {
  CountingClockValue = 1000;
  ClockSource = CountingClock;
  const Universe counted(4, 6);
  ClockSource = SystemClock;
  EXPECT_EQ(1000, counted.creationTime);
  EXPECT_EQ(1002, CountingClockValue);  // exactly two reads

  ClockAt at(1001);
  const Universe fixed(4, 6);
  EXPECT_EQ(1001, fixed.creationTime);
  EXPECT_TRUE(SameUniverse(counted, fixed));
}

TEST(Universe, GivenCountsDrawInTheStatedOrder) {
  // Clock 62 seeds the sequence 241 (discarded), 18760 14704 (star at
  // (30, -15)), 19802 25766 (ball candidate (47, 1), 23.3 from the star:
  // rejected), 25878 4729 (ball at (131, -224)), 14634 (green),
  // 18361 9880 (velocity).
  ClockAt at(62);
  const Universe u(1, 1);
  ASSERT_EQ(1, u.starCount);
  ASSERT_EQ(1, u.ballCount);
  EXPECT_EQ(62, u.creationTime);
  EXPECT_EQ(30.0f, u.stars[0]->position.x);
  EXPECT_EQ(-15.0f, u.stars[0]->position.y);
  const Ball& ball = *u.balls[0];
  EXPECT_EQ(131.0f, ball.position.x);
  EXPECT_EQ(-224.0f, ball.position.y);
  EXPECT_EQ(0.0f, ball.red);
  EXPECT_EQ(1.0f, ball.green);
  EXPECT_EQ(0.120700702f, ball.velocity.x);   // 2 * 18361 / 32767 - 1
  EXPECT_EQ(-0.396954238f, ball.velocity.y);  // 2 * 9880 / 32767 - 1
  // Nothing else was drawn: the next number follows 9880.
  SeedRandom(62);
  for (int i = 0; i < 10; ++i) NextRandom();
  const uint32_t expectedState = RandomState;
  ClockAt again(62);
  const Universe same(1, 1);
  EXPECT_EQ(expectedState, RandomState);
}

TEST(Universe, RandomCountsDrawTwoNumbersBeforePlacing) {
  // Same clock as above: the two count draws (18760, 14704) come first, so
  // the star takes 19802 25766 -> (42, 86), and the ball the same numbers
  // as before.
  SetCounts(1, 1, 1, 1);
  ClockAt at(62);
  const Universe u;
  ASSERT_EQ(1, u.starCount);
  ASSERT_EQ(1, u.ballCount);
  EXPECT_EQ(42.0f, u.stars[0]->position.x);
  EXPECT_EQ(86.0f, u.stars[0]->position.y);
  EXPECT_EQ(131.0f, u.balls[0]->position.x);
  EXPECT_EQ(-224.0f, u.balls[0]->position.y);
  EXPECT_EQ(1.0f, u.balls[0]->green);
  EXPECT_EQ(0.120700702f, u.balls[0]->velocity.x);
}

TEST(Universe, CountDrawRoundsUp) {
  SetCounts(1, 10, 1, 10);
  {
    ClockAt at(59255510);  // draws 8560, then 0 for the stars, 38 for the balls
    const Universe u;
    EXPECT_EQ(1, u.starCount);
    EXPECT_EQ(2, u.ballCount);  // ceil(9 * 38 / 32767) + 1
  }
  {
    ClockAt at(695095975);  // draws 18885, then 0 and 0
    const Universe u;
    EXPECT_EQ(1, u.starCount);
    EXPECT_EQ(1, u.ballCount);
  }
  {
    ClockAt at(-1446958378);  // draws 21189, then 1: just above zero
    const Universe u;
    EXPECT_EQ(2, u.starCount);
  }
  {
    ClockAt at(-582014250);  // draws 28699, then 32767
    const Universe u;
    EXPECT_EQ(10, u.starCount);
  }
}

TEST(Universe, EqualMinAndMaxGiveThatCount) {
  SetCounts(5, 5, 7, 7);
  for (int32_t second = 0; second < 50; ++second) {
    ClockAt at(second * 7919);
    const Universe u;
    EXPECT_EQ(5, u.starCount);
    EXPECT_EQ(7, u.ballCount);
  }
}

TEST(Universe, CountsAreClampedToCapacity) {
  for (int32_t count = -5; count <= 40; ++count) {
    SCOPED_TRACE(count);
    const int32_t expected = count < 0 ? 0 : (count > 15 ? 15 : count);
    ClockAt at(count + 5000);
    const Universe given(count, count);
    EXPECT_EQ(expected, given.starCount);
    EXPECT_EQ(expected, given.ballCount);
    ExpectWellFormed(given);

    SetCounts(count, count, count, count);
    const Universe drawn;
    EXPECT_EQ(expected, drawn.starCount);
    EXPECT_EQ(expected, drawn.ballCount);
    ExpectWellFormed(drawn);
  }
}

TEST(Universe, ExtremeAndReversedSettingsStayInRange) {
  const int32_t values[] = {INT_MIN, -40, -5, 0, 1, 3, 8, 12, 15, 16, 40, INT_MAX};
  int32_t second = 0;
  for (int32_t min : values) {
    for (int32_t max : values) {
      SetCounts(min, max, max, min);
      ClockAt at(++second);
      const Universe u;
      ExpectWellFormed(u);
    }
  }
  // Reversed ranges draw between the two: ceil of a negative span.
  SetCounts(8, 3, 8, 3);
  for (int32_t s = 0; s < 100; ++s) {
    ClockAt at(s);
    const Universe u;
    EXPECT_GE(u.starCount, 3);
    EXPECT_LE(u.starCount, 8);
  }
}

TEST(Universe, PlacementInvariantsOverManySeconds) {
  SetCounts(1, 15, 1, 15);
  int32_t sawFull = 0;
  for (int32_t second = 0; second < 1500; ++second) {
    ClockAt at(1700000000 + second * 13);
    const Universe drawn;
    ASSERT_NO_FATAL_FAILURE(ExpectWellFormed(drawn));
    ASSERT_GE(drawn.starCount, 1);
    ASSERT_GE(drawn.ballCount, 1);
    const Universe full(15, 15);
    ASSERT_NO_FATAL_FAILURE(ExpectWellFormed(full));
    ASSERT_EQ(15, full.starCount);
    ASSERT_EQ(15, full.ballCount);
    sawFull += drawn.starCount == 15;
  }
  EXPECT_GT(sawFull, 0);
}

TEST(Universe, SameSecondSameUniverseOtherSecondsDiffer) {
  SetCounts(3, 12, 3, 12);
  for (int32_t second = 1000; second < 1020; ++second) {
    ClockAt at(second);
    const Universe a;
    const Universe b;
    EXPECT_TRUE(SameUniverse(a, b)) << second;
    ClockAt next(second + 1);
    const Universe c;
    EXPECT_FALSE(SameUniverse(a, c)) << second;
    const Universe d(6, 6);
    const Universe e(6, 6);
    EXPECT_TRUE(SameUniverse(d, e));
  }
}

TEST(Universe, NoStarsPlacesBallsAgainstEachOther) {
  ClockAt at(31337);
  const Universe u(0, 3);
  EXPECT_EQ(0, u.starCount);
  ASSERT_EQ(3, u.ballCount);
  for (const Star* star : u.stars) EXPECT_EQ(nullptr, star);
  ExpectWellFormed(u);
}

TEST(Universe, StarAtExactly30IsAcceptedCloserIsNot) {
  ClockAt at(4242);
  Universe u(1, 0);
  SeedRandom(9001);
  const Vec2 first = NextStarCandidate();
  // An 18-24-30 triangle: exactly 30 apart.
  u.stars[0]->position = Vec2(first.x + 18.0f, first.y + 24.0f);
  ASSERT_EQ(30.0f, Distance(first, u.stars[0]->position));
  ASSERT_TRUE(u.PlaceStar(1));
  EXPECT_EQ(first.x, u.stars[1]->position.x);
  EXPECT_EQ(first.y, u.stars[1]->position.y);

  SeedRandom(9001);
  u.stars[0]->position = Vec2(first.x + 18.0f, first.y + 23.5f);
  ASSERT_TRUE(u.PlaceStar(1));
  EXPECT_FALSE(first.x == u.stars[1]->position.x && first.y == u.stars[1]->position.y);
  EXPECT_GE(Distance(u.stars[1]->position, u.stars[0]->position), 30.0f);
}

TEST(Universe, BallAtExactly27FromStarAnd24FromBallIsAccepted) {
  ClockAt at(777);
  Universe u(1, 1);
  SeedRandom(5150);
  const Vec2 first = NextBallCandidate();
  u.balls[0]->position = Vec2(first.x, first.y - 24.0f);
  u.stars[0]->position = Vec2(first.x + 27.0f, first.y);
  ASSERT_TRUE(u.PlaceBall(1));
  EXPECT_EQ(first.x, u.balls[1]->position.x);
  EXPECT_EQ(first.y, u.balls[1]->position.y);

  // A hair closer to the star: rejected.
  SeedRandom(5150);
  u.stars[0]->position = Vec2(first.x + 26.99f, first.y);
  ASSERT_TRUE(u.PlaceBall(1));
  EXPECT_FALSE(first.x == u.balls[1]->position.x && first.y == u.balls[1]->position.y);

  // A hair closer to the other ball: rejected.
  SeedRandom(5150);
  u.stars[0]->position = Vec2(first.x + 27.0f, first.y);
  u.balls[0]->position = Vec2(first.x, first.y - 23.99f);
  ASSERT_TRUE(u.PlaceBall(1));
  EXPECT_FALSE(first.x == u.balls[1]->position.x && first.y == u.balls[1]->position.y);
}

TEST(Universe, PlacementGivesUpAndLeavesBodiesOut) {
  const int32_t saved = PlacementAttemptLimit;
  PlacementAttemptLimit = 0;
  {
    ClockAt at(99);
    const Universe u(5, 5);
    EXPECT_EQ(0, u.starCount);
    EXPECT_EQ(0, u.ballCount);
    ExpectWellFormed(u);
  }
  // With a single attempt per body the first collision ends that kind:
  // whatever the counts, the slots stay contiguous.
  PlacementAttemptLimit = 1;
  int32_t shortened = 0;
  for (int32_t second = 0; second < 300; ++second) {
    ClockAt at(second);
    const Universe u(15, 15);
    ASSERT_NO_FATAL_FAILURE(ExpectWellFormed(u));
    shortened += u.starCount < 15 || u.ballCount < 15;
  }
  EXPECT_GT(shortened, 0);
  PlacementAttemptLimit = saved;
}

TEST(Universe, PlaceRejectsSlotsOutsideCapacity) {
  ClockAt at(5);
  Universe u(0, 0);
  EXPECT_FALSE(u.PlaceStar(-1));
  EXPECT_FALSE(u.PlaceStar(15));
  EXPECT_FALSE(u.PlaceBall(-1));
  EXPECT_FALSE(u.PlaceBall(15));
  EXPECT_TRUE(u.PlaceStar(14));
  EXPECT_NE(nullptr, u.stars[14]);
}

TEST(Universe, PopulateAgainReplacesTheBodies) {
  ClockAt at(2024);
  Universe u(6, 9);
  u.Populate(2, 40);
  EXPECT_EQ(2, u.starCount);
  EXPECT_EQ(15, u.ballCount);
  ExpectWellFormed(u);
}

TEST(Universe, DrawsBallsThenStars) {
  ClockAt at(0);
  Universe u(0, 0);
  AddStar(u, 5.0f, -7.0f);
  AddStar(u, -100.0f, 50.0f);
  SeedRandom(1);  // colours: 41 red, 18467 green, 6334 red
  AddBall(u, 1.0f, 2.0f, 0.0f, 0.0f);
  AddBall(u, 3.0f, 4.0f, 0.0f, 0.0f);
  AddBall(u, -5.5f, 6.25f, 0.0f, 0.0f);

  Vec2 starOutline[15], ballOutline[15];
  MakeCircleOutline(15, 6.2831855f, 15.0f, starOutline);
  MakeCircleOutline(15, 6.2831855f, 12.0f, ballOutline);
  struct Body {
    GLCall colour;
    Vec2 position;
    const Vec2* outline;
  };
  const Body order[] = {
      {ColorCall(1, 0, 0), Vec2(1.0f, 2.0f), ballOutline},
      {ColorCall(0, 1, 0), Vec2(3.0f, 4.0f), ballOutline},
      {ColorCall(1, 0, 0), Vec2(-5.5f, 6.25f), ballOutline},
      {ColorCall(1, 1, 1), Vec2(5.0f, -7.0f), starOutline},
      {ColorCall(1, 1, 1), Vec2(-100.0f, 50.0f), starOutline},
  };
  std::vector<GLCall> expected;
  for (const Body& body : order) {
    expected.push_back(body.colour);
    expected.push_back(PushCall());
    expected.push_back(TranslateCall(body.position.x, body.position.y, 0.0f));
    expected.push_back(BeginCall(9));
    for (int i = 0; i < 15; ++i)
      expected.push_back(VertexCall(body.outline[i].x, body.outline[i].y));
    expected.push_back(EndCall());
    expected.push_back(PopCall());
  }
  ClearRecordedGL();
  u.Draw();
  EXPECT_EQ(expected, RecordedGL) << "expected:\n"
                                  << Describe(expected) << "recorded:\n"
                                  << Describe(RecordedGL);
}
