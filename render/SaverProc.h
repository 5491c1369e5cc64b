// The saver's own window procedure and its frame: drawing bound to the saver
// window, one scene frame per timer message, the command keys passed to the scene.
#pragma once
#include <windows.h>
#include <cstdint>

extern HDC DeviceContext;
extern HGLRC RenderContext;
extern int32_t ClientWidth;
extern int32_t ClientHeight;

// The frame timer: one frame every 10 ms.
const UINT_PTR FrameTimerId = 1;
const UINT FramePeriodMs = 10;

LRESULT SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// One frame: DrawFrame into the back buffer, then SwapBuffers.
void RunFrame(HDC deviceContext);
