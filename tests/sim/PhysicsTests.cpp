// Gravity, motion and collisions: reference cases and their boundaries.
#include <cmath>

#include <gtest/gtest.h>

#include "config/SaverSettings.h"
#include "sim/CollideBodies.h"
#include "tests/sim/PrintedDigits.h"
#include "tests/sim/UniverseHelpers.h"

namespace {

// An empty universe to fill by hand.
class EmptyUniverse : public ::testing::Test {
 protected:
  EmptyUniverse() : clock_(0), u(0, 0) {}
  ClockAt clock_;
  Universe u;
};

bool Finite(Vec2 v) { return std::isfinite(v.x) && std::isfinite(v.y); }

}  // namespace

TEST_F(EmptyUniverse, GravityExampleThenTheSettingIsReadEachFrame) {
  SaverSettings.GraviticForce = 60;
  AddStar(u, 0.0f, 0.0f);
  Ball& ball = AddBall(u, 100.0f, 0.0f, 0.0f, 0.0f);
  u.ApplyGravity();
  EXPECT_PRINTS(ball.velocity.x, "-0.006");
  EXPECT_EQ(-0.006f, ball.velocity.x);
  EXPECT_EQ(0.0f, ball.velocity.y);
  EXPECT_PRINTS(ball.position.x, "99.994");
  EXPECT_EQ(0.0f, ball.position.y);
  EXPECT_EQ(0.0f, u.stars[0]->position.x) << "stars never move";

  ball.position = Vec2(0.0f, -200.0f);
  ball.velocity = Vec2();
  SaverSettings.GraviticForce = 0;
  u.ApplyGravity();
  EXPECT_EQ(0.0f, ball.velocity.y);
  EXPECT_EQ(-200.0f, ball.position.y);
  SaverSettings.GraviticForce = 120;
  u.ApplyGravity();
  EXPECT_EQ(120.0f / 40000.0f, ball.velocity.y);  // towards the star, upwards
  EXPECT_EQ(-200.0f + 120.0f / 40000.0f, ball.position.y);
}

TEST_F(EmptyUniverse, EachBallSumsEveryStarBeforeMoving) {
  SaverSettings.GraviticForce = 80;
  AddStar(u, 100.0f, 0.0f);
  AddStar(u, -100.0f, 0.0f);
  AddStar(u, 0.0f, 50.0f);
  Ball& ball = AddBall(u, 0.0f, 0.0f, 0.0f, 0.0f);
  u.ApplyGravity();
  // Each pull is stored in float, so the second side star does not quite
  // cancel the first: 0.008f - 0.008 is left. The third pulls up by 80/2500.
  EXPECT_EQ(static_cast<float>(static_cast<double>(0.008f) - 0.008), ball.velocity.x);
  EXPECT_NE(0.0f, ball.velocity.x);
  EXPECT_EQ(0.032f, ball.velocity.y);
  EXPECT_EQ(0.032f, ball.position.y);  // moved after all three pulls
  EXPECT_EQ(ball.velocity.x, ball.position.x);
}

TEST_F(EmptyUniverse, At27FromAStarNoPullNoBounceInsideABounceWithoutPull) {
  SaverSettings.GraviticForce = 80;
  AddStar(u, 0.0f, 0.0f);
  Ball& touching = AddBall(u, 27.0f, 0.0f, 0.0f, 0.0f);
  for (int frame = 0; frame < 10; ++frame) {
    u.ApplyGravity();
    u.ResolveCollisions();
  }
  EXPECT_EQ(27.0f, touching.position.x);
  EXPECT_EQ(0.0f, touching.velocity.x);
  EXPECT_EQ(0.0f, touching.velocity.y);

  touching.position = Vec2(26.9f, 0.0f);
  touching.velocity = Vec2(-0.1f, 0.0f);
  Ball& outside = AddBall(u, 0.0f, -27.001f, 0.0f, 0.0f);
  u.ApplyGravity();
  EXPECT_GT(outside.velocity.y, 0.0f) << "just beyond 27 the pull acts";
  EXPECT_EQ(-0.1f, touching.velocity.x) << "no pull inside";
  EXPECT_PRINTS(touching.position.x, "26.8");
  u.ResolveCollisions();
  EXPECT_PRINTS(touching.velocity.x, "0.1");
  EXPECT_NEAR(0.0f, touching.velocity.y, 1e-7f);
  EXPECT_PRINTS(touching.position.x, "26.8") << "positions are not touched";
}

