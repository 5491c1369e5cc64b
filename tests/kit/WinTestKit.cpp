#include "tests/kit/WinTestKit.h"

#include <cstdio>
#include <cstring>

#include "host/SaverWindow.h"

static char ScratchPath[64];
static HKEY ScratchKey = nullptr;

ScratchRegistry::ScratchRegistry(bool volatileRoot) {
  std::snprintf(ScratchPath, sizeof ScratchPath, "Software\\QuillaraTests\\%lu",
                GetCurrentProcessId());
  RegDeleteTreeA(HKEY_CURRENT_USER, ScratchPath);
  RegCreateKeyExA(HKEY_CURRENT_USER, ScratchPath, 0, nullptr,
                  volatileRoot ? REG_OPTION_VOLATILE : REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                  nullptr, &ScratchKey, nullptr);
  RegOverridePredefKey(HKEY_CURRENT_USER, ScratchKey);
}

ScratchRegistry::~ScratchRegistry() {
  RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  RegCloseKey(ScratchKey);
  RegDeleteTreeA(HKEY_CURRENT_USER, ScratchPath);
}

void PutValue(const char* key, const char* name, DWORD type, const void* data, DWORD size) {
  HKEY opened;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened,
                      nullptr) != ERROR_SUCCESS)
    return;
  if (data != nullptr) RegSetValueExA(opened, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(opened);
}

bool ReadValue(const char* key, const char* name, DWORD* type, DWORD* value) {
  BYTE data[64] = {};
  DWORD size = sizeof data;
  const LONG status =
      RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_ANY | RRF_NOEXPAND, type, data, &size);
  std::memcpy(value, data, sizeof *value);
  return status == ERROR_SUCCESS;
}

bool KeyExists(const char* key) {
  HKEY opened;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}

// Dispatches before it looks at the clock: PumpFor(0) still takes what is
// queued, and the messages another process sends meanwhile.
void PumpFor(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (GetTickCount() - start >= milliseconds) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

int TakeQueued(HWND window, UINT message) {
  int count = 0;
  MSG msg;
  while (PeekMessageA(&msg, window, message, message, PM_REMOVE)) ++count;
  return count;
}

void PlaceCursor(int x, int y) {
  // A fresh Wine process skips a warp to where it believes the pointer
  // already is; a detour forces a real one.
  SetCursorPos(x + 37, y + 41);
  PumpFor(30);
  SetCursorPos(x, y);
  POINT at = {};
  for (int i = 0; i < 50 && GetCursorPos(&at) && (at.x != x || at.y != y); ++i) PumpFor(10);
  PumpFor(30);
}

static void (*ScriptStep)(int tick);
static int ScriptTick, ScriptTimedOut;
static DWORD ScriptStart, ScriptDeadline;

static void CALLBACK OnScriptTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (GetTickCount() - ScriptStart <= ScriptDeadline) {
    if (ScriptStep != nullptr) ScriptStep(ScriptTick++);
  } else if (!ScriptTimedOut && SaverWindow != nullptr) {
    ScriptTimedOut = 1;
    DestroyWindow(SaverWindow);
  }
}

int RunSaverScripted(HWND parent, void (*step)(int tick), DWORD deadlineMs) {
  ScriptStep = step;
  ScriptTick = 0;
  ScriptStart = GetTickCount();
  ScriptDeadline = deadlineMs;
  ScriptTimedOut = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, OnScriptTimer);
  const int exitCode = RunSaver(parent);
  KillTimer(nullptr, timer);
  return ScriptTimedOut ? -2 : exitCode;
}

HWND CreatePlainWindow(int clientWidth, int clientHeight) {
  WNDCLASSA plain = {};
  plain.lpfnWndProc = DefWindowProcA;
  plain.hInstance = GetModuleHandleA(nullptr);
  plain.lpszClassName = "QuillaraTestPlain";
  RegisterClassA(&plain);  // fails harmlessly once it exists
  RECT frame = {0, 0, clientWidth, clientHeight};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  HWND window =
      CreateWindowExA(0, plain.lpszClassName, "Test owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20,
                      20, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                      plain.hInstance, nullptr);
  PumpFor(50);
  return window;
}

static DWORD ChildId;
static HWND ChildWindow;

static BOOL CALLBACK FindChildWindow(HWND window, LPARAM) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == ChildId && IsWindowVisible(window)) ChildWindow = window;
  return ChildWindow == nullptr;  // on until found
}

int RunProgram(const char* program, const char* commandLine, DWORD deadlineMs,
               void (*onWindow)(HWND window)) {
  char line[1024];
  std::snprintf(line, sizeof line, "%s", commandLine);
  STARTUPINFOA startup = {sizeof startup};
  PROCESS_INFORMATION child = {};
  bool started = false;  // Wine on a busy machine now and then fails a start: three tries
  for (int tries = 0; tries < 3 && !started; ++tries) {
    if (tries > 0) Sleep(200);
    started = CreateProcessA(program, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &child);
  }
  if (!started) return -3;
  ChildId = child.dwProcessId;
  ChildWindow = nullptr;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < deadlineMs &&
         MsgWaitForMultipleObjects(1, &child.hProcess, FALSE, 20, QS_ALLINPUT) != WAIT_OBJECT_0) {
    PumpFor(0);
    if (onWindow != nullptr && ChildWindow == nullptr) {
      EnumWindows(FindChildWindow, 0);
      if (ChildWindow != nullptr) onWindow(ChildWindow);
    }
  }
  DWORD code = 0;
  const bool ended = WaitForSingleObject(child.hProcess, 0) == WAIT_OBJECT_0 &&
                     GetExitCodeProcess(child.hProcess, &code);
  if (!ended) TerminateProcess(child.hProcess, 1);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  return ended ? static_cast<int>(code) : -2;
}
