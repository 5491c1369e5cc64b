// Start-up: the command line, the platform and the mode that runs.
#pragma once
#include <windows.h>
#include <cstdint>

[[noreturn]] void SaverEntry();
int SaverMain(HINSTANCE instance, const char* tail);
uint32_t ParseWindowHandle(const char* text);
int RunPreview(const char* text);
INT_PTR ShowConfigDialog(HWND parent);
int RunPasswordChange(const char* text);
// The switch dispatch: runs the mode that the first switch of the tail names
// and returns its exit code.
int RunSwitch(const char* tail);
