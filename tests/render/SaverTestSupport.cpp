#include "tests/render/SaverTestSupport.h"

#include <GL/gl.h>

#include <cstdio>

#include "host/SaverWindow.h"
#include "render/DrawFrame.h"
#include "render/SaverProc.h"
#include "sim/Clock.h"

int32_t FakeNow = 0;

namespace {

int32_t ReadFakeNow() { return FakeNow; }

const char* const TestClassName = "QuillaraRenderTestWindow";

}  // namespace

void UseFakeClock(int32_t now) {
  FakeNow = now;
  ClockSource = ReadFakeNow;
}

ScratchRegistry::ScratchRegistry() {
  char name[96];
  std::snprintf(name, sizeof name, "Software\\QuillaraTests\\render-%lu-%lu", GetCurrentProcessId(),
                GetTickCount());
  name_ = name;
  HKEY scratch = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, name_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                  &scratch, nullptr);
  RegOverridePredefKey(HKEY_CURRENT_USER, scratch);
  RegCloseKey(scratch);
}

ScratchRegistry::~ScratchRegistry() {
  RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  RegDeleteTreeA(HKEY_CURRENT_USER, name_.c_str());
}

void ScratchRegistry::StoreSettings(int32_t minStars, int32_t maxStars, int32_t minBalls,
                                    int32_t maxBalls, int32_t graviticForce) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quillara", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                  nullptr);
  const struct {
    const char* name;
    int32_t value;
  } values[] = {{"MinStars", minStars},
                {"MaxStars", maxStars},
                {"MinBalls", minBalls},
                {"MaxBalls", maxBalls},
                {"GraviticForce", graviticForce}};
  for (const auto& v : values) {
    DWORD data = static_cast<DWORD>(v.value);
    RegSetValueExA(key, v.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), 4);
  }
  RegCloseKey(key);
}

HWND CreateSaverTestWindow(int width, int height) {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
  windowClass.lpfnWndProc = HostWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = TestClassName;
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, TestClassName, "Render test", WS_POPUP | WS_VISIBLE, 0, 0, width,
                                height, nullptr, nullptr, windowClass.hInstance, nullptr);
  return window;
}

void SendFrame(HWND window) { SendMessageA(window, WM_TIMER, FrameTimerId, 0); }

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

Picture::Picture(int width, int height, unsigned int buffer)
    : width_(width), height_(height), bytes_(static_cast<size_t>(width) * height * 3) {
  glReadBuffer(buffer);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bytes_.data());
}

Picture Picture::OfScreen(HWND window, int width, int height) {
  Picture picture;
  picture.width_ = width;
  picture.height_ = height;
  picture.bytes_.resize(static_cast<size_t>(width) * height * 3);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, like OpenGL's rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  const uint8_t* bgra = static_cast<const uint8_t*>(bits);
  for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
    picture.bytes_[i * 3] = bgra[i * 4 + 2];
    picture.bytes_[i * 3 + 1] = bgra[i * 4 + 1];
    picture.bytes_[i * 3 + 2] = bgra[i * 4];
  }
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return picture;
}

Rgb Picture::At(int x, int y) const {
  const size_t at = (static_cast<size_t>(y) * width_ + x) * 3;
  return Rgb{bytes_[at], bytes_[at + 1], bytes_[at + 2]};
}

Picture DrawAndReadBackBuffer() {
  DrawFrame();
  return Picture(ClientWidth, ClientHeight, GL_BACK);
}
