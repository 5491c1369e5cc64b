// The picture of a frame, read back from the back buffer before the swap and
// compared with what the fixed view makes of the universe's bodies: world
// (x, y) lands on pixel ((x + 300) * W / 600, (y + 240) * H / 480); bodies are
// filled polygons on their outlines, balls in slot order, then stars on top,
// over the clear colour.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "config/SaverSettings.h"
#include "render/DrawFrame.h"
#include "render/SaverProc.h"
#include "sim/Universe.h"
#include "tests/render/SaverTestSupport.h"

namespace {

// Signed distance from p to the edge of the convex polygon centre + outline
// (counter-clockwise): positive inside, negative (or a fair under-estimate)
// outside.
double SignedDistanceToOutline(const Vec2& centre, const Vec2* outline, double px, double py) {
  double inside = 1e30, outside = 0.0;
  for (int i = 0; i < OutlinePointCount; ++i) {
    const Vec2& a = outline[i];
    const Vec2& b = outline[(i + 1) % OutlinePointCount];
    const double ex = b.x - a.x, ey = b.y - a.y;
    const double cross =
        (ex * (py - centre.y - a.y) - ey * (px - centre.x - a.x)) / std::sqrt(ex * ex + ey * ey);
    inside = std::min(inside, cross);
    outside = std::min(outside, cross);
  }
  return inside >= 0.0 ? inside : outside;
}

Rgb ColourOf(const Ball& ball) {
  return Rgb{uint8_t(ball.red * 255.0f), uint8_t(ball.green * 255.0f), uint8_t(ball.blue * 255.0f)};
}

// The colour pixel (x, y) must have; false when a body's edge passes within a
// pixel of the pixel's centre, so that either colour is right.
bool ExpectPixel(const Universe& universe, int width, int height, int x, int y, Rgb* colour) {
  const double wx = (x + 0.5) * 600.0 / width - 300.0, wy = (y + 0.5) * 480.0 / height - 240.0;
  const double margin = std::max(600.0 / width, 480.0 / height);
  bool certain = true;
  *colour = BackgroundColour;
  auto layer = [&](const Vec2& centre, const Vec2* outline, Rgb bodyColour) {
    const double distance = SignedDistanceToOutline(centre, outline, wx, wy);
    if (distance > margin) {
      *colour = bodyColour;
      certain = true;  // a body fully covering the sample hides earlier edges
    } else if (distance > -margin) {
      certain = false;
    }
  };
  for (int i = 0; i < universe.ballCount; ++i)
    layer(universe.balls[i]->position, universe.balls[i]->outline, ColourOf(*universe.balls[i]));
  for (int i = 0; i < universe.starCount; ++i)
    layer(universe.stars[i]->position, universe.stars[i]->outline, White);
  return certain;
}

int PixelColumn(float wx, int width) { return int(std::floor((wx + 300.0) * width / 600.0)); }
int PixelRow(float wy, int height) { return int(std::floor((wy + 240.0) * height / 480.0)); }

class PictureTest : public SaverWindowTest {
 protected:
  // One star per world corner, one ball resting at the origin, no pull.
  void OpenStillScene(int width, int height) {
    StoreSettings(4, 4, 1, 1, 80);
    OpenWindow(width, height);
    ASSERT_EQ(CurrentUniverse->starCount, 4);
    ASSERT_EQ(CurrentUniverse->ballCount, 1);
    SaverSettings.GraviticForce = 0;
    const Vec2 corners[4] = {{-300, -240}, {300, -240}, {-300, 240}, {300, 240}};
    for (int i = 0; i < 4; ++i) CurrentUniverse->stars[i]->position = corners[i];
    CurrentUniverse->balls[0]->position = Vec2(0, 0);
    CurrentUniverse->balls[0]->velocity = Vec2(0, 0);
  }
  Rgb Ball() const { return ColourOf(*CurrentUniverse->balls[0]); }

