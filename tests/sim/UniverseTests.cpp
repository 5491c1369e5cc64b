// Universes: counts, the order of random draws, placement rules, drawing.
#include <climits>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "config/SaverSettings.h"
#include "sim/CircleOutline.h"
#include "sim/Clock.h"
#include "sim/Random.h"
#include "tests/sim/RecordingGL.h"
#include "tests/sim/UniverseHelpers.h"

namespace {

void SetCounts(int32_t minStars, int32_t maxStars, int32_t minBalls, int32_t maxBalls) {
  SaverSettings.MinStars = minStars;
  SaverSettings.MaxStars = maxStars;
  SaverSettings.MinBalls = minBalls;
  SaverSettings.MaxBalls = maxBalls;
}

bool IsWhole(Vec2 p) { return p.x == std::floor(p.x) && p.y == std::floor(p.y); }

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
    ASSERT_TRUE(IsWhole(p) && std::fabs(p.x) <= 200.0f && std::fabs(p.y) <= 150.0f) << i;
    for (int32_t k = 0; k < i; ++k) ASSERT_GE(Distance(p, u.stars[k]->position), 30.0f) << i;
  }
  for (int32_t i = 0; i < u.ballCount; ++i) {
    const Ball& b = *u.balls[i];
    ASSERT_TRUE(IsWhole(b.position) && std::fabs(b.position.x) <= 225.0f &&
                b.position.y >= -275.0f && b.position.y <= 75.0f)
        << i;
    ASSERT_TRUE(std::fabs(b.velocity.x) <= 1.0f && std::fabs(b.velocity.y) <= 1.0f) << i;
    ASSERT_EQ(1.0f, b.red + b.green + b.blue);
    for (int32_t k = 0; k < u.starCount; ++k)
      ASSERT_GE(Distance(b.position, u.stars[k]->position), 27.0f) << i;
    for (int32_t k = 0; k < i; ++k) ASSERT_GE(Distance(b.position, u.balls[k]->position), 24.0f);
  }
}

// The candidate the next two draws will offer, without consuming them.
Vec2 NextCandidate(double width, double left, double height, double bottom) {
  const uint32_t saved = RandomState;
  const double fx = NextRandom() / 32767.0, fy = NextRandom() / 32767.0;
  RandomState = saved;
  return Vec2(static_cast<float>(std::ceil(fx * width + left)),
              static_cast<float>(std::ceil(fy * height + bottom)));
}

int32_t CountingClockValue = 0;
int32_t CountingClock() { return CountingClockValue++; }

}  // namespace

TEST(Universe, StampedByFirstClockReadSeededBySecondAndReproducible) {
  CountingClockValue = 1000;
  ClockSource = CountingClock;
  const Universe counted(4, 6);
  ClockSource = SystemClock;
  EXPECT_EQ(1000, counted.creationTime);
  EXPECT_EQ(1002, CountingClockValue) << "exactly two reads";
  ClockAt at(1001);
  EXPECT_TRUE(SameUniverse(counted, Universe(4, 6)));

  SetCounts(3, 12, 3, 12);
  for (int32_t second = 1000; second < 1020; ++second) {
    ClockAt at(second);
    const Universe a;
    EXPECT_TRUE(SameUniverse(a, Universe())) << second;
    ClockAt next(second + 1);
    EXPECT_FALSE(SameUniverse(a, Universe())) << second;
  }
}

TEST(Universe, RandomNumbersAreDrawnInTheStatedOrder) {
  // Clock 62 seeds the sequence 241 (discarded), 18760 14704 (star at
  // (30, -15)), 19802 25766 (ball candidate (47, 1), 23.3 from the star:
  // rejected), 25878 4729 (ball at (131, -224)), 14634 (green),
  // 18361 9880 (velocity), and nothing more.
  ClockAt at(62);
  const Universe given(1, 1);
  ASSERT_EQ(1, given.starCount);
  ASSERT_EQ(1, given.ballCount);
  EXPECT_EQ(62, given.creationTime);
  EXPECT_EQ(30.0f, given.stars[0]->position.x);
  EXPECT_EQ(-15.0f, given.stars[0]->position.y);
  const Ball& ball = *given.balls[0];
  EXPECT_EQ(131.0f, ball.position.x);
  EXPECT_EQ(-224.0f, ball.position.y);
  EXPECT_EQ(1.0f, ball.green);
  EXPECT_EQ(0.120700702f, ball.velocity.x);   // 2 * 18361 / 32767 - 1
  EXPECT_EQ(-0.396954238f, ball.velocity.y);  // 2 * 9880 / 32767 - 1
  const uint32_t after = RandomState;
  SeedRandom(62);
  for (int i = 0; i < 10; ++i) NextRandom();
  EXPECT_EQ(RandomState, after);

  // Drawn counts take 18760 and 14704 first, so the star takes 19802 25766
  // -> (42, 86) and the ball the same numbers as before.
  SetCounts(1, 1, 1, 1);
  const Universe drawn;
  ASSERT_EQ(1, drawn.starCount);
  ASSERT_EQ(1, drawn.ballCount);
  EXPECT_EQ(42.0f, drawn.stars[0]->position.x);
  EXPECT_EQ(86.0f, drawn.stars[0]->position.y);
  EXPECT_EQ(131.0f, drawn.balls[0]->position.x);
  EXPECT_EQ(0.120700702f, drawn.balls[0]->velocity.x);
}

