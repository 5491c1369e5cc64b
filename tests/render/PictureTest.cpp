// The picture of a frame, read back from the back buffer before the swap and
// compared with what the fixed view makes of the universe's bodies.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "config/SaverSettings.h"
#include "render/DrawFrame.h"
#include "render/SaverProc.h"
#include "sim/Universe.h"
#include "tests/render/PictureOracle.h"
#include "tests/render/SaverWindowTest.h"

namespace {

class PictureTest : public SaverWindowTest {
 protected:
  // A busy universe, some frames in, drawn once more and compared whole.
  void ExpectPictureMatchesUniverse(int width, int height, int gridStep) {
    registry_.StoreSettings(12, 12, 12, 12, 80);
    OpenWindow(width, height);
    ASSERT_NE(CurrentUniverse, nullptr);
    RunFrames(25);
    const Picture picture = DrawAndReadBackBuffer();
    int compared = 0, centres = 0;
    const std::vector<std::string> mismatches =
        ComparePicture(*CurrentUniverse, picture, gridStep, &compared, &centres);
    for (size_t i = 0; i < mismatches.size() && i < 20; ++i) ADD_FAILURE() << mismatches[i];
    EXPECT_EQ(mismatches.size(), 0u) << "of " << compared << " samples";
    // Most of the 24 bodies lie inside the view; some start below it.
    EXPECT_GE(centres, 12);
    EXPECT_GE(compared, (width / gridStep) * (height / gridStep) / 2);
  }

  // One star per world corner, one ball in the middle, nothing moving.
  void ArrangeStillScene() {
    ASSERT_EQ(CurrentUniverse->starCount, 4);
    ASSERT_EQ(CurrentUniverse->ballCount, 1);
    SaverSettings.GraviticForce = 0;
    const Vec2 corners[4] = {{-300, -240}, {300, -240}, {-300, 240}, {300, 240}};
    for (int i = 0; i < 4; ++i) CurrentUniverse->stars[i]->position = corners[i];
    Ball& ball = *CurrentUniverse->balls[0];
    ball.position = Vec2(0, 0);
    ball.velocity = Vec2(0, 0);
  }

  Rgb BallColour() const {
    const Ball& ball = *CurrentUniverse->balls[0];
    return Rgb{static_cast<uint8_t>(ball.red * 255), static_cast<uint8_t>(ball.green * 255),
               static_cast<uint8_t>(ball.blue * 255)};
  }

