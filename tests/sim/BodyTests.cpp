// Star and Ball: construction, colour, motion and drawing commands.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "sim/Ball.h"
#include "sim/CircleOutline.h"
#include "sim/Random.h"
#include "sim/Star.h"
#include "tests/sim/RecordingGL.h"

namespace {

// Sets the generator so that its next draw returns n.
void NextDrawIs(int32_t n) {
  // A state whose bits 16..30 after one step equal n: step back from
  // the state n << 16 with the inverse of the multiplier.
  const uint32_t inverse = 0xB9B33155u;  // 214013 * inverse == 1 mod 2^32
  RandomState = ((static_cast<uint32_t>(n) << 16) - 2531011u) * inverse;
}

struct Colour {
  float red, green, blue;
};

Colour ColourFor(int32_t n) {
  NextDrawIs(n);
  const Ball ball(0.0f, 0.0f);
  return Colour{ball.red, ball.green, ball.blue};
}

std::vector<GLCall> BodyCalls(const GLCall& colour, Vec2 position, float radius) {
  Vec2 outline[15];
  MakeCircleOutline(15, 6.2831855f, radius, outline);
  std::vector<GLCall> calls = {colour, PushCall(), TranslateCall(position.x, position.y, 0.0f),
                               BeginCall(9)};
  for (const Vec2& p : outline) calls.push_back(VertexCall(p.x, p.y));
  calls.push_back(EndCall());
  calls.push_back(PopCall());
  return calls;
}

}  // namespace

TEST(Random, InverseUsedByTheseTestsIsRight) {
  EXPECT_EQ(1u, 214013u * 0xB9B33155u);
  for (int32_t n : {0, 1, 10813, 21627, 32767}) {
    NextDrawIs(n);
    EXPECT_EQ(n, NextRandom());
  }
}

TEST(Star, PositionAndOutline) {
  const Star star(-40.0f, 75.0f);
  EXPECT_EQ(-40.0f, star.position.x);
  EXPECT_EQ(75.0f, star.position.y);
  EXPECT_EQ(15, OutlinePointCount);
  EXPECT_EQ(15.0f, StarRadius);
  EXPECT_EQ(-15.0f, star.outline[0].x);
  EXPECT_NEAR(0.0f, star.outline[0].y, 2e-6f);
  EXPECT_EQ(-13.7031822f, star.outline[1].x);
  EXPECT_EQ(-6.10104847f, star.outline[1].y);
  for (const Vec2& p : star.outline) EXPECT_NEAR(15.0, std::hypot(p.x, p.y), 1e-5);
}

TEST(Star, ConstructionDrawsNoRandomNumber) {
  SeedRandom(77);
  const Star star(0.0f, 0.0f);
  EXPECT_EQ(77u, RandomState);
}

TEST(Ball, AtRestWithOutlineAndOneDraw) {
  SeedRandom(1);  // first draw 41: red
  const Ball ball(10.0f, -20.0f);
  EXPECT_EQ(12.0f, BallRadius);
  EXPECT_EQ(10.0f, ball.position.x);
  EXPECT_EQ(-20.0f, ball.position.y);
  EXPECT_EQ(0.0f, ball.velocity.x);
  EXPECT_EQ(0.0f, ball.velocity.y);
  EXPECT_EQ(-12.0f, ball.outline[0].x);
  for (const Vec2& p : ball.outline) EXPECT_NEAR(12.0, std::hypot(p.x, p.y), 1e-5);
  EXPECT_EQ(1.0f, ball.red);
  EXPECT_EQ(0.0f, ball.green);
  EXPECT_EQ(0.0f, ball.blue);
  EXPECT_EQ(18467, NextRandom());  // exactly one number was consumed
}

TEST(Ball, ColourThresholds) {
  struct Case {
    int32_t n;
    float red, green, blue;
  };
  const Case cases[] = {
      {0, 1, 0, 0},     {10813, 1, 0, 0}, {10814, 0, 1, 0}, {21626, 0, 1, 0},
      {21627, 0, 0, 1}, {32767, 0, 0, 1}, {16000, 0, 1, 0}, {30000, 0, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n);
    const Colour colour = ColourFor(c.n);
    EXPECT_EQ(c.red, colour.red);
    EXPECT_EQ(c.green, colour.green);
    EXPECT_EQ(c.blue, colour.blue);
  }
}

TEST(Ball, EveryDrawGivesExactlyOneColour) {
  // Every possible draw gives exactly one colour, split at 10813/10814 and
  // 21626/21627.
  for (int32_t n = 0; n <= 32767; ++n) {
    const Colour colour = ColourFor(n);
    ASSERT_EQ(1.0f, colour.red + colour.green + colour.blue) << n;
    const bool red = n <= 10813, green = n >= 10814 && n <= 21626;
    ASSERT_EQ(red ? 1.0f : 0.0f, colour.red) << n;
    ASSERT_EQ(green ? 1.0f : 0.0f, colour.green) << n;
  }
}

TEST(Ball, InitAppearanceResetsColourAndDrawsAgain) {
  NextDrawIs(0);
  Ball ball(0.0f, 0.0f);
  EXPECT_EQ(1.0f, ball.red);
  NextDrawIs(32767);
  ball.InitAppearance();
  EXPECT_EQ(0.0f, ball.red);
  EXPECT_EQ(0.0f, ball.green);
  EXPECT_EQ(1.0f, ball.blue);
}

TEST(Ball, MoveAddsVelocityOnce) {
  Ball ball(10.0f, 20.0f);
  ball.velocity = Vec2(0.5f, -1.0f);
  ball.Move();
  EXPECT_EQ(10.5f, ball.position.x);
  EXPECT_EQ(19.0f, ball.position.y);
  EXPECT_EQ(0.5f, ball.velocity.x);
  // Each sum is rounded to float.
  ball.position = Vec2(16777216.0f, 0.1f);
  ball.velocity = Vec2(1.0f, 0.2f);
  ball.Move();
  EXPECT_EQ(16777216.0f, ball.position.x);
  EXPECT_EQ(0.1f + 0.2f, ball.position.y);
}

TEST(Star, DrawEmitsWhitePolygonAtItsPosition) {
  const Star star(5.0f, -7.0f);
  ClearRecordedGL();
  star.Draw();
  const std::vector<GLCall> expected =
      BodyCalls(ColorCall(1.0f, 1.0f, 1.0f), Vec2(5.0f, -7.0f), 15.0f);
  EXPECT_EQ(expected, RecordedGL) << "expected:\n"
                                  << Describe(expected) << "recorded:\n"
                                  << Describe(RecordedGL);
  EXPECT_EQ(21u, RecordedGL.size());
}

TEST(Ball, DrawEmitsItsColourAndOutline) {
  NextDrawIs(15000);  // green
  Ball ball(-3.5f, 100.0f);
  ball.velocity = Vec2(1.0f, 1.0f);
  ClearRecordedGL();
  ball.Draw();
  const std::vector<GLCall> expected =
      BodyCalls(ColorCall(0.0f, 1.0f, 0.0f), Vec2(-3.5f, 100.0f), 12.0f);
  EXPECT_EQ(expected, RecordedGL) << "expected:\n"
                                  << Describe(expected) << "recorded:\n"
                                  << Describe(RecordedGL);
  // Drawing changes nothing.
  EXPECT_EQ(-3.5f, ball.position.x);
  EXPECT_EQ(1.0f, ball.velocity.x);
}