TEST(Collisions, WorkedExamplesWithTheirIntermediates) {
  struct Example {
    const char* name;
    bool star;  // the first body is a star, else a ball
    Vec2 p1, v1, p2, v2;
    // contact, separation, motion, centre and contact angles, slope, impulse
    const char* terms[7];
    float after[4];  // velocities after, to the bit: first x, y, second x, y
  };
  // The oblique example prints 0.2348684 1.0930859; the glancing one
  // 0.1736111 -0.3787747 and 0.8263889 0.3787747.
  // clang-format off
  const Example examples[] = {
      {"head-on off a star", true, {0, 0}, {0, 0}, {20, 0}, {-1, 0},
       {"27.000000", "20.000000", "0.0000000", "0.0000000", "0.0000000", "0.0000000", "2.0000000"},
       {0.0f, 0.0f, 1.0f, 0.0f}},
      {"oblique off a star", true, {0, 0}, {0, 0}, {0, 20}, {0.5f, -1.0f},
       {nullptr, nullptr, "2.0344439", "1.5707964", "-0.3376485", "-7.8945169", "-0.2651316"},
       {0.0f, 0.0f, 0.234868407f, 1.09308589f}},
      {"equal balls head-on", false, {0, 0}, {1, 0}, {20, 0}, {-1, 0}, {},
       {-1.0f, 0.0f, 1.0f, 0.0f}},
      {"glancing balls", false, {0, 0}, {1, 0}, {20, 10}, {0, 0},
       {"24.000000", "22.36068", nullptr, "0.4636476", "0.4297754", "0.4583492", "0.8263889"},
       {0.173611104f, -0.378774703f, 0.826388896f, 0.378774703f}},
  };
  // clang-format on
  for (const Example& e : examples) {
    SCOPED_TRACE(e.name);
    ClockAt at(0);
    Universe u(0, 0);
    if (e.star)
      AddStar(u, e.p1.x, e.p1.y);
    else
      AddBall(u, e.p1.x, e.p1.y, e.v1.x, e.v1.y);
    Ball& second = AddBall(u, e.p2.x, e.p2.y, e.v2.x, e.v2.y);
    const CollisionTerms t = MeasureCollision(e.star ? 0.0f : 1.0f, e.star ? 15.0f : 12.0f, 12.0f,
                                              e.p1, e.p2, e.v1, e.v2);
    const float terms[7] = {t.contact,      t.separation, t.motionAngle, t.centreAngle,
                            t.contactAngle, t.slope,      t.impulse};
    for (int k = 0; k < 7; ++k) {
      if (e.terms[k]) EXPECT_PRINTS(terms[k], e.terms[k]) << "term " << k;
    }
    u.ResolveCollisions();
    const Vec2 first = e.star ? Vec2() : u.balls[0]->velocity;
    const float after[4] = {first.x, first.y, second.velocity.x, second.velocity.y};
    for (int k = 0; k < 4; ++k) EXPECT_EQ(e.after[k], after[k]) << "velocity " << k;
    EXPECT_EQ(e.p2.x, second.position.x) << "positions are not touched";
    EXPECT_EQ(e.p2.y, second.position.y);
  }
}

TEST_F(EmptyUniverse, BallContactBoundaryIsStrict) {
  Ball& a = AddBall(u, 0.0f, 0.0f, 1.0f, 0.0f);
  Ball& b = AddBall(u, 24.0f, 0.0f, -1.0f, 0.0f);
  u.ResolveCollisions();
  EXPECT_EQ(1.0f, a.velocity.x);  // exactly 24 apart: no bounce
  EXPECT_EQ(-1.0f, b.velocity.x);
  b.position.x = 23.999998f;  // the float just below 24
  u.ResolveCollisions();
  EXPECT_EQ(-1.0f, a.velocity.x);
  EXPECT_EQ(1.0f, b.velocity.x);
}

