// The one saver window, full screen or inside a preview window.
#pragma once
#include <windows.h>

extern HWND SaverWindow;

// Null parent: full screen.  Returns the exit code: 0 after the window ran or
// when another full-screen saver is already running, -1 when the window
// class or the window could not be created.
int RunSaver(HWND parent);
// Every message is handled inside the exception guard: a fault in it ends the process.
LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
