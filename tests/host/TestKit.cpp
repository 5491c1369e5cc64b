#include "tests/host/TestKit.h"

#include <cstdio>

#include "host/DefaultSaverProc.h"
#include "host/HostState.h"
#include "host/SaverWindow.h"
#include "tests/host/EventLog.h"

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
  const bool recording = RecordingOn;
  RecordingOn = false;
  HKEY desktop = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS,
                  nullptr, &desktop, nullptr);
  if (data == nullptr)
    RegDeleteValueA(desktop, "ScreenSaveUsePassword");
  else
    RegSetValueExA(desktop, "ScreenSaveUsePassword", 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(desktop);
  RecordingOn = recording;
}

void PlaceCursor(int x, int y) {
  SetCursorPos(x + 7, y + 5);
  PumpFor(30);
  SetCursorPos(x, y);
  PumpFor(100);
}

int TakeQueued(HWND window, UINT message) {
  int count = 0;
  MSG msg;
  while (count < 1000 && PeekMessageA(&msg, window, message, message, PM_REMOVE | PM_NOYIELD))
    ++count;
  return count;
}

bool SwallowClose = false;

static LRESULT CALLBACK RecordingWindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  if (RecordingOn && !IsQuietMessage(message) &&
      (WatchedWindow == nullptr || window == WatchedWindow))
    RecordEvent(Received, message, wParam);
  if (message == WM_CLOSE && SwallowClose) return 0;
  if (message == WM_CREATE) GetCursorPos(&MouseAnchor);
  return DefaultSaverProc(window, message, wParam, lParam);
}

static void Register(const char* name, WNDPROC procedure, int brush) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(brush));
  windowClass.lpszClassName = name;
  RegisterClassA(&windowClass);  // fails harmlessly when already registered
}

HWND CreateRecordingWindow() {
  Register("QuillaraRecordingWindow", RecordingWindowProc, BLACK_BRUSH);
  WatchedWindow = CreateWindowExA(WS_EX_TOPMOST, "QuillaraRecordingWindow", "Recording",
                                  WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                  GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
  return WatchedWindow;
}

namespace {
void (*ScriptStep)(int tick) = nullptr;
DWORD ScriptStart = 0, ScriptDeadline = 0;
int ScriptTick = 0;
bool ScriptTimedOut = false;

void CALLBACK AdvanceScript(HWND, UINT, UINT_PTR, DWORD) {
  if (GetTickCount() - ScriptStart <= ScriptDeadline) {
    ScriptStep(ScriptTick++);
  } else if (!ScriptTimedOut && SaverWindow != nullptr && IsWindow(SaverWindow)) {
    ScriptTimedOut = true;
    DestroyWindow(SaverWindow);
  }
}

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if ((message == WM_HELP || message == WM_CONTEXTMENU) && OwnerMessageCount < 8)
    OwnerMessages[OwnerMessageCount++] = OwnerMessage{message, wParam, lParam};
  return DefWindowProcA(window, message, wParam, lParam);
}
}  // namespace

OwnerMessage OwnerMessages[8];
int OwnerMessageCount = 0;

ScriptedRun RunSaverScripted(HWND parent, void (*step)(int tick), DWORD deadlineMs) {
  ScriptStep = step;
  ScriptStart = GetTickCount();
  ScriptDeadline = deadlineMs;
  ScriptTick = 0;
  ScriptTimedOut = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, AdvanceScript);
  ScriptedRun run;
  run.exitCode = RunSaver(parent);
  KillTimer(nullptr, timer);
  run.timedOut = ScriptTimedOut;
  return run;
}

HWND CreatePreviewOwner(int clientWidth, int clientHeight) {
  Register("QuillaraPreviewOwner", OwnerProc, WHITE_BRUSH);
  RECT frame = {0, 0, clientWidth, clientHeight};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  return CreateWindowExA(0, "QuillaraPreviewOwner", "Display Properties",
                         WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, frame.right - frame.left,
                         frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleA(nullptr),
                         nullptr);
}
