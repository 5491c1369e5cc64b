// Binding OpenGL to the saver window through WGL.
#pragma once
#include <windows.h>

// The pixel format asked for: double-buffered RGBA, 24 colour bits, nothing else.
PIXELFORMATDESCRIPTOR MakePixelFormatRequest();

void CreateGLContext(HWND window, HDC* deviceContext, HGLRC* renderContext);
void ReleaseGLContext(HWND window, HDC deviceContext, HGLRC renderContext);
