#include <windows.h>

#include "render/DrawFrame.h"
#include "render/SaverProc.h"

void RunFrame(HDC deviceContext) {
  DrawFrame();
  SwapBuffers(deviceContext);
}
