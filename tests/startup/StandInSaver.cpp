// Stand-ins for the saver window and the password support, for start-up
// programs and tests that must not open the real saver.  Each call is logged
// to the file named by QUILLARA_STANDIN_LOG; with QUILLARA_STANDIN_CRASH set,
// RunSaver faults the way a broken mode would.
#include <windows.h>

#include <cstdio>

#include "host/PasswordSupport.h"
#include "host/SaverWindow.h"

namespace {

void Log(const char* line) {
  char path[MAX_PATH];
  if (!GetEnvironmentVariableA("QUILLARA_STANDIN_LOG", path, sizeof path)) return;
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written;
  WriteFile(file, line, lstrlenA(line), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

int RunSaver(HWND parent) {
  char line[64];
  std::snprintf(line, sizeof line, "RunSaver %lu\n",
                static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(parent)));
  Log(line);
  if (GetEnvironmentVariableA("QUILLARA_STANDIN_CRASH", nullptr, 0)) {
    *static_cast<volatile int*>(nullptr) = 1;
  }
  return 42;
}

BOOL SetSaverRunning(BOOL on) {
  Log(on ? "SetSaverRunning 1\n" : "SetSaverRunning 0\n");
  return TRUE;
}
