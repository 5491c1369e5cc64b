#include "render/SaverProc.h"

#include "config/SaverSettings.h"
#include "config/SettingsStore.h"
#include "host/DefaultSaverProc.h"
#include "render/GLContext.h"
#include "render/Scene.h"

HDC DeviceContext = nullptr;
HGLRC RenderContext = nullptr;
int32_t ClientWidth = 0;
int32_t ClientHeight = 0;

namespace {

typedef int32_t SaverSettingsRecord::*CountField;

struct CommandKey {
  uint32_t code;     // virtual-key code: the upper-case letter
  CountField stars;  // both null: random counts from the ranges
  CountField balls;
};

const CommandKey CommandKeys[] = {
    {'B', nullptr, nullptr},
    {'M', &SaverSettingsRecord::MinStars, &SaverSettingsRecord::MaxBalls},
    {'N', &SaverSettingsRecord::MinStars, &SaverSettingsRecord::MinBalls},
    {'X', &SaverSettingsRecord::MaxStars, &SaverSettingsRecord::MaxBalls},
    {'Z', &SaverSettingsRecord::MaxStars, &SaverSettingsRecord::MinBalls},
};

const CommandKey* FindCommandKey(uint32_t keyCode) {
  for (const CommandKey& key : CommandKeys) {
    if (key.code == keyCode) return &key;
  }
  return nullptr;
}

LRESULT OnCreate(HWND window) {
  RECT client = {0, 0, 0, 0};
  GetClientRect(window, &client);
  ClientWidth = client.right;
  ClientHeight = client.bottom;
  // Before the scene: its first universe takes its counts from the settings.
  LoadSettings();
  CreateGLContext(window, &DeviceContext, &RenderContext);
  SetupScene(ClientWidth, ClientHeight);
  SetTimer(window, FrameTimerId, FramePeriodMs, nullptr);
  return 0;
}

LRESULT OnDestroy(HWND window) {
  KillTimer(window, FrameTimerId);
  CleanupScene();
  ReleaseGLContext(window, DeviceContext, RenderContext);
  // The last universe stays until the process ends.
  return 0;
}

// A command key replaces the universe and is consumed, so it never ends the
// saver; every other key goes on to the default handling, which may.
LRESULT OnKeyDown(HWND window, WPARAM wParam, LPARAM lParam) {
  // A virtual-key code fills the whole of wParam; anything wider is no key.
  const uint32_t keyCode = static_cast<uint32_t>(wParam);
  if (wParam != keyCode || !IsCommandKey(keyCode)) {
    return DefaultSaverProc(window, WM_KEYDOWN, wParam, lParam);
  }
  ReplaceUniverse(NewUniverseForKey(keyCode));
  return 1;
}

LRESULT OnTimer() {
  RunFrame(DeviceContext);
  return 0;
}

}  // namespace

LRESULT SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(window);
    case WM_DESTROY:
      return OnDestroy(window);
    case WM_KEYDOWN:
      return OnKeyDown(window, wParam, lParam);
    case WM_TIMER:
      return OnTimer();
    default:
      return DefaultSaverProc(window, message, wParam, lParam);
  }
}

bool IsCommandKey(uint32_t keyCode) { return FindCommandKey(keyCode) != nullptr; }

Universe* NewUniverseForKey(uint32_t keyCode) {
  const CommandKey* key = FindCommandKey(keyCode);
  if (key == nullptr) return nullptr;
  if (key->stars == nullptr) return NewRandomUniverse();
  return NewUniverseWithCounts(SaverSettings.*(key->stars), SaverSettings.*(key->balls));
}

void RunFrame(HDC deviceContext) {
  DrawFrame();
  SwapBuffers(deviceContext);
}
