// The closing rules of the saver window and the platform default for the rest.
#pragma once
#include <windows.h>

extern int CheckInProgress;
extern DWORD MoveTolerance;
extern DWORD LastCheckTick;

LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL ApproveClose(HWND window);