TEST(Universe, CountDrawRoundsUp) {
  struct Case {
    int32_t second, stars, balls;  // counts drawn from 1..10
  };
  const Case cases[] = {
      {59255510, 1, 2},      // draws 8560, then 0 for the stars, 38 for the balls
      {695095975, 1, 1},     // draws 18885, then 0 and 0
      {-1446958378, 2, -1},  // draws 21189, then 1: just above zero
      {-582014250, 10, -1},  // draws 28699, then 32767
  };
  SetCounts(1, 10, 1, 10);
  for (const Case& c : cases) {
    ClockAt at(c.second);
    const Universe u;
    EXPECT_EQ(c.stars, u.starCount) << c.second;
    if (c.balls >= 0) EXPECT_EQ(c.balls, u.ballCount) << c.second;
  }
}

TEST(Universe, CountsAreClampedToCapacityGivenOrDrawn) {
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
  const int32_t extremes[] = {INT_MIN, -40, -5, 0, 1, 3, 8, 12, 15, 16, 40, INT_MAX};
  int32_t second = 0;
  for (int32_t min : extremes) {
    for (int32_t max : extremes) {
      SetCounts(min, max, max, min);
      ClockAt at(++second);
      ASSERT_NO_FATAL_FAILURE(ExpectWellFormed(Universe())) << min << " " << max;
    }
  }
  SetCounts(8, 3, 8, 3);  // reversed: drawn between the two
  for (int32_t s = 0; s < 100; ++s) {
    ClockAt at(s);
    const Universe u;
    EXPECT_TRUE(u.starCount >= 3 && u.starCount <= 8) << u.starCount;
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
  ClockAt at(31337);
  const Universe noStars(0, 3);
  EXPECT_EQ(0, noStars.starCount);
  EXPECT_EQ(3, noStars.ballCount);
  ExpectWellFormed(noStars);
}

TEST(Universe, ExactlyThirtyFromAStarAndTwentySevenAndTwentyFourFromABallAreAccepted) {
  struct Case {
    bool ball;         // placing a ball, else a star
    Vec2 star, other;  // offsets from the first candidate of the star and other ball
    bool accepted;
  };
  const Case cases[] = {
      {false, Vec2(18.0f, 24.0f), Vec2(), true},  // an 18-24-30 triangle
      {false, Vec2(18.0f, 23.5f), Vec2(), false},
      {true, Vec2(27.0f, 0.0f), Vec2(0.0f, -24.0f), true},
      {true, Vec2(26.99f, 0.0f), Vec2(0.0f, -24.0f), false},
      {true, Vec2(27.0f, 0.0f), Vec2(0.0f, -23.99f), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << (c.ball ? "ball" : "star") << " star offset " << c.star.x
                                      << "," << c.star.y << " ball offset " << c.other.y);
    ClockAt at(4242);
    Universe u(1, c.ball ? 1 : 0);
    SeedRandom(9001);
    const Vec2 first =
        c.ball ? NextCandidate(450, -225, 350, -275) : NextCandidate(400, -200, 300, -150);
    u.stars[0]->position = Vec2(first.x + c.star.x, first.y + c.star.y);
    if (c.ball) u.balls[0]->position = Vec2(first.x + c.other.x, first.y + c.other.y);
    ASSERT_TRUE(c.ball ? u.PlaceBall(1) : u.PlaceStar(1));
    const Vec2 placed = c.ball ? u.balls[1]->position : u.stars[1]->position;
    EXPECT_EQ(c.accepted, placed.x == first.x && placed.y == first.y);
  }
}

TEST(Universe, PlacementGivesUpAndLeavesBodiesOut) {
  const int32_t saved = PlacementAttemptLimit;
  PlacementAttemptLimit = 0;
  ClockAt at(99);
  Universe none(5, 5);
  EXPECT_EQ(0, none.starCount);
  EXPECT_EQ(0, none.ballCount);
  EXPECT_FALSE(none.PlaceStar(-1));
  EXPECT_FALSE(none.PlaceBall(15));
  // With one attempt per body the first collision ends that kind: the slots
  // stay contiguous whatever the counts.
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

TEST(Universe, DrawsBallsThenStarsEachAsColourPushTranslatePolygonPop) {
  ClockAt at(0);
  Universe u(0, 0);
  AddStar(u, 5.0f, -7.0f);
  AddStar(u, -100.0f, 50.0f);
  SeedRandom(1);  // colours: 41 red, 18467 green, 6334 red
  AddBall(u, 1.0f, 2.0f, 0.0f, 0.0f);
  AddBall(u, 3.0f, 4.0f, 0.0f, 0.0f);
  AddBall(u, -5.5f, 6.25f, 0.0f, 0.0f);
  struct Body {
    float red, green, blue, x, y, radius;
  };
  const Body order[] = {
      {1, 0, 0, 1.0f, 2.0f, 12.0f},     {0, 1, 0, 3.0f, 4.0f, 12.0f},
      {1, 0, 0, -5.5f, 6.25f, 12.0f},   {1, 1, 1, 5.0f, -7.0f, 15.0f},
      {1, 1, 1, -100.0f, 50.0f, 15.0f},
  };
  std::vector<GLCall> expected;
  for (const Body& body : order) {
    Vec2 outline[15];
    MakeCircleOutline(15, 6.2831855f, body.radius, outline);
    expected.push_back({GLCall::Color, body.red, body.green, body.blue});
    expected.push_back({GLCall::Push});
    expected.push_back({GLCall::Translate, body.x, body.y, 0.0f});
    expected.push_back({GLCall::Begin, 9});  // GL_POLYGON
    for (const Vec2& p : outline) expected.push_back({GLCall::Vertex, p.x, p.y});
    expected.push_back({GLCall::End});
    expected.push_back({GLCall::Pop});
  }
  RecordedGL.clear();
  u.Draw();
  EXPECT_EQ(expected, RecordedGL) << "expected:\n"
                                  << Describe(expected) << "recorded:\n"
                                  << Describe(RecordedGL);
}
