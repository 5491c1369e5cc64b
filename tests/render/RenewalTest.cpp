// Renewal of the universe by age, read from the calendar clock each frame.
#include <gtest/gtest.h>

#include <climits>

#include "render/SaverProc.h"
#include "sim/Universe.h"
#include "tests/render/FailingAllocator.h"
#include "tests/render/SaverWindowTest.h"

namespace {

class RenewalTest : public SaverWindowTest {
 protected:
  void SetUp() override {
    SaverWindowTest::SetUp();
    OpenWindow(320, 256);
    ASSERT_NE(CurrentUniverse, nullptr);
  }

  // Runs one frame at `now`; true when it put a new universe in place.
  bool FrameRenews(int32_t now) {
    FakeNow = now;
    const Universe* before = CurrentUniverse;
    SendFrame(window_);
    return CurrentUniverse != before;
  }
};

TEST_F(RenewalTest, ShownAtSixtySecondsReplacedAtSixtyOne) {
  EXPECT_EQ(CurrentUniverse->creationTime, StartTime);
  EXPECT_FALSE(FrameRenews(StartTime));
  EXPECT_FALSE(FrameRenews(StartTime + 59));
  EXPECT_FALSE(FrameRenews(StartTime + 60));
  EXPECT_TRUE(FrameRenews(StartTime + 61));
  EXPECT_EQ(CurrentUniverse->creationTime, StartTime + 61);
  // The new universe starts its own minute.
  EXPECT_FALSE(FrameRenews(StartTime + 121));
  EXPECT_TRUE(FrameRenews(StartTime + 122));
}

TEST_F(RenewalTest, LateFrameReplacesAtOnce) {
  EXPECT_TRUE(FrameRenews(StartTime + 3600));
  EXPECT_EQ(CurrentUniverse->creationTime, StartTime + 3600);
}

TEST_F(RenewalTest, ClockSetBackKeepsTheUniverseUntilItPassesAgain) {
  EXPECT_FALSE(FrameRenews(StartTime - 1));
  EXPECT_FALSE(FrameRenews(StartTime - 86400));
  // Command keys still replace it meanwhile; the replacement is stamped with
  // the clock as it now reads.
  EXPECT_EQ(SendMessageA(window_, WM_KEYDOWN, 'N', 1), 1);
  EXPECT_EQ(CurrentUniverse->creationTime, StartTime - 86400);
  EXPECT_FALSE(FrameRenews(StartTime - 86400 + 60));
  EXPECT_TRUE(FrameRenews(StartTime - 86400 + 61));
}

TEST_F(RenewalTest, AgeIsTheSigned32BitDifference) {
  // Made just before the 32-bit clock wraps: 71 seconds later it reads very
  // negative, yet the universe is 71 seconds old.
  FakeNow = INT32_MAX - 10;
  ASSERT_EQ(SendMessageA(window_, WM_KEYDOWN, 'B', 1), 1);
  EXPECT_TRUE(FrameRenews(INT32_MIN + 60));

  // Made just after the wrap, a clock reading just before it is 11 seconds
  // in the past, not four thousand million seconds late.
  FakeNow = INT32_MIN + 10;
  ASSERT_EQ(SendMessageA(window_, WM_KEYDOWN, 'B', 1), 1);
  EXPECT_FALSE(FrameRenews(INT32_MAX));
}

TEST_F(RenewalTest, RenewalWithoutMemoryKeepsTheUniverseAndTriesAgain) {
  const Universe* before = CurrentUniverse;
  {
    AllocationFailureScope noMemory;
    EXPECT_FALSE(FrameRenews(StartTime + 61));
  }
  EXPECT_GT(RefusedAllocations, 0);
  EXPECT_EQ(CurrentUniverse, before);
  EXPECT_TRUE(FrameRenews(StartTime + 62));
  EXPECT_EQ(CurrentUniverse->creationTime, StartTime + 62);
}

TEST_F(RenewalTest, FramesMoveTheBalls) {
  // Without a key the fallback ranges give at least two stars, whose pull
  // moves every ball within ten frames.
  ASSERT_GT(CurrentUniverse->starCount, 0);
  ASSERT_GT(CurrentUniverse->ballCount, 0);
  const Vec2 start = CurrentUniverse->balls[0]->position;
  RunFrames(10);
  const Vec2 end = CurrentUniverse->balls[0]->position;
  EXPECT_TRUE(end.x != start.x || end.y != start.y);
}

}  // namespace
