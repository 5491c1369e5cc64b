// The configuration dialog (template 2003) and its list helpers.
#pragma once
#include <windows.h>

#include <cstdint>

extern const char* const CountChoices[12];

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PrepareDialogClasses(HINSTANCE instance);
void FillCountList(HWND dialog, int controlId, const char* const* choices, int count,
                   int selection);
int GetListSelection(HWND dialog, int controlId);
int ReadCountList(HWND dialog, int controlId);
