// The five command keys, and every other key going on to the closing rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/SaverSettings.h"
#include "host/HostState.h"
#include "render/SaverProc.h"
#include "sim/Universe.h"
#include "tests/render/SaverTestSupport.h"

namespace {

const LPARAM FirstPress = 0x00000001;  // repeat count 1, key was up
const LPARAM AutoRepeat = 0x40000001;  // key was already down

class CommandKeyTest : public SaverWindowTest {
 protected:
  void SetUp() override {
    OpenWindow(320, 256);
    ASSERT_NE(CurrentUniverse, nullptr);
    TakePostedCloses(window_);
  }
};

struct CountsRow {
  int32_t minStars, maxStars, minBalls, maxBalls;
  WPARAM key;
  LPARAM lParam;
  int32_t starsLow, starsHigh, ballsLow, ballsHigh;
};

TEST_F(CommandKeyTest, EachKeyReplacesTheUniverseWithItsRowsCounts) {
  const CountsRow rows[] = {
      {2, 7, 3, 9, 'M', FirstPress, 2, 2, 9, 9},  // fewest stars, most balls
      {2, 7, 3, 9, 'N', FirstPress, 2, 2, 3, 3},  // fewest of both
      {2, 7, 3, 9, 'X', FirstPress, 7, 7, 9, 9},  // most of both
      {2, 7, 3, 9, 'Z', FirstPress, 7, 7, 3, 3},  // most stars, fewest balls
      {2, 7, 3, 9, 'B', FirstPress, 2, 7, 3, 9},  // drawn from the ranges
      {2, 7, 3, 9, 'X', AutoRepeat, 7, 7, 9, 9},  // held down: again each time
      {2, 7, 3, 9, 'X', AutoRepeat, 7, 7, 9, 9},
      {4, 4, 5, 5, 'B', FirstPress, 4, 4, 5, 5},  // equal bounds: all alike
      {4, 4, 5, 5, 'M', FirstPress, 4, 4, 5, 5},
      {4, 4, 5, 5, 'Z', FirstPress, 4, 4, 5, 5},
      {40, 40, 99, 99, 'X', FirstPress, UniverseCapacity, UniverseCapacity, UniverseCapacity,
       UniverseCapacity},  // held to the capacity
  };
  for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
    const CountsRow& row = rows[i];
    SCOPED_TRACE("row " + std::to_string(i) + ", key " + static_cast<char>(row.key));
    SaverSettings.MinStars = row.minStars;
    SaverSettings.MaxStars = row.maxStars;
    SaverSettings.MinBalls = row.minBalls;
    SaverSettings.MaxBalls = row.maxBalls;
    FakeNow = StartTime + static_cast<int32_t>(i);
    const Universe* before = CurrentUniverse;
    EXPECT_EQ(SendMessageA(window_, WM_KEYDOWN, row.key, row.lParam), 1);
    EXPECT_NE(CurrentUniverse, before);
    EXPECT_GE(CurrentUniverse->starCount, row.starsLow);
    EXPECT_LE(CurrentUniverse->starCount, row.starsHigh);
    EXPECT_GE(CurrentUniverse->ballCount, row.ballsLow);
    EXPECT_LE(CurrentUniverse->ballCount, row.ballsHigh);
    EXPECT_EQ(CurrentUniverse->creationTime, FakeNow);
    EXPECT_EQ(TakePostedCloses(window_), 0);
  }
  RunFrames(3);
  EXPECT_TRUE(IsWindow(window_));
}

// Which keys end a full-screen saver: each message on its own, then the
// WM_CLOSE messages it posted.  In a preview none does.
struct KeyRow {
  const char* name;
  UINT message;
  WPARAM key;
  int closes;   // WM_CLOSE posted in full screen
  LRESULT result;
};

const KeyRow Keys[] = {
    {"B", WM_KEYDOWN, 'B', 0, 1},          {"M", WM_KEYDOWN, 'M', 0, 1},
    {"N", WM_KEYDOWN, 'N', 0, 1},          {"X", WM_KEYDOWN, 'X', 0, 1},
    {"Z", WM_KEYDOWN, 'Z', 0, 1},          {"A", WM_KEYDOWN, 'A', 1, 0},
    {"C", WM_KEYDOWN, 'C', 1, 0},          {"Y", WM_KEYDOWN, 'Y', 1, 0},
    {"digit 0", WM_KEYDOWN, '0', 1, 0},    {"numpad 2 (0x62)", WM_KEYDOWN, VK_NUMPAD2, 1, 0},
    {"Escape", WM_KEYDOWN, VK_ESCAPE, 1, 0}, {"Shift", WM_KEYDOWN, VK_SHIFT, 1, 0},
    {"Control", WM_KEYDOWN, VK_CONTROL, 1, 0}, {"Caps Lock", WM_KEYDOWN, VK_CAPITAL, 1, 0},
    {"F1", WM_KEYDOWN, VK_F1, 1, 0},       {"space", WM_KEYDOWN, VK_SPACE, 1, 0},
    {"Alt+B", WM_SYSKEYDOWN, 'B', 1, 0},   {"Alt+X", WM_SYSKEYDOWN, 'X', 1, 0},
};

std::string Listing(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "  " + line + "\n";
  return text;
}

TEST_F(CommandKeyTest, OnlyCommandKeysKeepAFullScreenSaverRunningAndAPreviewIgnoresTheRest) {
  for (int preview = 0; preview <= 1; ++preview) {
    PreviewMode = preview;
    std::vector<std::string> expected, recorded;
    for (const KeyRow& row : Keys) {
      const std::string name = std::string(row.name) + (preview ? " in preview" : "");
      expected.push_back(name + ": result " + std::to_string(row.result) + ", " +
                         std::to_string(preview ? 0 : row.closes) + " close");
      const Universe* before = CurrentUniverse;
      const LRESULT result = SendMessageA(window_, row.message, row.key, FirstPress);
      recorded.push_back(name + ": result " + std::to_string(result) + ", " +
                         std::to_string(TakePostedCloses(window_)) + " close");
      if (row.result == 1) EXPECT_NE(CurrentUniverse, before) << name << " replaces";
    }
    EXPECT_EQ(expected, recorded) << "expected:\n"
                                  << Listing(expected) << "recorded:\n"
                                  << Listing(recorded);
  }
}

}  // namespace