  // Length of the run of `colour` through (x, y) along a row or a column.
  static int RunLength(const Picture& picture, int x, int y, int dx, int dy, Rgb colour) {
    if (!(picture.At(x, y) == colour)) return 0;
    int length = 1;
    for (int s = -1; s <= 1; s += 2) {
      for (int cx = x + s * dx, cy = y + s * dy; cx >= 0 && cy >= 0 && cx < picture.width &&
                                                 cy < picture.height && picture.At(cx, cy) == colour;
           cx += s * dx, cy += s * dy)
        ++length;
    }
    return length;
  }
};

// A busy universe some frames in, in a 5:4 full screen, a preview-sized
// window and a 4:3 screen: every body's centre and a grid of samples.
TEST_F(PictureTest, BusyPictureMatchesTheViewInEveryWindowShape) {
  const struct {
    int width, height, gridStep;
  } windows[] = {{1280, 1024, 16}, {152, 112, 2}, {1024, 768, 12}};
  for (const auto& size : windows) {
    SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
    StoreSettings(12, 12, 12, 12, 80);
    OpenWindow(size.width, size.height);
    ASSERT_NE(CurrentUniverse, nullptr);
    RunFrames(25);
    const Universe& universe = *CurrentUniverse;
    const Picture picture = DrawAndReadBackBuffer();
    int compared = 0, centres = 0, mismatches = 0;
    auto check = [&](int x, int y, const char* what) {
      Rgb expected;
      if (x < 0 || y < 0 || x >= size.width || y >= size.height ||
          !ExpectPixel(universe, size.width, size.height, x, y, &expected))
        return false;
      ++compared;
      if (!(picture.At(x, y) == expected) && ++mismatches <= 20)
        ADD_FAILURE() << what << " pixel (" << x << ", " << y << "): expected "
                      << Describe(expected) << ", got " << Describe(picture.At(x, y));
      return true;
    };
    for (int i = 0; i < universe.ballCount; ++i) {
      const Vec2 p = universe.balls[i]->position;
      centres += check(PixelColumn(p.x, size.width), PixelRow(p.y, size.height), "ball centre");
    }
    for (int i = 0; i < universe.starCount; ++i) {
      const Vec2 p = universe.stars[i]->position;
      centres += check(PixelColumn(p.x, size.width), PixelRow(p.y, size.height), "star centre");
    }
    for (int y = size.gridStep / 2; y < size.height; y += size.gridStep)
      for (int x = size.gridStep / 2; x < size.width; x += size.gridStep) check(x, y, "grid");
    EXPECT_EQ(mismatches, 0) << "of " << compared << " samples";
    EXPECT_GE(centres, 12);  // most of the 24 bodies lie inside the view
    EXPECT_GE(compared, (size.width / size.gridStep) * (size.height / size.gridStep) / 2);
  }
}

TEST_F(PictureTest, WorldCornersLandOnWindowCornersAndTheOriginInTheMiddle) {
  OpenStillScene(640, 512);
  Picture picture = DrawAndReadBackBuffer();
  const struct {
    int x, y;
    Rgb colour;
  } probes[] = {
      {0, 0, White}, {639, 0, White}, {0, 511, White}, {639, 511, White},  // quarter stars
      {18, 0, BackgroundColour}, {0, 18, BackgroundColour},  // 15 units is 16 pixels here
      {621, 511, BackgroundColour}, {160, 256, BackgroundColour},
      {319, 255, Ball()}, {320, 255, Ball()}, {319, 256, Ball()}, {320, 256, Ball()},
  };
  for (const auto& probe : probes)
    EXPECT_EQ(Describe(picture.At(probe.x, probe.y)), Describe(probe.colour))
        << "pixel (" << probe.x << ", " << probe.y << ")";

  // The viewport keeps the size of creation: a larger window still shows the
  // world in its lower left 640 x 512.
  SetWindowPos(window_, nullptr, 0, 0, 1024, 768, SWP_NOZORDER | SWP_NOACTIVATE);
  picture = DrawAndReadBackBuffer(1024, 768);
  EXPECT_EQ(Describe(picture.At(320, 256)), Describe(Ball()));
  EXPECT_EQ(Describe(picture.At(512, 384)), Describe(BackgroundColour));
  EXPECT_EQ(Describe(picture.At(639, 511)), Describe(White));
}

TEST_F(PictureTest, StarsCoverBallsWhereTheyOverlap) {
  OpenStillScene(600, 480);  // one pixel per world unit
  // A star 10 units right of the resting ball: inside the contact distance,
  // so no pull, and with both at rest no bounce either.
  CurrentUniverse->stars[0]->position = Vec2(10, 0);
  const Picture picture = DrawAndReadBackBuffer();
  EXPECT_EQ(Describe(picture.At(305, 240)), Describe(White));  // both: the star wins
  EXPECT_EQ(Describe(picture.At(292, 240)), Describe(Ball()));  // the ball alone
  EXPECT_EQ(Describe(picture.At(323, 240)), Describe(White));  // the star alone
  EXPECT_EQ(Describe(picture.At(300, 265)), Describe(BackgroundColour));
}

// A ball of 24 units, less its polygon's flattening, across and down.
TEST_F(PictureTest, BallSizeFollowsEachAxisScale) {
  const struct {
    int width, height, across, down;
  } rows[] = {{1024, 768, 41, 38}, {1280, 1024, 51, 51}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.width) + "x" + std::to_string(row.height));
    OpenStillScene(row.width, row.height);
    const Picture picture = DrawAndReadBackBuffer();
    EXPECT_NEAR(RunLength(picture, row.width / 2, row.height / 2, 1, 0, Ball()), row.across, 1);
    EXPECT_NEAR(RunLength(picture, row.width / 2, row.height / 2, 0, 1, Ball()), row.down, 1);
  }
}

}  // namespace
