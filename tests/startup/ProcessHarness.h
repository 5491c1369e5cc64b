// Starts a program with an exact command line and watches it: its windows,
// its exit code.  Every wait pumps this thread's messages (windows of the
// test may be parents or owners of the child's) and has a deadline.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

constexpr DWORD NoExitYet = 0xFFFFFFF0u;

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess() { End(); }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // application: the program file; commandLine: passed byte for byte.
  bool Start(const std::string& application, const std::string& commandLine);
  // The exit code, or NoExitYet when the deadline passed first.
  DWORD WaitForExit(DWORD milliseconds);
  // The first top-level window of the child that matches, or null.
  HWND WaitForWindow(const std::function<bool(HWND)>& match, DWORD milliseconds);
  // Terminates the child if it still runs.
  void End();
  DWORD id() const { return info_.dwProcessId; }

 private:
  PROCESS_INFORMATION info_ = {};
  bool started_ = false;
};

// Runs this thread's messages for a while (or until handle is signalled).
void PumpMessages(DWORD milliseconds, HANDLE handle = nullptr);
// Waits, pumping, until find returns a window.
HWND WaitUntilFound(const std::function<HWND()>& find, DWORD milliseconds);

std::string WindowClass(HWND window);
std::string WindowTitle(HWND window);
DWORD WindowProcess(HWND window);

// A visible top-level window of the test, to be a parent or an owner.
HWND CreateTestWindow(const char* title, int width = 320, int height = 240);

// A Unix path as Wine's Z: drive sees it.
std::string WindowsPath(const std::string& unixPath);
