#include "tests/kit/WinTestKit.h"

#include <cstdio>
#include <string>

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

bool KeyExists(const char* key) {
  HKEY opened;  // closed again at once
  return RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) == 0 && !RegCloseKey(opened);
}

void PumpFor(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  MSG msg;
  for (;;) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (GetTickCount() - start >= milliseconds) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

HWND CreatePlainWindow(int width, int height) {
  const WNDCLASSA plain = {0, DefWindowProcA, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr,
                           nullptr, nullptr, "QuillaraTestPlain"};
  RegisterClassA(&plain);  // fails harmlessly once it exists
  HWND window =
      CreateWindowExA(0, plain.lpszClassName, "Test owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20,
                      20, width, height, nullptr, nullptr, plain.hInstance, nullptr);
  PumpFor(50);
  return window;
}

HWND VisibleWindowOf(DWORD process) {
  for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, nullptr, nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == process && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

PROCESS_INFORMATION StartProgram(const char* program, const char* commandLine) {
  std::string line = commandLine;  // CreateProcessA may write to it
  STARTUPINFOA startup = {sizeof startup};
  PROCESS_INFORMATION child = {};
  // Wine on a busy machine now and then fails a start: three tries
  for (int tries = 0; tries < 3; ++tries, Sleep(200))
    if (CreateProcessA(program, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &child))
      break;
  return child;
}

int FinishProgram(PROCESS_INFORMATION child, DWORD deadlineMs, void (*onWindow)(HWND window)) {
  if (child.hProcess == nullptr) return -3;
  bool told = onWindow == nullptr;  // once, even while onWindow runs programs of its own
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < deadlineMs &&
         MsgWaitForMultipleObjects(1, &child.hProcess, FALSE, 20, QS_ALLINPUT) != WAIT_OBJECT_0) {
    PumpFor(0);
    HWND window = told ? nullptr : VisibleWindowOf(child.dwProcessId);
    if (window != nullptr) {
      told = true;
      onWindow(window);
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
