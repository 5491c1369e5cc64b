#include "host/CommandLine.h"
#include "host/StartUp.h"

// Takes what it needs from the platform itself and never returns.
void SaverEntry() {
  const char* tail = CommandLineTail(GetCommandLineA());
  ExitProcess(static_cast<UINT>(SaverMain(GetModuleHandleA(nullptr), tail)));
}
