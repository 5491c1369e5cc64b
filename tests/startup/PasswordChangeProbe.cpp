// Runs the start-up dispatch on its own command line with the platform the
// test chooses (QUILLARA_PROBE_MODE: "9x", "nt" or "direct" for
// RunPasswordChange alone), beside the stand-in MPR.DLL.  A separate process
// so that Wine's DLL overrides, read at process start, apply to it.
#include <windows.h>

#include "host/CommandLine.h"
#include "host/HostState.h"
#include "host/StartUp.h"

int main() {
  char mode[16] = {};
  GetEnvironmentVariableA("QUILLARA_PROBE_MODE", mode, sizeof mode);
  const char* tail = CommandLineTail(GetCommandLineA());
  ModuleInstance = GetModuleHandleA(nullptr);
  if (lstrcmpA(mode, "direct") == 0) return RunPasswordChange(tail);
  Win9xPlatform = lstrcmpA(mode, "9x") == 0 ? 1 : 0;
  return RunSwitch(tail);
}
