// Vec2, Distance and MakeCircleOutline.
#include <cmath>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "sim/CircleOutline.h"
#include "sim/Vec2.h"
#include "tests/sim/PrintedDigits.h"

namespace {

const double Pi = 3.14159265358979323846;

// Captures what reaches the standard output while it lives; Text() ends the
// capture.
class CoutCapture {
 public:
  CoutCapture() {
    std::fflush(stdout);
    testing::internal::CaptureStdout();
  }
  ~CoutCapture() { Text(); }
  std::string Text() {
    if (capturing_) {
      text_ = testing::internal::GetCapturedStdout();
      capturing_ = false;
    }
    return text_;
  }

 private:
  bool capturing_ = true;
  std::string text_;
};

// The outline of radius 15 as the float steps place it, pinned to the bit:
// any other build must reproduce these exact floats.
const Vec2 StarOutline[15] = {
    {-15.0f, 1.31134175e-06f},    {-13.7031822f, -6.10104847f}, {-10.0369596f, -11.147172f},
    {-4.63525581f, -14.2658472f}, {1.56792629f, -14.9178286f},  {7.49999952f, -12.9903812f},
    {12.1352549f, -8.81677914f},  {14.6722136f, -3.11867547f},  {14.6722136f, 3.11867547f},
    {12.1352549f, 8.81677914f},   {7.49999952f, 12.9903812f},   {1.56792629f, 14.9178286f},
    {-4.63525581f, 14.2658472f},  {-10.0369596f, 11.147172f},   {-13.7031822f, 6.10104847f},
};

}  // namespace

TEST(Vec2, DefaultIsZeroAndArraysStartZeroed) {
  const Vec2 v;
  EXPECT_EQ(0.0f, v.x);
  EXPECT_EQ(0.0f, v.y);
  Vec2 many[4];
  for (const Vec2& p : many) {
    EXPECT_EQ(0.0f, p.x);
    EXPECT_EQ(0.0f, p.y);
  }
  const Vec2 w(3.5f, -2.25f);
  EXPECT_EQ(3.5f, w.x);
  EXPECT_EQ(-2.25f, w.y);
}

TEST(Distance, KnownValuesAndSymmetry) {
  EXPECT_EQ(0.0f, Distance(Vec2(7.25f, -3.0f), Vec2(7.25f, -3.0f)));
  EXPECT_EQ(5.0f, Distance(Vec2(0, 0), Vec2(3, 4)));
  EXPECT_EQ(5.0f, Distance(Vec2(3, 4), Vec2(0, 0)));
  EXPECT_EQ(30.0f, Distance(Vec2(-200, -150), Vec2(-182, -126)));  // 18-24-30
  // sqrt(2) rounded to float, from a double root.
  EXPECT_EQ(static_cast<float>(std::sqrt(2.0)), Distance(Vec2(0, 0), Vec2(1, 1)));
  const Vec2 a(0.1f, 123.456f), b(-77.7f, 0.3f);
  EXPECT_EQ(Distance(a, b), Distance(b, a));
}

TEST(MakeCircleOutline, FullTurnRadius15MatchesTheWorkedExample) {
  Vec2 out[16];
  out[15] = Vec2(1234.5f, -99.0f);
  {
    CoutCapture capture;
    MakeCircleOutline(15, 6.2831855f, 15.0f, out);
    EXPECT_EQ("", capture.Text());
  }
  EXPECT_PRINTS(out[1].x, "-13.703182");
  EXPECT_PRINTS(out[1].y, "-6.1010485");
  EXPECT_EQ(-15.0f, out[0].x);
  EXPECT_NEAR(0.0f, out[0].y, 2e-6f);
  for (int i = 0; i < 15; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(StarOutline[i].x, out[i].x);
    EXPECT_EQ(StarOutline[i].y, out[i].y);
    EXPECT_NEAR(15.0, std::hypot(out[i].x, out[i].y), 1e-5);
  }
  // Angles advance by 24 degrees, counter-clockwise from -180, ending at 156.
  for (int i = 1; i < 15; ++i) {
    double turn = std::atan2(out[i].y, out[i].x) - std::atan2(out[i - 1].y, out[i - 1].x);
    if (turn < 0) turn += 2 * Pi;
    EXPECT_NEAR(0.41887903, turn, 1e-6) << i;
  }
  EXPECT_NEAR(156.0, std::atan2(out[14].y, out[14].x) * 180.0 / Pi, 1e-4);
  // Nothing past the last point is written.
  EXPECT_EQ(1234.5f, out[15].x);
  EXPECT_EQ(-99.0f, out[15].y);
}

