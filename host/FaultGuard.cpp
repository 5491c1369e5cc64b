#include "host/FaultGuard.h"

#include "host/PasswordSupport.h"

// The guard is a handler on the thread's own exception frames, where a
// compiler's __try/__except would put it, so no filter that some DLL
// installs later can take its place.

namespace {

typedef LONG_PTR (*GuardedBody)(void* call);

// The code of the fault a guard resumed after, 0 while there is none.  One
// thread, and the first such fault ends the process.
DWORD FaultCode = 0;

#if defined(__i386__)
// A guard's record on the thread's handler chain at fs:[0], which points at
// its first member, and where the guard resumes.
struct GuardRecord {
  EXCEPTION_REGISTRATION_RECORD link;
  void* resume[5];  // __builtin_setjmp's buffer
};
#endif

// The guard's filter is the platform's UnhandledExceptionFilter: it shows the
// system's fault report or starts the registered debugger, and its verdict
// holds.  EXCEPTION_EXECUTE_HANDLER first unwinds the frames in between,
// running their termination handlers (user32's, a driver's), as the
// platform's own __except does.  cdecl, as compilers' own handlers are.
EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD* record, void* frame, CONTEXT* context,
                                           void* dispatch) {
  if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) {
    return ExceptionContinueSearch;
  }
  EXCEPTION_POINTERS fault = {record, context};
  switch (UnhandledExceptionFilter(&fault)) {
    case EXCEPTION_CONTINUE_EXECUTION:
      return ExceptionContinueExecution;
    case EXCEPTION_CONTINUE_SEARCH:  // a debugger takes it
      return ExceptionContinueSearch;
    default:
      break;
  }
  FaultCode = record->ExceptionCode;
#if defined(__i386__)
  // RtlUnwind returns once the chain is down to this guard's record.
  static_cast<void>(dispatch);
  RtlUnwind(frame, nullptr, record, nullptr);
  __builtin_longjmp(static_cast<GuardRecord*>(frame)->resume, 1);
#else
  // Resumes in the guard's frame where the guarded call returns, with the
  // fault's code as that call's result: RtlUnwindEx does not return.
  auto* dispatcher = static_cast<DISPATCHER_CONTEXT*>(dispatch);
  RtlUnwindEx(frame, reinterpret_cast<void*>(dispatcher->ControlPc), record,
              reinterpret_cast<void*>(static_cast<ULONG_PTR>(FaultCode)), dispatcher->ContextRecord,
              dispatcher->HistoryTable);
  return ExceptionContinueSearch;
#endif
}

// Runs body(call) with the handler on this function's own frame: not
// inlined, and body is the only call it makes.
__attribute__((noinline)) LONG_PTR Guard(GuardedBody body, void* call) {
#if defined(__i386__)
  GuardRecord guard;
  asm volatile("movl %%fs:0, %0" : "=r"(guard.link.Next));
  guard.link.Handler = reinterpret_cast<PEXCEPTION_ROUTINE>(GuardHandler);
  asm volatile("movl %0, %%fs:0" : : "r"(&guard.link) : "memory");
  const LONG_PTR result = __builtin_setjmp(guard.resume) ? FaultCode : body(call);
  asm volatile("movl %0, %%fs:0" : : "r"(guard.link.Next) : "memory");
  return result;
#elif defined(__x86_64__)
  asm(".seh_handler %c0, @except" : : "i"(GuardHandler));  // into this function's unwind data
  const LONG_PTR result = body(call);
  // Not a tail call, and not a return address on the epilogue, where the
  // unwinder calls no handler.
  asm volatile("nop");
  return result;
#endif
}

struct ModeCall {
  int (*body)(const char*);
  const char* argument;
};

LONG_PTR CallMode(void* call) {
  const ModeCall& mode = *static_cast<ModeCall*>(call);
  return mode.body(mode.argument);
}

struct MessageCall {
  MessageHandler handler;
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

LONG_PTR CallHandler(void* call) {
  const MessageCall& m = *static_cast<MessageCall*>(call);
  return m.handler(m.window, m.message, m.wParam, m.lParam);
}

}  // namespace

int RunGuarded(int (*body)(const char*), const char* argument) {
  ModeCall call = {body, argument};
  const int result = static_cast<int>(Guard(CallMode, &call));
  // On Windows 9x the running state would otherwise keep Ctrl+Alt+Del off.
  if (FaultCode != 0) SetSaverRunning(FALSE);
  return result;
}

LRESULT HandleGuarded(MessageHandler handler, HWND window, UINT message, WPARAM wParam,
                      LPARAM lParam) {
  MessageCall call = {handler, window, message, wParam, lParam};
  const LRESULT result = Guard(CallHandler, &call);
  if (FaultCode != 0) {
    SetSaverRunning(FALSE);
    ExitProcess(FaultCode);
  }
  return result;
}
