// MakeCircleOutline: the worked outline, float accumulation, and the
// diagnostic for a request it cannot meet.
#include <cmath>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "sim/CircleOutline.h"
#include "tests/sim/PrintedDigits.h"

namespace {

std::string OutlinePrints(int32_t count, float angle, float radius, Vec2* out) {
  std::fflush(stdout);
  testing::internal::CaptureStdout();
  MakeCircleOutline(count, angle, radius, out);
  return testing::internal::GetCapturedStdout();
}

}  // namespace

TEST(MakeCircleOutline, FullTurnRadius15MatchesTheWorkedExampleToTheBit) {
  // Any other build must reproduce these exact floats.
  const Vec2 expected[15] = {
      {-15.0f, 1.31134175e-06f},    {-13.7031822f, -6.10104847f}, {-10.0369596f, -11.147172f},
      {-4.63525581f, -14.2658472f}, {1.56792629f, -14.9178286f},  {7.49999952f, -12.9903812f},
      {12.1352549f, -8.81677914f},  {14.6722136f, -3.11867547f},  {14.6722136f, 3.11867547f},
      {12.1352549f, 8.81677914f},   {7.49999952f, 12.9903812f},   {1.56792629f, 14.9178286f},
      {-4.63525581f, 14.2658472f},  {-10.0369596f, 11.147172f},   {-13.7031822f, 6.10104847f},
  };
  Vec2 out[16];
  out[15] = Vec2(1234.5f, -99.0f);
  EXPECT_EQ("", OutlinePrints(15, 6.2831855f, 15.0f, out));
  EXPECT_PRINTS(out[1].x, "-13.703182");
  EXPECT_PRINTS(out[1].y, "-6.1010485");
  for (int i = 0; i < 15; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(expected[i].x, out[i].x);
    EXPECT_EQ(expected[i].y, out[i].y);
  }
  EXPECT_EQ(1234.5f, out[15].x) << "nothing past the last point is written";
  EXPECT_EQ(-99.0f, out[15].y);
}

TEST(MakeCircleOutline, AngleIsAccumulatedInFloat) {
  // 37 points over 1 radian at radius 1000: the float sums of the step drift
  // from start + i * step, and the points show it.
  Vec2 out[37];
  MakeCircleOutline(37, 1.0f, 1000.0f, out);
  EXPECT_EQ(924.188171f, out[4].x);
  EXPECT_EQ(924.18811f, static_cast<float>(std::cos(-0.5 + 4 * double{1.0f / 37}) * 1000.0));
  // Points 6 and 31 lie symmetric about angle 0 but the drift differs.
  EXPECT_EQ(943.473572f, out[6].x);
  EXPECT_EQ(943.47345f, out[31].x);
}

TEST(MakeCircleOutline, ImpossibleRequestsPrintOneLineWithSixSignificantDigits) {
  struct Case {
    int32_t count;
    float angle, radius;
    const char* line;
  };
  const Case cases[] = {
      {0, 1.0f, 1.0f, "Error! Cannot use 0 to cover 1 radians at radius 1.\n"},
      {-3, 6.2831855f, 15.0f, "Error! Cannot use -3 to cover 6.28319 radians at radius 15.\n"},
      {2, 0.0f, 15.0f, "Error! Cannot use 2 to cover 0 radians at radius 15.\n"},
      {2, 1.0f, 0.0f, "Error! Cannot use 2 to cover 1 radians at radius 0.\n"},
      {2, std::nanf(""), 1.0f, "Error! Cannot use 2 to cover nan radians at radius 1.\n"},
      {2, 1.0f, std::nanf(""), "Error! Cannot use 2 to cover 1 radians at radius nan.\n"},
      {4, 3.0f, -2.0f, "Error! Cannot use 4 to cover 3 radians at radius -2.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Vec2 out[5];
    out[0] = out[4] = Vec2(5.0f, 6.0f);
    EXPECT_EQ(c.line, OutlinePrints(c.count, c.angle, c.radius, out));
    if (c.count <= 0) EXPECT_EQ(5.0f, out[0].x) << "no point for a count of none";
    EXPECT_EQ(6.0f, out[4].y);
  }
  // A negative radius still writes its points, each opposite the positive one.
  Vec2 negative[4], positive[4];
  OutlinePrints(4, 3.0f, -2.0f, negative);
  MakeCircleOutline(4, 3.0f, 2.0f, positive);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(-positive[i].x, negative[i].x) << i;
    EXPECT_EQ(-positive[i].y, negative[i].y) << i;
  }
}
