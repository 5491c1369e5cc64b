// Test plumbing for the saver procedure: a fixed clock, a private registry,
// a saver window driven by the real host procedure, and pixel read-back.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The calendar clock that the universes and the renewal read in tests.
extern int32_t FakeNow;
void UseFakeClock(int32_t now);

// Gives HKEY_CURRENT_USER a private scratch key for the test's lifetime, so
// LoadSettings reads only what the test stored there.
class ScratchRegistry {
 public:
  ScratchRegistry();
  ~ScratchRegistry();
  ScratchRegistry(const ScratchRegistry&) = delete;
  ScratchRegistry& operator=(const ScratchRegistry&) = delete;

  // Stores the five settings as REG_DWORD values under Software\Quillara.
  void StoreSettings(int32_t minStars, int32_t maxStars, int32_t minBalls, int32_t maxBalls,
                     int32_t graviticForce);

 private:
  std::string name_;
};

// A top-level popup window at (0, 0) whose class is like the saver's
// (CS_OWNDC) and whose procedure is the host's, so every message takes the
// real path HostWindowProc -> SaverProc -> DefaultSaverProc.
HWND CreateSaverTestWindow(int width, int height);

// Sends one WM_TIMER, which runs one frame.
void SendFrame(HWND window);

// Takes every WM_CLOSE posted to the window out of its queue, undelivered.
int TakePostedCloses(HWND window);

struct Rgb {
  uint8_t red;
  uint8_t green;
  uint8_t blue;
};
bool operator==(Rgb a, Rgb b);
std::string Describe(Rgb colour);

const Rgb BackgroundColour = {51, 51, 51};
const Rgb White = {255, 255, 255};

// The current OpenGL context's colour buffer (GL_BACK or GL_FRONT), bottom row
// first as OpenGL numbers them.
class Picture {
 public:
  Picture(int width, int height, unsigned int buffer);
  // What the screen shows of the window's client area, read through GDI.
  static Picture OfScreen(HWND window, int width, int height);
  Rgb At(int x, int y) const;
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_;
  int height_;
  Picture() : width_(0), height_(0) {}
  std::vector<uint8_t> bytes_;
};

// Picture of the back buffer after one DrawFrame, the frame without its swap.
Picture DrawAndReadBackBuffer();
