#include "tests/render/SaverTestSupport.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <new>

#include "host/SaverWindow.h"
#include "render/DrawFrame.h"
#include "render/SaverProc.h"
#include "sim/Clock.h"

int32_t FakeNow = 0;
volatile int FailAllocations = 0;
volatile long RefusedAllocations = 0;

namespace {

int32_t ReadFakeNow() { return FakeNow; }

void* Allocate(std::size_t size) {
  if (FailAllocations) {
    ++RefusedAllocations;
    return nullptr;
  }
  return std::malloc(size == 0 ? 1 : size);
}

void* AllocateOrThrow(std::size_t size) {
  void* block = Allocate(size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

}  // namespace

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

SaverWindowTest::SaverWindowTest() {
  FakeNow = StartTime;
  ClockSource = ReadFakeNow;
  char name[96];
  std::snprintf(name, sizeof name, "Software\\QuillaraTests\\render-%lu-%lu", GetCurrentProcessId(),
                GetTickCount());
  scratch_ = name;
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  RegOverridePredefKey(HKEY_CURRENT_USER, key);
  RegCloseKey(key);
}

SaverWindowTest::~SaverWindowTest() {
  RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  RegDeleteTreeA(HKEY_CURRENT_USER, scratch_.c_str());
}

void SaverWindowTest::TearDown() {
  if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
}

void SaverWindowTest::StoreSettings(int32_t minStars, int32_t maxStars, int32_t minBalls,
                                    int32_t maxBalls, int32_t graviticForce) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quillara", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                  nullptr);
  const char* const names[] = {"MinStars", "MaxStars", "MinBalls", "MaxBalls", "GraviticForce"};
  const DWORD values[] = {DWORD(minStars), DWORD(maxStars), DWORD(minBalls), DWORD(maxBalls),
                          DWORD(graviticForce)};
  for (int i = 0; i < 5; ++i)
    RegSetValueExA(key, names[i], 0, REG_DWORD, reinterpret_cast<const BYTE*>(&values[i]), 4);
  RegCloseKey(key);
}

HWND SaverWindowTest::OpenWindow(int width, int height) {
  if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
  WNDCLASSA windowClass = {};
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
  windowClass.lpfnWndProc = HostWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = "QuillaraRenderTestWindow";
  RegisterClassA(&windowClass);
  window_ = CreateWindowExA(0, windowClass.lpszClassName, "Render test", WS_POPUP | WS_VISIBLE, 0,
                            0, width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
  return window_;
}

void SaverWindowTest::RunFrames(int count) {
  for (int i = 0; i < count; ++i) SendMessageA(window_, WM_TIMER, FrameTimerId, 0);
}

int TakePostedCloses(HWND window) {
  int closes = 0;
  MSG message;
  while (PeekMessageA(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE)) ++closes;
  return closes;
}

bool operator==(Rgb a, Rgb b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }

std::string Describe(Rgb colour) {
  char text[32];
  std::snprintf(text, sizeof text, "(%d, %d, %d)", colour.red, colour.green, colour.blue);
  return text;
}

Rgb Picture::At(int x, int y) const {
  const size_t at = (static_cast<size_t>(y) * width + x) * 3;
  return Rgb{bytes[at], bytes[at + 1], bytes[at + 2]};
}

Picture DrawAndReadBackBuffer(int width, int height) {
  DrawFrame();
  Picture picture = {width ? width : ClientWidth, height ? height : ClientHeight};
  picture.bytes.resize(static_cast<size_t>(picture.width) * picture.height * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, picture.width, picture.height, GL_RGB, GL_UNSIGNED_BYTE, picture.bytes.data());
  return picture;
}