TEST(MakeCircleOutline, AngleIsAccumulatedInFloat) {
  // 37 points over 1 radian at radius 1000: the float sums of the step
  // drift from start + i * step, and the points show it.
  Vec2 out[37];
  MakeCircleOutline(37, 1.0f, 1000.0f, out);
  const double step = static_cast<float>(1.0 / 37);
  const double start = -0.5;
  EXPECT_EQ(924.188171f, out[4].x);
  EXPECT_EQ(924.18811f, static_cast<float>(std::cos(start + 4 * step) * 1000.0));
  // Points 6 and 31 lie symmetric about angle 0 but the drift differs.
  EXPECT_EQ(943.473572f, out[6].x);
  EXPECT_EQ(943.47345f, out[31].x);
}

TEST(MakeCircleOutline, Radius12) {
  Vec2 out[15];
  MakeCircleOutline(15, 6.2831855f, 12.0f, out);
  EXPECT_EQ(-12.0f, out[0].x);
  EXPECT_EQ(-10.9625454f, out[1].x);
  EXPECT_EQ(-4.88083887f, out[1].y);
  EXPECT_EQ(11.737771f, out[7].x);
  for (int i = 0; i < 15; ++i) EXPECT_NEAR(12.0, std::hypot(out[i].x, out[i].y), 1e-5);
}

TEST(MakeCircleOutline, SinglePointSitsAtMinusHalfTheAngle) {
  Vec2 out[2];
  out[1] = Vec2(42.0f, 42.0f);
  MakeCircleOutline(1, 3.0f, 2.0f, out);
  EXPECT_EQ(static_cast<float>(std::cos(-1.5) * 2.0), out[0].x);
  EXPECT_EQ(static_cast<float>(std::sin(-1.5) * 2.0), out[0].y);
  EXPECT_EQ(42.0f, out[1].x);
}

TEST(MakeCircleOutline, ZeroCountPrintsTheDiagnosticAndWritesNothing) {
  Vec2 out[2];
  out[0] = Vec2(5.0f, 6.0f);
  CoutCapture capture;
  MakeCircleOutline(0, 1.0f, 1.0f, out);
  EXPECT_EQ("Error! Cannot use 0 to cover 1 radians at radius 1.\n", capture.Text());
  EXPECT_EQ(5.0f, out[0].x);
  EXPECT_EQ(6.0f, out[0].y);
}

TEST(MakeCircleOutline, DiagnosticUsesSixSignificantDigits) {
  Vec2 out[3];
  CoutCapture capture;
  MakeCircleOutline(-3, 6.2831855f, 15.0f, out);
  MakeCircleOutline(2, 0.0f, 15.0f, out);
  MakeCircleOutline(2, 1.0f, 0.0f, out);
  MakeCircleOutline(2, std::nanf(""), 1.0f, out);
  MakeCircleOutline(2, 1.0f, std::nanf(""), out);
  const std::string text = capture.Text();
  EXPECT_EQ(
      "Error! Cannot use -3 to cover 6.28319 radians at radius 15.\n"
      "Error! Cannot use 2 to cover 0 radians at radius 15.\n"
      "Error! Cannot use 2 to cover 1 radians at radius 0.\n"
      "Error! Cannot use 2 to cover nan radians at radius 1.\n"
      "Error! Cannot use 2 to cover 1 radians at radius nan.\n",
      text);
}

TEST(MakeCircleOutline, NegativeRadiusStillWritesOppositePoints) {
  Vec2 negative[5], positive[5];
  negative[4] = Vec2(9.0f, 9.0f);
  {
    CoutCapture capture;
    MakeCircleOutline(4, 3.0f, -2.0f, negative);
    EXPECT_EQ("Error! Cannot use 4 to cover 3 radians at radius -2.\n", capture.Text());
  }
  MakeCircleOutline(4, 3.0f, 2.0f, positive);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(-positive[i].x, negative[i].x);
    EXPECT_EQ(-positive[i].y, negative[i].y);
    EXPECT_NEAR(2.0, std::hypot(negative[i].x, negative[i].y), 1e-6);
  }
  EXPECT_EQ(9.0f, negative[4].x);
}
