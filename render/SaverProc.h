// The saver's own window procedure and its per-frame work.
#pragma once
#include <windows.h>
#include <cstdint>

class Universe;

extern HDC DeviceContext;
extern HGLRC RenderContext;
extern int32_t ClientWidth;
extern int32_t ClientHeight;
extern Universe* CurrentUniverse;

// The frame timer: one frame every 10 ms.
const UINT_PTR FrameTimerId = 1;
const UINT FramePeriodMs = 10;

LRESULT SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void RunFrame(HDC deviceContext);
