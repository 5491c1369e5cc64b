// Renewal of the universe by age, read from the calendar clock each frame,
// and what happens when a new universe cannot be allocated.
#include <gtest/gtest.h>

#include <climits>

#include "render/SaverProc.h"
#include "sim/Universe.h"
#include "tests/render/SaverTestSupport.h"

namespace {

class RenewalTest : public SaverWindowTest {
 protected:
  void SetUp() override {
    OpenWindow(320, 256);
    ASSERT_NE(CurrentUniverse, nullptr);
  }
};

enum Step { Frame, KeyB };

struct RenewalRow {
  Step step;
  int64_t now;    // seconds after StartTime, wrapped to the 32-bit clock
  bool replaced;  // a new universe is in place afterwards
  const char* note;
};

TEST_F(RenewalTest, UniverseIsReplacedOnlyWhenOlderThanSixtySeconds) {
  const int64_t toMax = int64_t(INT32_MAX) - StartTime;  // the clock's last second
  const RenewalRow rows[] = {
      {Frame, 0, false, "new"},
      {Frame, 59, false, "59 s old"},
      {Frame, 60, false, "exactly 60 s old"},
      {Frame, 61, true, "61 s old"},
      {Frame, 121, false, "the new one is 60 s old"},
      {Frame, 122, true, "the new one is 61 s old"},
      {Frame, 3722, true, "a late frame replaces at once"},
      {Frame, 3721, false, "clock set back a second"},
      {Frame, -86400, false, "clock set back a day"},
      {KeyB, -86400, true, "a command key still replaces, stamped as the clock reads"},
      {Frame, -86400 + 60, false, "60 s after the key"},
      {Frame, -86400 + 61, true, "61 s after the key"},
      {KeyB, toMax - 10, true, "made just before the 32-bit clock wraps"},
      {Frame, toMax + 61, true, "71 s later the clock reads very negative"},
      {KeyB, toMax + 11, true, "made just after the wrap"},
      {Frame, toMax, false, "a reading just before it is 11 s in the past"},
  };
  for (const RenewalRow& row : rows) {
    SCOPED_TRACE(row.note);
    FakeNow = static_cast<int32_t>(static_cast<uint32_t>(StartTime + row.now));
    const Universe* before = CurrentUniverse;
    if (row.step == Frame) RunFrames(1);
    else EXPECT_TRUE(SendKey('B'));
    EXPECT_EQ(CurrentUniverse != before, row.replaced);
    if (row.replaced) EXPECT_EQ(CurrentUniverse->creationTime, FakeNow);
  }
}

TEST_F(RenewalTest, WithoutMemoryKeysAndFramesKeepTheUniverseUntilMemoryReturns) {
  const Universe* before = CurrentUniverse;
  const int32_t stars = CurrentUniverse->starCount;
  {
    AllocationFailureScope noMemory;
    for (WPARAM key : {'B', 'M', 'N', 'X', 'Z'}) EXPECT_TRUE(SendKey(key));
    FakeNow = StartTime + 61;
    RunFrames(2);
  }
  EXPECT_GE(RefusedAllocations, 6);
  EXPECT_EQ(CurrentUniverse, before);
  EXPECT_EQ(CurrentUniverse->starCount, stars);
  EXPECT_EQ(TakePostedCloses(window_), 0);
  FakeNow = StartTime + 62;
  RunFrames(1);
  EXPECT_NE(CurrentUniverse, before);
  EXPECT_EQ(CurrentUniverse->creationTime, StartTime + 62);
}

// The first universe could not be made: frames show the bare background and
// do not crash, and the first frame with memory again makes one.
TEST_F(SaverWindowTest, WithoutAFirstUniverseFramesRetryUntilOneCanBeMade) {
  {
    AllocationFailureScope noMemory;
    OpenWindow(320, 256);
    EXPECT_EQ(CurrentUniverse, nullptr);
    RunFrames(3);
    EXPECT_EQ(CurrentUniverse, nullptr);
  }
  EXPECT_GE(RefusedAllocations, 4);
  EXPECT_EQ(TakePostedCloses(window_), 0);
  RunFrames(1);
  ASSERT_NE(CurrentUniverse, nullptr);
  EXPECT_EQ(CurrentUniverse->creationTime, FakeNow);
}

}  // namespace
