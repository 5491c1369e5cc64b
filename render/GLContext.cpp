#include "render/GLContext.h"

PIXELFORMATDESCRIPTOR MakePixelFormatRequest() {
  PIXELFORMATDESCRIPTOR request;
  ZeroMemory(&request, sizeof request);
  request.nSize = sizeof request;
  request.nVersion = 1;
  request.dwFlags = PFD_DOUBLEBUFFER | PFD_SUPPORT_OPENGL;
  request.iPixelType = PFD_TYPE_RGBA;
  request.cColorBits = 24;
  return request;
}

// No result is examined: without a matching format no context is made and
// every later OpenGL call does nothing, while the saver otherwise runs on.
void CreateGLContext(HWND window, HDC* deviceContext, HGLRC* renderContext) {
  const PIXELFORMATDESCRIPTOR request = MakePixelFormatRequest();
  *deviceContext = GetDC(window);
  const int format = ChoosePixelFormat(*deviceContext, &request);
  SetPixelFormat(*deviceContext, format, &request);
  *renderContext = wglCreateContext(*deviceContext);
  wglMakeCurrent(*deviceContext, *renderContext);
}

void ReleaseGLContext(HWND window, HDC deviceContext, HGLRC renderContext) {
  wglMakeCurrent(nullptr, nullptr);
  if (renderContext != nullptr) wglDeleteContext(renderContext);
  ReleaseDC(window, deviceContext);
}
