#include "tests/kit/WinTestKit.h"

#include <cstdio>
#include <cstring>

#include "host/SaverWindow.h"

static HKEY ScratchKey = nullptr;

ScratchRegistry::ScratchRegistry(bool volatileRoot) {
  std::snprintf(path, sizeof path, "Software\\QuillaraTests\\%lu",
                static_cast<unsigned long>(GetCurrentProcessId()));
  RegDeleteTreeA(HKEY_CURRENT_USER, path);
  RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr,
                  volatileRoot ? REG_OPTION_VOLATILE : REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                  nullptr, &ScratchKey, nullptr);
  RegOverridePredefKey(HKEY_CURRENT_USER, ScratchKey);
}

ScratchRegistry::~ScratchRegistry() {
  RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  RegCloseKey(ScratchKey);
  RegDeleteTreeA(HKEY_CURRENT_USER, path);
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
  HKEY opened;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  BYTE data[64] = {};
  DWORD size = sizeof data;
  LONG status = RegQueryValueExA(opened, name, nullptr, type, data, &size);
  RegCloseKey(opened);
  if (status != ERROR_SUCCESS) return false;
  *value = *reinterpret_cast<DWORD*>(data);
  return true;
}

bool KeyExists(const char* key) {
  HKEY opened;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}

bool PumpUntil(bool (*done)(), DWORD deadlineMs) {
  const DWORD start = GetTickCount();
  // Dispatches before looking at the clock, so that PumpFor(0) still takes
  // what is queued (and the messages another process sends meanwhile).
  for (;;) {
    if (done != nullptr && done()) return true;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (GetTickCount() - start >= deadlineMs) return done != nullptr && done();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void PumpFor(DWORD milliseconds) { PumpUntil(nullptr, milliseconds); }

int TakeQueued(HWND window, UINT message) {
  int count = 0;
  MSG msg;
  while (PeekMessageA(&msg, window, message, message, PM_REMOVE)) ++count;
  return count;
}

void PlaceCursor(int x, int y) {
  // A fresh Wine process skips a warp to where it believes the pointer is
  // already; a detour forces a real one.
  SetCursorPos(x + 37, y + 41);
  PumpFor(30);
  SetCursorPos(x, y);
  for (int i = 0; i < 50; ++i) {
    POINT at;
    GetCursorPos(&at);
    if (at.x == x && at.y == y) break;
    PumpFor(10);
  }
  PumpFor(30);
}

static void (*ScriptStep)(int tick) = nullptr;
static int ScriptTick = 0;
static DWORD ScriptDeadline = 0;
static DWORD ScriptStart = 0;
static bool ScriptTimedOut = false;

static void CALLBACK OnScriptTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (GetTickCount() - ScriptStart > ScriptDeadline) {
    if (!ScriptTimedOut && SaverWindow != nullptr) {
      ScriptTimedOut = true;
      DestroyWindow(SaverWindow);
    }
    return;
  }
  if (ScriptStep != nullptr) ScriptStep(ScriptTick++);
}

ScriptedRun RunSaverScripted(HWND parent, void (*step)(int tick), DWORD deadlineMs) {
  ScriptStep = step;
  ScriptTick = 0;
  ScriptDeadline = deadlineMs;
  ScriptStart = GetTickCount();
  ScriptTimedOut = false;
  UINT_PTR timer = SetTimer(nullptr, 0, 20, OnScriptTimer);
  ScriptedRun run;
  run.exitCode = RunSaver(parent);
  KillTimer(nullptr, timer);
  run.timedOut = ScriptTimedOut;
  return run;
}

HWND CreatePlainWindow(int clientWidth, int clientHeight) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA plain = {};
    plain.lpfnWndProc = DefWindowProcA;
    plain.hInstance = GetModuleHandleA(nullptr);
    plain.lpszClassName = "QuillaraTestPlain";
    registered = RegisterClassA(&plain) != 0;
  }
  RECT frame = {0, 0, clientWidth, clientHeight};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  HWND window = CreateWindowExA(0, "QuillaraTestPlain", "Test owner",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, frame.right - frame.left,
                                frame.bottom - frame.top, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  PumpFor(50);
  return window;
}

static DWORD ChildId = 0;
static HWND ChildWindow = nullptr;

static BOOL CALLBACK FindChildWindow(HWND window, LPARAM) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != ChildId || !IsWindowVisible(window)) return TRUE;
  ChildWindow = window;
  return FALSE;
}

int RunProgram(const char* program, const char* commandLine, DWORD deadlineMs,
               void (*onWindow)(HWND window)) {
  char line[1024];
  std::snprintf(line, sizeof line, "%s", commandLine);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child = {};
  if (!CreateProcessA(program, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &child))
    return -3;
  ChildId = child.dwProcessId;
  ChildWindow = nullptr;
  bool windowSeen = onWindow == nullptr;
  const DWORD start = GetTickCount();
  DWORD code = STILL_ACTIVE;
  while (GetTickCount() - start < deadlineMs) {
    if (MsgWaitForMultipleObjects(1, &child.hProcess, FALSE, 20, QS_ALLINPUT) == WAIT_OBJECT_0)
      break;
    PumpFor(0);
    if (!windowSeen) {
      EnumWindows(FindChildWindow, 0);
      if (ChildWindow != nullptr) {
        windowSeen = true;
        onWindow(ChildWindow);
      }
    }
  }
  int result = -2;
  if (WaitForSingleObject(child.hProcess, 0) == WAIT_OBJECT_0 &&
      GetExitCodeProcess(child.hProcess, &code))
    result = static_cast<int>(code);
  else
    TerminateProcess(child.hProcess, 1);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  return result;
}

const char* TestDirectory() {
  static char directory[MAX_PATH];
  if (directory[0] == '\0') {
    GetModuleFileNameA(nullptr, directory, MAX_PATH);
    char* slash = std::strrchr(directory, '\\');
    if (slash != nullptr) slash[1] = '\0';
  }
  return directory;
}
