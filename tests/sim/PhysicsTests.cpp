// Gravity, motion and collisions: the worked examples and their boundaries.
#include <cmath>

#include <gtest/gtest.h>

#include "config/SaverSettings.h"
#include "sim/CollideBodies.h"
#include "sim/Universe.h"
#include "tests/sim/PrintedDigits.h"
#include "tests/sim/TestClock.h"
#include "tests/sim/UniverseHelpers.h"

namespace {

// An empty universe to fill by hand.
class EmptyUniverse : public ::testing::Test {
 protected:
  EmptyUniverse() : clock_(0), u(0, 0) {}
  ClockAt clock_;
  Universe u;
};

double Speed(Vec2 v) { return std::hypot(v.x, v.y); }

}  // namespace

TEST_F(EmptyUniverse, GravityExample) {
  SaverSettings.GraviticForce = 60;
  AddStar(u, 0.0f, 0.0f);
  Ball& ball = AddBall(u, 100.0f, 0.0f, 0.0f, 0.0f);
  u.ApplyGravity();
  EXPECT_PRINTS(ball.velocity.x, "-0.006");
  EXPECT_EQ(-0.006f, ball.velocity.x);
  EXPECT_EQ(0.0f, ball.velocity.y);
  EXPECT_PRINTS(ball.position.x, "99.994");
  EXPECT_EQ(0.0f, ball.position.y);
  // Stars never move.
  EXPECT_EQ(0.0f, u.stars[0]->position.x);
}

TEST_F(EmptyUniverse, GravityReadsTheSettingEachFrameAndZeroPullsNothing) {
  AddStar(u, 0.0f, 0.0f);
  Ball& ball = AddBall(u, 0.0f, -200.0f, 0.0f, 0.0f);
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
  Ball& other = AddBall(u, 0.0f, -50.0f, 0.25f, 0.0f);
  u.ApplyGravity();
  // Each pull is stored in float, so the second side star does not quite
  // cancel the first: 0.008f - 0.008 is left. The third pulls up by 80/2500.
  EXPECT_EQ(static_cast<float>(static_cast<double>(0.008f) - 0.008), ball.velocity.x);
  EXPECT_NE(0.0f, ball.velocity.x);
  EXPECT_EQ(0.032f, ball.velocity.y);
  EXPECT_EQ(0.032f, ball.position.y);  // moved after all three pulls
  EXPECT_EQ(ball.velocity.x, ball.position.x);
  EXPECT_EQ(static_cast<float>(-50.0 + other.velocity.y), other.position.y);
}

TEST_F(EmptyUniverse, Exactly27FromAStarIsNeitherPulledNorBounced) {
  SaverSettings.GraviticForce = 80;
  AddStar(u, 0.0f, 0.0f);
  Ball& ball = AddBall(u, 27.0f, 0.0f, 0.0f, 0.0f);
  for (int frame = 0; frame < 10; ++frame) {
    u.ApplyGravity();
    u.ResolveCollisions();
  }
  EXPECT_EQ(27.0f, ball.position.x);
  EXPECT_EQ(0.0f, ball.position.y);
  EXPECT_EQ(0.0f, ball.velocity.x);
  EXPECT_EQ(0.0f, ball.velocity.y);
  // Just beyond, the pull acts.
  Ball& outside = AddBall(u, 0.0f, -27.001f, 0.0f, 0.0f);
  u.ApplyGravity();
  EXPECT_GT(outside.velocity.y, 0.0f);
}

TEST_F(EmptyUniverse, InsideContactNoPullThenBounce) {
  SaverSettings.GraviticForce = 80;
  AddStar(u, 0.0f, 0.0f);
  Ball& ball = AddBall(u, 26.9f, 0.0f, -0.1f, 0.0f);
  u.ApplyGravity();
  EXPECT_EQ(-0.1f, ball.velocity.x);
  EXPECT_PRINTS(ball.position.x, "26.8");
  u.ResolveCollisions();
  EXPECT_PRINTS(ball.velocity.x, "0.1");
  EXPECT_NEAR(0.0f, ball.velocity.y, 1e-7f);
  EXPECT_PRINTS(ball.position.x, "26.8");  // positions are not touched
}

TEST_F(EmptyUniverse, HeadOnBounceOffAStar) {
  AddStar(u, 0.0f, 0.0f);
  Ball& ball = AddBall(u, 20.0f, 0.0f, -1.0f, 0.0f);
  const CollisionTerms t =
      MeasureCollision(0.0f, 15.0f, 12.0f, Vec2(0, 0), Vec2(20, 0), Vec2(0, 0), Vec2(-1, 0));
  EXPECT_EQ(27.0f, t.contact);
  EXPECT_EQ(20.0f, t.separation);
  EXPECT_EQ(0.0f, t.motionAngle);
  EXPECT_EQ(0.0f, t.centreAngle);
  EXPECT_EQ(0.0f, t.contactAngle);
  EXPECT_EQ(0.0f, t.slope);
  EXPECT_EQ(2.0f, t.impulse);
  u.ResolveCollisions();
  EXPECT_EQ(1.0f, ball.velocity.x);
  EXPECT_EQ(0.0f, ball.velocity.y);
  EXPECT_EQ(20.0f, ball.position.x);
  EXPECT_EQ(0.0f, u.stars[0]->position.x);
}

