#include "host/CommandLine.h"
#include "host/SaverWindow.h"
#include "host/StartUp.h"

// The preview needs a window to live in: a bad parent is an error.
int RunPreview(const char* text) {
  HWND parent = WindowFromValue(ParseWindowHandle(text));
  if (!parent || !IsWindow(parent)) return -1;
  return RunSaver(parent);
}
