#include "host/ExceptionGuard.h"

#include "host/PasswordSupport.h"

namespace {

// The system's UnhandledExceptionFilter calls this once no handler inside
// the process took the fault and no debugger wants it, that is, exactly when
// it would end the process.  The running state must not stay on after us
// (on Windows 9x it would leave Ctrl+Alt+Del disabled), and ending at once
// avoids the system's fault box over a full-screen saver.  TerminateProcess,
// not ExitProcess: the fault may have left a lock held that DLL shutdown
// would wait on.
LONG WINAPI EndAfterFault(EXCEPTION_POINTERS* fault) {
  SetSaverRunning(FALSE);
  TerminateProcess(GetCurrentProcess(), fault->ExceptionRecord->ExceptionCode);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int RunGuarded(int (*body)(const char*), const char* argument) {
  LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(EndAfterFault);
  int result = body(argument);
  SetUnhandledExceptionFilter(previous);
  return result;
}