TEST_F(EmptyUniverse, PairsAreResolvedInOrderStarsFirstEachSeeingTheLast) {
  // Balls 0 and 1 touch star 0 and each other; ball 2 touches both balls.
  AddStar(u, 0.0f, -25.0f);
  const Vec2 s(0.0f, -25.0f), p0(0.0f, 0.0f), p1(20.0f, 0.0f), p2(10.0f, 17.0f);
  const Vec2 v0(0.7f, 0.2f), v1(-0.4f, 0.5f), v2(0.1f, -0.9f);
  AddBall(u, p0.x, p0.y, v0.x, v0.y);
  AddBall(u, p1.x, p1.y, v1.x, v1.y);
  AddBall(u, p2.x, p2.y, v2.x, v2.y);
  u.ResolveCollisions();
  // Ball 0: the star, then balls 1 and 2; then balls 1 and 2 (too far from the star).
  Vec2 w0 = v0, w1 = v1, w2 = v2, still;
  CollideBodies(0.0f, 15.0f, 12.0f, s, p0, still, w0);
  CollideBodies(1.0f, 12.0f, 12.0f, p0, p1, w0, w1);
  CollideBodies(1.0f, 12.0f, 12.0f, p0, p2, w0, w2);
  CollideBodies(1.0f, 12.0f, 12.0f, p1, p2, w1, w2);
  const Vec2 expected[3] = {w0, w1, w2};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(expected[i].x, u.balls[i]->velocity.x) << i;
    EXPECT_EQ(expected[i].y, u.balls[i]->velocity.y) << i;
  }
  // The order matters: (1, 2) first gives another result.
  Vec2 x0 = v0, x1 = v1, x2 = v2;
  CollideBodies(1.0f, 12.0f, 12.0f, p1, p2, x1, x2);
  CollideBodies(1.0f, 12.0f, 12.0f, p0, p1, x0, x1);
  CollideBodies(1.0f, 12.0f, 12.0f, p0, p2, x0, x2);
  EXPECT_FALSE(x0.x == w0.x && x0.y == w0.y && x2.x == w2.x && x2.y == w2.y);
}

TEST(CollideBodies, DegenerateContactsStayFiniteAndKeepTheSpeed) {
  struct Case {
    float mass, r1;
    Vec2 p1, p2, v1, v2;
    double speed;  // of the second body after; < 0: not checked
  };
  const Case cases[] = {
      {1.0f, 12.0f, {0, 0}, {10, 10}, {0.3f, -0.2f}, {0.3f, -0.2f}, -1},  // no relative motion
      {0.0f, 15.0f, {1, 2}, {18, 13}, {0, 0}, {-0.6f, 0.45f}, 0.75},
      {0.0f, 15.0f, {0, 0}, {0, 30}, {0, 0}, {1, 0}, 1.0},  // arcsine argument -30/27: clamped
      {1.0f, 12.0f, {3, 3}, {3, 3}, {0.5f, 0}, {-0.5f, 0.25f}, -1},  // coincident centres
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.p2.x << "," << c.p2.y);
    Vec2 v1 = c.v1, v2 = c.v2;
    CollideBodies(c.mass, c.r1, 12.0f, c.p1, c.p2, v1, v2);
    EXPECT_TRUE(Finite(v1) && Finite(v2));
    if (c.mass == 0.0f) EXPECT_TRUE(v1.x == c.v1.x && v1.y == c.v1.y) << "a star never moves";
    if (c.speed >= 0) EXPECT_NEAR(c.speed, std::hypot(v2.x, v2.y), 1e-6);
    if (c.v1.x == c.v2.x && c.v1.y == c.v2.y) EXPECT_TRUE(v2.x == c.v2.x && v2.y == c.v2.y);
  }
  EXPECT_EQ(static_cast<float>(std::asin(-1.0)),
            MeasureCollision(0.0f, 15.0f, 12.0f, Vec2(0, 0), Vec2(0, 30), Vec2(), Vec2(1, 0))
                .contactAngle);
}
