#include "render/SaverProc.h"

#include "config/SettingsStore.h"
#include "host/DefaultSaverProc.h"
#include "render/GLContext.h"
#include "render/scene/Scene.h"

HDC DeviceContext = nullptr;
HGLRC RenderContext = nullptr;
int32_t ClientWidth = 0;
int32_t ClientHeight = 0;

namespace {

LRESULT OnSaverCreate(HWND window) {
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

LRESULT OnSaverDestroy(HWND window) {
  KillTimer(window, FrameTimerId);
  CleanupScene();
  ReleaseGLContext(window, DeviceContext, RenderContext);
  // The last universe stays until the process ends.
  return 0;
}

// A command key replaces the universe and is consumed, so it never ends the
// saver; every other key goes on to the default handling, which may.
LRESULT OnSaverKeyDown(HWND window, WPARAM wParam, LPARAM lParam) {
  // A virtual-key code fills the whole of wParam; anything wider is no key.
  const uint32_t keyCode = static_cast<uint32_t>(wParam);
  if (wParam == keyCode && RunCommandKey(keyCode)) return 1;
  return DefaultSaverProc(window, WM_KEYDOWN, wParam, lParam);
}

LRESULT OnSaverTimer() {
  RunFrame(DeviceContext);
  return 0;
}

}  // namespace

LRESULT SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnSaverCreate(window);
    case WM_DESTROY:
      return OnSaverDestroy(window);
    case WM_KEYDOWN:
      return OnSaverKeyDown(window, wParam, lParam);
    case WM_TIMER:
      return OnSaverTimer();
    default:
      return DefaultSaverProc(window, message, wParam, lParam);
  }
}

void RunFrame(HDC deviceContext) {
  DrawFrame();
  SwapBuffers(deviceContext);
}
