// The five command keys, and every other key going on to the closing rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/SaverSettings.h"
#include "host/HostState.h"
#include "render/SaverProc.h"
#include "sim/Universe.h"
#include "tests/render/FailingAllocator.h"
#include "tests/render/SaverWindowTest.h"

namespace {

const LPARAM FirstPress = 0x00000001;  // repeat count 1, key was up
const LPARAM AutoRepeat = 0x40000001;  // key was already down

class CommandKeyTest : public SaverWindowTest {
 protected:
  void SetUp() override {
    SaverWindowTest::SetUp();
    OpenWindow(320, 256);
    ASSERT_NE(CurrentUniverse, nullptr);
    TakePostedCloses(window_);
  }

  void UseRanges(int32_t minStars, int32_t maxStars, int32_t minBalls, int32_t maxBalls) {
    SaverSettings.MinStars = minStars;
    SaverSettings.MaxStars = maxStars;
    SaverSettings.MinBalls = minBalls;
    SaverSettings.MaxBalls = maxBalls;
  }
};

struct GivenCountsRow {
  WPARAM key;
  int32_t stars;
  int32_t balls;
};

TEST_F(CommandKeyTest, MNXZGiveTheCountsOfTheirRow) {
  UseRanges(2, 7, 3, 9);
  const GivenCountsRow rows[] = {{'M', 2, 9}, {'N', 2, 3}, {'X', 7, 9}, {'Z', 7, 3}};
  for (const GivenCountsRow& row : rows) {
    SCOPED_TRACE(std::string("key ") + static_cast<char>(row.key));
    const Universe* before = CurrentUniverse;
    EXPECT_EQ(SendMessageA(window_, WM_KEYDOWN, row.key, FirstPress), 1);
    EXPECT_NE(CurrentUniverse, before);
    EXPECT_EQ(CurrentUniverse->starCount, row.stars);
    EXPECT_EQ(CurrentUniverse->ballCount, row.balls);
    EXPECT_EQ(TakePostedCloses(window_), 0);
  }
  EXPECT_TRUE(IsWindow(window_));
}

TEST_F(CommandKeyTest, BDrawsCountsFromTheRangesAsTheyAreNow) {
  UseRanges(2, 7, 3, 9);
  for (int32_t second = 0; second < 20; ++second) {
    FakeNow = StartTime + second;
    const Universe* before = CurrentUniverse;
    EXPECT_EQ(SendMessageA(window_, WM_KEYDOWN, 'B', FirstPress), 1);
    EXPECT_NE(CurrentUniverse, before);
    EXPECT_GE(CurrentUniverse->starCount, 2);
    EXPECT_LE(CurrentUniverse->starCount, 7);
    EXPECT_GE(CurrentUniverse->ballCount, 3);
    EXPECT_LE(CurrentUniverse->ballCount, 9);
    EXPECT_EQ(CurrentUniverse->creationTime, StartTime + second);
  }
  EXPECT_EQ(TakePostedCloses(window_), 0);
}

TEST_F(CommandKeyTest, EqualBoundsMakeAllFiveKeysAlike) {
  UseRanges(4, 4, 5, 5);
  for (WPARAM key : {'B', 'M', 'N', 'X', 'Z'}) {
    SCOPED_TRACE(std::string("key ") + static_cast<char>(key));
    EXPECT_EQ(SendMessageA(window_, WM_KEYDOWN, key, FirstPress), 1);
    EXPECT_EQ(CurrentUniverse->starCount, 4);
    EXPECT_EQ(CurrentUniverse->ballCount, 5);
  }
}

TEST_F(CommandKeyTest, AutoRepeatReplacesAgainEachTime) {
  UseRanges(2, 7, 3, 9);
  EXPECT_EQ(SendMessageA(window_, WM_KEYDOWN, 'X', FirstPress), 1);
  for (int i = 0; i < 5; ++i) {
    const Universe* before = CurrentUniverse;
    EXPECT_EQ(SendMessageA(window_, WM_KEYDOWN, 'X', AutoRepeat), 1);
    EXPECT_NE(CurrentUniverse, before);
    EXPECT_EQ(CurrentUniverse->starCount, 7);
  }
  EXPECT_EQ(TakePostedCloses(window_), 0);
}

TEST_F(CommandKeyTest, BTwiceInOneSecondStartsTheSamePictureOver) {
  SendMessageA(window_, WM_KEYDOWN, 'B', FirstPress);
  std::vector<float> first;
  for (int i = 0; i < CurrentUniverse->ballCount; ++i) {
    first.push_back(CurrentUniverse->balls[i]->position.x);
    first.push_back(CurrentUniverse->balls[i]->position.y);
  }
  RunFrames(3);  // the first universe moves on, the second starts afresh
  SendMessageA(window_, WM_KEYDOWN, 'B', FirstPress);
  std::vector<float> second;
  for (int i = 0; i < CurrentUniverse->ballCount; ++i) {
    second.push_back(CurrentUniverse->balls[i]->position.x);
    second.push_back(CurrentUniverse->balls[i]->position.y);
  }
  EXPECT_EQ(first, second);
}

TEST_F(CommandKeyTest, CommandKeyWithoutMemoryKeepsTheUniverse) {
  UseRanges(2, 7, 3, 9);
  const Universe* before = CurrentUniverse;
  const int32_t stars = CurrentUniverse->starCount;
  {
    AllocationFailureScope noMemory;
    for (WPARAM key : {'B', 'M', 'N', 'X', 'Z'}) {
      EXPECT_EQ(SendMessageA(window_, WM_KEYDOWN, key, FirstPress), 1);
    }
  }
  EXPECT_GE(RefusedAllocations, 5);
  EXPECT_EQ(CurrentUniverse, before);
  EXPECT_EQ(CurrentUniverse->starCount, stars);
  EXPECT_EQ(TakePostedCloses(window_), 0);
  RunFrames(2);
  EXPECT_EQ(SendMessageA(window_, WM_KEYDOWN, 'M', FirstPress), 1);
  EXPECT_NE(CurrentUniverse, before);
  EXPECT_EQ(CurrentUniverse->ballCount, 9);
}

// Which keys end a full-screen saver: every message of the table is sent on
// its own, and the posted WM_CLOSE messages that follow are recorded.
struct KeyRow {
  const char* name;
  UINT message;
  WPARAM key;
  int closes;  // WM_CLOSE posted in full screen
};

const KeyRow FullScreenKeys[] = {
    {"B", WM_KEYDOWN, 'B', 0},
    {"M", WM_KEYDOWN, 'M', 0},
    {"N", WM_KEYDOWN, 'N', 0},
    {"X", WM_KEYDOWN, 'X', 0},
    {"Z", WM_KEYDOWN, 'Z', 0},
    {"A", WM_KEYDOWN, 'A', 1},
    {"C", WM_KEYDOWN, 'C', 1},
    {"Y", WM_KEYDOWN, 'Y', 1},
    {"digit 0", WM_KEYDOWN, '0', 1},
    {"numpad 2 (0x62)", WM_KEYDOWN, VK_NUMPAD2, 1},
    {"Escape", WM_KEYDOWN, VK_ESCAPE, 1},
    {"Shift", WM_KEYDOWN, VK_SHIFT, 1},
    {"Control", WM_KEYDOWN, VK_CONTROL, 1},
    {"Caps Lock", WM_KEYDOWN, VK_CAPITAL, 1},
    {"F1", WM_KEYDOWN, VK_F1, 1},
    {"space", WM_KEYDOWN, VK_SPACE, 1},
    {"Alt+B", WM_SYSKEYDOWN, 'B', 1},
    {"Alt+X", WM_SYSKEYDOWN, 'X', 1},
};

std::string Listing(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "  " + line + "\n";
  return text;
}

std::vector<std::string> ExpectedListing(const KeyRow* rows, size_t count, bool preview) {
  std::vector<std::string> lines;
  for (size_t i = 0; i < count; ++i) {
    const int closes = preview ? 0 : rows[i].closes;
    lines.push_back(std::string(rows[i].name) + ": " + std::to_string(closes) + " close");
  }
  return lines;
}

std::vector<std::string> RecordedListing(HWND window, const KeyRow* rows, size_t count) {
  std::vector<std::string> lines;
  for (size_t i = 0; i < count; ++i) {
    SendMessageA(window, rows[i].message, rows[i].key, FirstPress);
    lines.push_back(std::string(rows[i].name) + ": " + std::to_string(TakePostedCloses(window)) +
                    " close");
  }
  return lines;
}

TEST_F(CommandKeyTest, OnlyCommandKeysKeepAFullScreenSaverRunning) {
  const size_t count = sizeof FullScreenKeys / sizeof FullScreenKeys[0];
  const std::vector<std::string> expected = ExpectedListing(FullScreenKeys, count, false);
  const std::vector<std::string> recorded = RecordedListing(window_, FullScreenKeys, count);
  EXPECT_EQ(expected, recorded) << "expected:\n"
                                << Listing(expected) << "recorded:\n"
                                << Listing(recorded);
}

TEST_F(CommandKeyTest, OtherKeysReturnTheDefaultResult) {
  EXPECT_EQ(SendMessageA(window_, WM_KEYDOWN, 'A', FirstPress), 0);
  EXPECT_EQ(TakePostedCloses(window_), 1);
}

class PreviewKeyTest : public SaverWindowTest {};

TEST_F(PreviewKeyTest, PreviewReplacesOnCommandKeysAndIgnoresOthers) {
  PreviewMode = 1;
  OpenWindow(152, 112);
  ASSERT_NE(CurrentUniverse, nullptr);
  TakePostedCloses(window_);
  const size_t count = sizeof FullScreenKeys / sizeof FullScreenKeys[0];
  const std::vector<std::string> expected = ExpectedListing(FullScreenKeys, count, true);
  const std::vector<std::string> recorded = RecordedListing(window_, FullScreenKeys, count);
  EXPECT_EQ(expected, recorded) << "expected:\n"
                                << Listing(expected) << "recorded:\n"
                                << Listing(recorded);
  SaverSettings.MinStars = 3;
  const Universe* before = CurrentUniverse;
  EXPECT_EQ(SendMessageA(window_, WM_KEYDOWN, 'N', FirstPress), 1);
  EXPECT_NE(CurrentUniverse, before);
  EXPECT_EQ(CurrentUniverse->starCount, 3);
}

}  // namespace