  // Length of the run of `colour` through (x, y), along a row or a column.
  static int RunLength(const Picture& picture, int x, int y, int dx, int dy, Rgb colour) {
    if (!(picture.At(x, y) == colour)) return 0;
    int length = 1;
    for (int s = -1; s <= 1; s += 2) {
      int cx = x + s * dx, cy = y + s * dy;
      while (cx >= 0 && cy >= 0 && cx < picture.width() && cy < picture.height() &&
             picture.At(cx, cy) == colour) {
        ++length;
        cx += s * dx;
        cy += s * dy;
      }
    }
    return length;
  }
};

TEST_F(PictureTest, FullScreenFiveByFourMatchesTheView) {
  ExpectPictureMatchesUniverse(1280, 1024, 16);
}

TEST_F(PictureTest, PreviewSizedWindowShowsTheWholeWorld) {
  ExpectPictureMatchesUniverse(152, 112, 2);
}

TEST_F(PictureTest, FourByThreeWindowStretchesTheWorldToFit) {
  ExpectPictureMatchesUniverse(1024, 768, 12);
}

TEST_F(PictureTest, WorldCornersLandOnWindowCorners) {
  registry_.StoreSettings(4, 4, 1, 1, 80);
  OpenWindow(640, 512);
  ArrangeStillScene();
  const Picture picture = DrawAndReadBackBuffer();
  // Each corner star covers a quarter disc around its window corner.
  EXPECT_EQ(Describe(picture.At(0, 0)), Describe(White));
  EXPECT_EQ(Describe(picture.At(639, 0)), Describe(White));
  EXPECT_EQ(Describe(picture.At(0, 511)), Describe(White));
  EXPECT_EQ(Describe(picture.At(639, 511)), Describe(White));
  // 15 units is 16 pixels here: just beyond it lies the background.
  EXPECT_EQ(Describe(picture.At(18, 0)), Describe(BackgroundColour));
  EXPECT_EQ(Describe(picture.At(0, 18)), Describe(BackgroundColour));
  EXPECT_EQ(Describe(picture.At(621, 511)), Describe(BackgroundColour));
  // The world's origin is the window's centre: the ball's four centre pixels.
  for (int x = 319; x <= 320; ++x) {
    for (int y = 255; y <= 256; ++y) EXPECT_EQ(Describe(picture.At(x, y)), Describe(BallColour()));
  }
  EXPECT_EQ(Describe(picture.At(160, 256)), Describe(BackgroundColour));
}

TEST_F(PictureTest, StarsCoverBallsWhereTheyOverlap) {
  registry_.StoreSettings(4, 4, 1, 1, 80);
  OpenWindow(600, 480);  // one pixel per world unit
  ArrangeStillScene();
  // A star 10 units right of the resting ball: inside the contact distance,
  // so no pull, and with both at rest no bounce either.
  CurrentUniverse->stars[0]->position = Vec2(10, 0);
  const Picture picture = DrawAndReadBackBuffer();
  EXPECT_EQ(Describe(picture.At(305, 240)), Describe(White));         // both: the star wins
  EXPECT_EQ(Describe(picture.At(292, 240)), Describe(BallColour()));  // the ball alone
  EXPECT_EQ(Describe(picture.At(323, 240)), Describe(White));         // the star alone
  EXPECT_EQ(Describe(picture.At(300, 265)), Describe(BackgroundColour));
}

TEST_F(PictureTest, BallOnFourByThreeScreenIsFortyOneByThirtyEightPixels) {
  registry_.StoreSettings(4, 4, 1, 1, 80);
  OpenWindow(1024, 768);
  ArrangeStillScene();
  const Picture picture = DrawAndReadBackBuffer();
  const int across = RunLength(picture, 512, 384, 1, 0, BallColour());
  const int down = RunLength(picture, 512, 384, 0, 1, BallColour());
  // 24 units at 1024/600 and 768/480 pixels per unit, less the polygon's
  // flattening: about 41 by 38.
  EXPECT_NEAR(across, 41, 1);
  EXPECT_NEAR(down, 38, 1);
}

TEST_F(PictureTest, CirclesStayRoundOnFiveByFourScreen) {
  registry_.StoreSettings(4, 4, 1, 1, 80);
  OpenWindow(1280, 1024);
  ArrangeStillScene();
  const Picture picture = DrawAndReadBackBuffer();
  const int across = RunLength(picture, 640, 512, 1, 0, BallColour());
  const int down = RunLength(picture, 640, 512, 0, 1, BallColour());
  EXPECT_NEAR(across, 51, 1);
  EXPECT_NEAR(down, across, 1);
}

TEST_F(PictureTest, ViewportKeepsTheSizeOfCreation) {
  registry_.StoreSettings(4, 4, 1, 1, 80);
  OpenWindow(640, 512);
  ArrangeStillScene();
  SetWindowPos(window_, nullptr, 0, 0, 1024, 768, SWP_NOZORDER | SWP_NOACTIVATE);
  DrawFrame();
  const Picture picture(1024, 768, GL_BACK);
  // Still drawn into the lower left 640 x 512: the ball at (320, 256).
  EXPECT_EQ(Describe(picture.At(320, 256)), Describe(BallColour()));
  EXPECT_EQ(Describe(picture.At(512, 384)), Describe(BackgroundColour));
  EXPECT_EQ(Describe(picture.At(639, 511)), Describe(White));
}

TEST_F(PictureTest, TimerFrameReachesTheScreen) {
  registry_.StoreSettings(12, 12, 12, 12, 80);
  OpenWindow(640, 512);
  RunFrames(5);
  // The next frame through the timer message, then what the screen shows.
  RunFrames(1);
  const Picture picture = Picture::OfScreen(window_, 640, 512);
  int compared = 0, centres = 0;
  const std::vector<std::string> mismatches =
      ComparePicture(*CurrentUniverse, picture, 8, &compared, &centres);
  for (size_t i = 0; i < mismatches.size() && i < 20; ++i) ADD_FAILURE() << mismatches[i];
  EXPECT_EQ(mismatches.size(), 0u) << "of " << compared << " samples";
  EXPECT_GE(centres, 12);
}

}  // namespace
