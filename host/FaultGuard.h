// The exception guard that every mode of the program, and every message of
// its window and dialog, runs inside.
#pragma once
#include <windows.h>

// Runs body(argument) and returns its result.  A fault inside it that nothing
// deeper handles goes to the platform's UnhandledExceptionFilter (the system's
// fault report, or the registered debugger); when that decides the program is
// to end, the frames in between are unwound as a compiler's __except unwinds
// them, SetSaverRunning(FALSE) is called, and RunGuarded returns the fault's
// exception code (0xC0000005 for an access violation), the exit code the
// system itself gives a process that a fault ends.
int RunGuarded(int (*body)(const char*), const char* argument);

// handler(window, message, wParam, lParam) inside the same guard, for window
// and dialog procedures.  The platform calls them through kernel callbacks
// too (WM_CREATE, WM_DESTROY, a dialog's messages), which exception dispatch
// on 64-bit Windows does not cross, so an outer guard would never see their
// faults.  After the report and the unwinding the process ends at once with
// the fault's code: there is no way back out through the callback.
typedef LRESULT (*MessageHandler)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT HandleGuarded(MessageHandler handler, HWND window, UINT message, WPARAM wParam,
                      LPARAM lParam);
