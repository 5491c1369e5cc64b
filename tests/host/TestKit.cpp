#include "tests/host/TestKit.h"

#include "host/DefaultSaverProc.h"
#include "host/HostState.h"
#include "host/SaverWindow.h"
#include "tests/host/EventLog.h"

#include <cstdio>

ScratchRegistry::ScratchRegistry() {
  std::snprintf(path, sizeof path, "Software\\QuillaraHostTests\\%lu_%lu", GetCurrentProcessId(),
                GetTickCount());
  HKEY scratch = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &scratch,
                  nullptr);
  RegOverridePredefKey(HKEY_CURRENT_USER, scratch);
  RegCloseKey(scratch);
}

ScratchRegistry::~ScratchRegistry() {
  RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  RegDeleteTreeA(HKEY_CURRENT_USER, path);
}

void ScratchRegistry::SetUsePassword(DWORD type, const void* data, DWORD size) {
  bool recording = RecordingOn;
  RecordingOn = false;
  HKEY desktop = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS,
                  nullptr, &desktop, nullptr);
  RegSetValueExA(desktop, "ScreenSaveUsePassword", 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(desktop);
  RecordingOn = recording;
}

void ScratchRegistry::DeleteUsePassword() {
  bool recording = RecordingOn;
  RecordingOn = false;
  HKEY desktop;
  if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &desktop) == ERROR_SUCCESS) {
    RegDeleteValueA(desktop, "ScreenSaveUsePassword");
    RegCloseKey(desktop);
  }
  RecordingOn = recording;
}

void PlaceCursor(int x, int y) {
  SetCursorPos(x + 7, y + 5);
  PumpFor(30);
  SetCursorPos(x, y);
  PumpFor(100);
}

void PumpFor(DWORD milliseconds) {
  PumpUntil([] { return false; }, milliseconds);
}

int TakeQueued(HWND window, UINT message) {
  int count = 0;
  MSG msg;
  while (count < 1000 && PeekMessageA(&msg, window, message, message, PM_REMOVE | PM_NOYIELD))
    ++count;
  return count;
}

bool IsQueued(HWND window, UINT message) {
  MSG msg;
  return PeekMessageA(&msg, window, message, message, PM_NOREMOVE | PM_NOYIELD) != 0;
}

bool IsBackgroundMessage(UINT message) {
  switch (message) {
    case WM_GETICON:
    case WM_GETOBJECT:
    case WM_GETMINMAXINFO:
    case WM_NCHITTEST:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_IME_SETCONTEXT:
    case WM_IME_NOTIFY:
    case 0x0093:
    case 0x0094:
    case 0x0095:
    case 0x0096:  // themed menu bar (UAH)
      return true;
  }
  return false;
}

bool SwallowClose = false;

LRESULT CALLBACK RecordingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (RecordingOn && !IsBackgroundMessage(message) &&
      (WatchedWindow == nullptr || window == WatchedWindow))
    RecordEvent(Received, message, wParam);
  if (message == WM_CLOSE && SwallowClose) return 0;
  if (message == WM_CREATE) GetCursorPos(&MouseAnchor);
  return DefaultSaverProc(window, message, wParam, lParam);
}

HWND CreateRecordingWindow(bool fullScreen) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = RecordingWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "QuillaraRecordingWindow";
    RegisterClassA(&windowClass);
    registered = true;
  }
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  HWND window = CreateWindowExA(fullScreen ? WS_EX_TOPMOST : 0, "QuillaraRecordingWindow",
                                "Recording", WS_POPUP | WS_VISIBLE, 0, 0, fullScreen ? width : 200,
                                fullScreen ? height : 150, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  WatchedWindow = window;
  return window;
}

namespace {
void (*ScriptStep)(int tick) = nullptr;
DWORD ScriptStart = 0;
DWORD ScriptDeadline = 0;
int ScriptTick = 0;
bool ScriptTimedOut = false;

void CALLBACK AdvanceScript(HWND, UINT, UINT_PTR, DWORD) {
  if (GetTickCount() - ScriptStart > ScriptDeadline) {
    if (!ScriptTimedOut && SaverWindow != nullptr && IsWindow(SaverWindow)) {
      ScriptTimedOut = true;
      DestroyWindow(SaverWindow);
    }
    return;
  }
  ScriptStep(ScriptTick++);
}

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if ((message == WM_HELP || message == WM_CONTEXTMENU || message == WM_USER) &&
      OwnerMessageCount < 32)
    OwnerMessages[OwnerMessageCount++] = OwnerMessage{message, wParam, lParam};
  return DefWindowProcA(window, message, wParam, lParam);
}
}  // namespace

OwnerMessage OwnerMessages[32];
int OwnerMessageCount = 0;

ScriptedRun RunSaverScripted(HWND parent, void (*step)(int tick), DWORD deadlineMs) {
  ScriptStep = step;
  ScriptStart = GetTickCount();
  ScriptDeadline = deadlineMs;
  ScriptTick = 0;
  ScriptTimedOut = false;
  UINT_PTR timer = SetTimer(nullptr, 0, 20, AdvanceScript);
  ScriptedRun run;
  run.exitCode = RunSaver(parent);
  run.elapsedMs = GetTickCount() - ScriptStart;
  KillTimer(nullptr, timer);
  run.timedOut = ScriptTimedOut;
  return run;
}

HWND CreatePreviewOwner(int clientWidth, int clientHeight) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = OwnerProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = "QuillaraPreviewOwner";
    RegisterClassA(&windowClass);
    registered = true;
  }
  RECT frame = {0, 0, clientWidth, clientHeight};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  return CreateWindowExA(0, "QuillaraPreviewOwner", "Display Properties",
                         WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, frame.right - frame.left,
                         frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleA(nullptr),
                         nullptr);
}