TEST_F(EmptyUniverse, ObliqueBounceOffAStar) {
  AddStar(u, 0.0f, 0.0f);
  Ball& ball = AddBall(u, 0.0f, 20.0f, 0.5f, -1.0f);
  const CollisionTerms t =
      MeasureCollision(0.0f, 15.0f, 12.0f, Vec2(0, 0), Vec2(0, 20), Vec2(0, 0), Vec2(0.5f, -1.0f));
  EXPECT_PRINTS(t.motionAngle, "2.0344439");
  EXPECT_PRINTS(t.centreAngle, "1.5707964");
  EXPECT_PRINTS(t.contactAngle, "-0.3376485");
  EXPECT_PRINTS(t.slope, "-7.8945169");
  EXPECT_PRINTS(t.impulse, "-0.2651316");
  u.ResolveCollisions();
  EXPECT_PRINTS(ball.velocity.x, "0.2348684");
  EXPECT_PRINTS(ball.velocity.y, "1.0930859");
  // Pinned to the bit.
  EXPECT_EQ(0.234868407f, ball.velocity.x);
  EXPECT_EQ(1.09308589f, ball.velocity.y);
  EXPECT_NEAR(Speed(Vec2(0.5f, -1.0f)), Speed(ball.velocity), 1e-6);
}

TEST_F(EmptyUniverse, HeadOnBetweenEqualBalls) {
  Ball& a = AddBall(u, 0.0f, 0.0f, 1.0f, 0.0f);
  Ball& b = AddBall(u, 20.0f, 0.0f, -1.0f, 0.0f);
  u.ResolveCollisions();
  EXPECT_EQ(-1.0f, a.velocity.x);
  EXPECT_EQ(0.0f, a.velocity.y);
  EXPECT_EQ(1.0f, b.velocity.x);
  EXPECT_EQ(0.0f, b.velocity.y);
}

