// The one saver window, full screen or inside a preview window.
#pragma once
#include <windows.h>

extern HWND SaverWindow;

// Null parent: full screen.  Returns the exit code.
int RunSaver(HWND parent);
LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
