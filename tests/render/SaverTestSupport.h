// Test plumbing for the saver procedure: a fixed clock, a private registry,
// a saver window driven by the real host procedure, pixel read-back, and a
// switch that makes every C++ allocation fail.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The calendar clock that the universes and the renewal read in tests.
extern int32_t FakeNow;

// While non-zero every operator new fails (throwing forms throw, nothrow forms
// return null); RefusedAllocations counts the refusals.
extern volatile int FailAllocations;
extern volatile long RefusedAllocations;
struct AllocationFailureScope {
  AllocationFailureScope() { FailAllocations = 1; }
  ~AllocationFailureScope() { FailAllocations = 0; }
};

// Takes every WM_CLOSE posted to the window out of its queue, undelivered.
int TakePostedCloses(HWND window);

struct Rgb {
  uint8_t red, green, blue;
};
bool operator==(Rgb a, Rgb b);
std::string Describe(Rgb colour);
const Rgb BackgroundColour = {51, 51, 51};
const Rgb White = {255, 255, 255};

// The back buffer after one more DrawFrame (the frame without its swap),
// bottom row first as OpenGL numbers them.
struct Picture {
  int width, height;
  std::vector<uint8_t> bytes;
  Rgb At(int x, int y) const;
};
// A size larger than the client area at creation shows the rest of the window.
Picture DrawAndReadBackBuffer(int width = 0, int height = 0);

// Fixture: HKEY_CURRENT_USER redirected to a private scratch key, the fixed
// clock at StartTime, and one top-level popup at (0, 0) whose class is like
// the saver's (CS_OWNDC) and whose procedure is the host's, so every message
// takes the real path HostWindowProc -> SaverProc -> DefaultSaverProc.
class SaverWindowTest : public ::testing::Test {
 protected:
  static constexpr int32_t StartTime = 1000000000;  // any fixed second will do

  SaverWindowTest();
  ~SaverWindowTest() override;
  void TearDown() override;

  // Stores the five settings as REG_DWORD values under Software\Quillara.
  void StoreSettings(int32_t minStars, int32_t maxStars, int32_t minBalls, int32_t maxBalls,
                     int32_t graviticForce);
  HWND OpenWindow(int width, int height);
  // Sends WM_TIMER messages, each of which runs one frame.
  void RunFrames(int count);
  bool SendKey(WPARAM key, LPARAM lParam = 1) {
    return SendMessageA(window_, WM_KEYDOWN, key, lParam) == 1;
  }

  std::string scratch_;
  HWND window_ = nullptr;
};