TEST_F(EmptyUniverse, GlancingContactBetweenBalls) {
  Ball& a = AddBall(u, 0.0f, 0.0f, 1.0f, 0.0f);
  Ball& b = AddBall(u, 20.0f, 10.0f, 0.0f, 0.0f);
  const CollisionTerms t =
      MeasureCollision(1.0f, 12.0f, 12.0f, Vec2(0, 0), Vec2(20, 10), Vec2(1, 0), Vec2(0, 0));
  EXPECT_EQ(24.0f, t.contact);
  EXPECT_PRINTS(t.separation, "22.36068");
  EXPECT_PRINTS(t.centreAngle, "0.4636476");
  EXPECT_PRINTS(t.contactAngle, "0.4297754");
  EXPECT_PRINTS(t.slope, "0.4583492");
  EXPECT_PRINTS(t.impulse, "0.8263889");
  u.ResolveCollisions();
  EXPECT_PRINTS(a.velocity.x, "0.1736111");
  EXPECT_PRINTS(a.velocity.y, "-0.3787747");
  EXPECT_PRINTS(b.velocity.x, "0.8263889");
  EXPECT_PRINTS(b.velocity.y, "0.3787747");
  EXPECT_EQ(0.173611104f, a.velocity.x);
  EXPECT_EQ(-0.378774703f, a.velocity.y);
  EXPECT_EQ(0.826388896f, b.velocity.x);
  EXPECT_EQ(0.378774703f, b.velocity.y);
  // Momentum is kept.
  EXPECT_NEAR(1.0, a.velocity.x + b.velocity.x, 1e-6);
  EXPECT_NEAR(0.0, a.velocity.y + b.velocity.y, 1e-6);
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

TEST_F(EmptyUniverse, ThreeTouchingBallsArePairedInOrder) {
  const Vec2 p0(0.0f, 0.0f), p1(20.0f, 0.0f), p2(10.0f, 17.0f);
  const Vec2 v0(0.7f, 0.2f), v1(-0.4f, 0.5f), v2(0.1f, -0.9f);
  AddBall(u, p0.x, p0.y, v0.x, v0.y);
  AddBall(u, p1.x, p1.y, v1.x, v1.y);
  AddBall(u, p2.x, p2.y, v2.x, v2.y);
  u.ResolveCollisions();

  // (0, 1), (0, 2), (1, 2), each seeing what the one before left.
  Vec2 w0 = v0, w1 = v1, w2 = v2;
  CollideBodies(1.0f, 12.0f, 12.0f, p0, p1, w0, w1);
  CollideBodies(1.0f, 12.0f, 12.0f, p0, p2, w0, w2);
  CollideBodies(1.0f, 12.0f, 12.0f, p1, p2, w1, w2);
  EXPECT_EQ(w0.x, u.balls[0]->velocity.x);
  EXPECT_EQ(w0.y, u.balls[0]->velocity.y);
  EXPECT_EQ(w1.x, u.balls[1]->velocity.x);
  EXPECT_EQ(w1.y, u.balls[1]->velocity.y);
  EXPECT_EQ(w2.x, u.balls[2]->velocity.x);
  EXPECT_EQ(w2.y, u.balls[2]->velocity.y);

  // The order matters: (1, 2) first would give another result.
  Vec2 x0 = v0, x1 = v1, x2 = v2;
  CollideBodies(1.0f, 12.0f, 12.0f, p1, p2, x1, x2);
  CollideBodies(1.0f, 12.0f, 12.0f, p0, p1, x0, x1);
  CollideBodies(1.0f, 12.0f, 12.0f, p0, p2, x0, x2);
  EXPECT_FALSE(x0.x == w0.x && x0.y == w0.y && x2.x == w2.x && x2.y == w2.y);
}

TEST_F(EmptyUniverse, StarContactsComeBeforeLaterBalls) {
  AddStar(u, 0.0f, 0.0f);
  const Vec2 s(0.0f, 0.0f), p0(20.0f, 5.0f), p1(30.0f, 20.0f);
  const Vec2 v0(-0.8f, 0.3f), v1(-0.2f, -0.6f);
  AddBall(u, p0.x, p0.y, v0.x, v0.y);
  AddBall(u, p1.x, p1.y, v1.x, v1.y);
  u.ResolveCollisions();
  Vec2 w0 = v0, w1 = v1, scratch;
  CollideBodies(0.0f, 15.0f, 12.0f, s, p0, scratch, w0);
  CollideBodies(1.0f, 12.0f, 12.0f, p0, p1, w0, w1);
  // Ball 1 is 36 from the star: no star contact of its own.
  EXPECT_EQ(w0.x, u.balls[0]->velocity.x);
  EXPECT_EQ(w0.y, u.balls[0]->velocity.y);
  EXPECT_EQ(w1.x, u.balls[1]->velocity.x);
  EXPECT_EQ(w1.y, u.balls[1]->velocity.y);
  EXPECT_EQ(0.0f, u.stars[0]->position.x);
}

TEST(CollideBodies, ZeroRelativeVelocityChangesNothing) {
  Vec2 v1(0.3f, -0.2f), v2(0.3f, -0.2f);
  CollideBodies(1.0f, 12.0f, 12.0f, Vec2(0, 0), Vec2(10, 10), v1, v2);
  EXPECT_EQ(0.3f, v1.x);
  EXPECT_EQ(-0.2f, v1.y);
  EXPECT_EQ(0.3f, v2.x);
  EXPECT_EQ(-0.2f, v2.y);
}

TEST(CollideBodies, ImmovableFirstBodyKeepsItsVelocityAndTheSpeed) {
  Vec2 v1(0.0f, 0.0f), v2(-0.6f, 0.45f);
  CollideBodies(0.0f, 15.0f, 12.0f, Vec2(1, 2), Vec2(18, 13), v1, v2);
  EXPECT_EQ(0.0f, v1.x);
  EXPECT_EQ(0.0f, v1.y);
  EXPECT_NEAR(0.75, Speed(v2), 1e-6);
}

TEST(CollideBodies, ArcsineArgumentIsClamped) {
  // Centres farther apart than the radii: D * sin / R is -30/27, beyond the
  // arcsine's domain; the clamp takes it as -1.
  const CollisionTerms t =
      MeasureCollision(0.0f, 15.0f, 12.0f, Vec2(0, 0), Vec2(0, 30), Vec2(0, 0), Vec2(1, 0));
  EXPECT_EQ(static_cast<float>(std::asin(-1.0)), t.contactAngle);
  Vec2 v1(0.0f, 0.0f), v2(1.0f, 0.0f);
  CollideBodies(0.0f, 15.0f, 12.0f, Vec2(0, 0), Vec2(0, 30), v1, v2);
  EXPECT_TRUE(std::isfinite(v2.x));
  EXPECT_TRUE(std::isfinite(v2.y));
  EXPECT_NEAR(1.0, Speed(v2), 1e-6);
}

TEST(CollideBodies, CoincidentCentresStayFinite) {
  Vec2 v1(0.5f, 0.0f), v2(-0.5f, 0.25f);
  CollideBodies(1.0f, 12.0f, 12.0f, Vec2(3, 3), Vec2(3, 3), v1, v2);
  EXPECT_TRUE(std::isfinite(v1.x) && std::isfinite(v1.y));
  EXPECT_TRUE(std::isfinite(v2.x) && std::isfinite(v2.y));
}
