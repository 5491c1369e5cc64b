#include "tests/startup/ProcessHarness.h"

#include <vector>

void PumpMessages(DWORD milliseconds, HANDLE handle) {
  DWORD deadline = GetTickCount() + milliseconds;
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    DWORD now = GetTickCount();
    if (static_cast<LONG>(deadline - now) <= 0) return;
    DWORD slice = deadline - now < 20 ? deadline - now : 20;
    DWORD count = handle ? 1 : 0;
    if (MsgWaitForMultipleObjects(count, handle ? &handle : nullptr, FALSE, slice, QS_ALLINPUT) ==
            WAIT_OBJECT_0 &&
        handle) {
      return;
    }
  }
}

HWND WaitUntilFound(const std::function<HWND()>& find, DWORD milliseconds) {
  DWORD deadline = GetTickCount() + milliseconds;
  for (;;) {
    if (HWND found = find()) return found;
    if (static_cast<LONG>(deadline - GetTickCount()) <= 0) return nullptr;
    PumpMessages(20);
  }
}

bool ChildProcess::Start(const std::string& application, const std::string& commandLine) {
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  started_ = CreateProcessA(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &info_) != FALSE;
  return started_;
}

DWORD ChildProcess::WaitForExit(DWORD milliseconds) {
  if (!started_) return NoExitYet;
  DWORD deadline = GetTickCount() + milliseconds;
  while (WaitForSingleObject(info_.hProcess, 0) != WAIT_OBJECT_0) {
    if (static_cast<LONG>(deadline - GetTickCount()) <= 0) return NoExitYet;
    PumpMessages(20, info_.hProcess);
  }
  DWORD code = NoExitYet;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

namespace {
struct WindowSearch {
  DWORD process;
  const std::function<bool(HWND)>* match;
  HWND found;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  if (WindowProcess(window) == search->process && (*search->match)(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND ChildProcess::WaitForWindow(const std::function<bool(HWND)>& match, DWORD milliseconds) {
  return WaitUntilFound(
      [&]() -> HWND {
        WindowSearch search = {info_.dwProcessId, &match, nullptr};
        EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&search));
        return search.found;
      },
      milliseconds);
}

// The tests close what they open; a child still running here is ended hard.
void ChildProcess::End() {
  if (!started_) return;
  if (WaitForSingleObject(info_.hProcess, 0) != WAIT_OBJECT_0) {
    TerminateProcess(info_.hProcess, 0xDEAD);
    WaitForSingleObject(info_.hProcess, 3000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
  started_ = false;
}

std::string WindowClass(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string WindowTitle(HWND window) {
  char title[256] = {};
  GetWindowTextA(window, title, sizeof title);
  return title;
}

DWORD WindowProcess(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process;
}

HWND CreateTestWindow(const char* title, int width, int height) {
  HWND window = CreateWindowExA(0, "STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, width,
                                height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  PumpMessages(50);
  return window;
}

std::string WindowsPath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}
