// Binding OpenGL to the saver window through WGL.
#pragma once
#include <windows.h>

void CreateGLContext(HWND window, HDC* deviceContext, HGLRC* renderContext);
void ReleaseGLContext(HWND window, HDC deviceContext, HGLRC renderContext);
