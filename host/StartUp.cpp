#include "host/StartUp.h"

#include "config/ConfigDialog.h"
#include "host/HostState.h"
#include "host/PasswordSupport.h"
#include "host/SaverWindow.h"
#include "resources/ResourceIds.h"

namespace {

bool AboveSpace(const char* at) { return static_cast<unsigned char>(*at) > ' '; }

// Letters compare as signed bytes: 0x80 to 0xFF never match.
bool IsSwitchPrefix(signed char byte) { return byte == ' ' || byte == '-' || byte == '/'; }

const char* SkipSpaces(const char* at) {
  while (*at == ' ') ++at;
  return at;
}

}  // namespace

const char* CommandLineTail(const char* commandLine) {
  const char* at = commandLine;
  if (*at == '"') {
    do {
      at = CharNextA(at);
    } while (*at != '\0' && *at != '"');
    if (*at == '"') ++at;
  } else if (AboveSpace(at)) {
    while (AboveSpace(at)) at = CharNextA(at);
  }
  while (*at != '\0' && !AboveSpace(at)) at = CharNextA(at);
  return at;
}

SwitchReading ReadFirstSwitch(const char* tail) {
  const char* at = tail;
  while (IsSwitchPrefix(static_cast<signed char>(*at))) ++at;
  switch (*at) {
    case '\0':
      return {SaverSwitch::ConfigureUnowned, at};
    case 's':
    case 'S':
      return {SaverSwitch::FullScreen, at + 1};
    case 'p':
    case 'P':
    case 'l':
    case 'L':
      return {SaverSwitch::Preview, SkipSpaces(at + 1)};
    case 'c':
    case 'C':
      return {SaverSwitch::ConfigureOwned, at + 1};
    case 'a':
    case 'A':
      return {SaverSwitch::PasswordChange, SkipSpaces(at + 1)};
    default:
      return {SaverSwitch::Unknown, at};
  }
}

uint32_t ReadConfigOwner(const char* rest) {
  return *rest == ':' ? ParseWindowHandle(rest + 1) : 0;
}

// Decimal digits only, no blank or sign; the value wraps modulo 2^32 like the
// 32-bit handle it stands for.
uint32_t ParseWindowHandle(const char* text) {
  uint32_t value = 0;
  for (const char* at = text; *at >= '0' && *at <= '9'; ++at) {
    value = value * 10u + static_cast<uint32_t>(*at - '0');
  }
  return value;
}

namespace {

// A bad owner for the dialog is replaced by the foreground window.
HWND LiveOwnerOrForeground(uint32_t value) {
  HWND owner = WindowFromValue(value);
  return owner && IsWindow(owner) ? owner : GetForegroundWindow();
}

}  // namespace

int RunSwitch(const char* tail) {
  SwitchReading reading = ReadFirstSwitch(tail);
  switch (reading.kind) {
    case SaverSwitch::ConfigureUnowned:
      return static_cast<int>(ShowConfigDialog(nullptr));
    case SaverSwitch::FullScreen:
      return RunSaver(nullptr);
    case SaverSwitch::Preview:
      return RunPreview(reading.rest);
    case SaverSwitch::ConfigureOwned:
      return static_cast<int>(
          ShowConfigDialog(LiveOwnerOrForeground(ReadConfigOwner(reading.rest))));
    case SaverSwitch::PasswordChange:
      return Win9xPlatform == 1 ? RunPasswordChange(reading.rest) : -1;
    case SaverSwitch::Unknown:
    default:
      return -1;
  }
}

// The preview needs a window to live in: a bad parent is an error.
int RunPreview(const char* text) {
  HWND parent = WindowFromValue(ParseWindowHandle(text));
  if (!parent || !IsWindow(parent)) return -1;
  return RunSaver(parent);
}

INT_PTR ShowConfigDialog(HWND parent) {
  if (!PrepareDialogClasses(ModuleInstance)) return 0;
  return DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_CONFIG), parent, ConfigDialogProc, 0);
}

namespace {
// The Windows 9x network provider's password-change entry.
typedef DWORD(WINAPI* PasswordChangeFunction)(LPCSTR provider, HWND owner, DWORD reserved1,
                                              DWORD reserved2);
}  // namespace

int RunPasswordChange(const char* text) {
  HWND owner = WindowFromValue(ParseWindowHandle(text));
  if (!owner || !IsWindow(owner)) owner = GetForegroundWindow();
  HMODULE provider = LoadLibraryA("MPR.DLL");
  if (!provider) return 0;
  auto changePassword = reinterpret_cast<PasswordChangeFunction>(
      reinterpret_cast<void*>(GetProcAddress(provider, "PwdChangePasswordA")));
  if (changePassword) changePassword("SCRSAVE", owner, 0, 0);
  FreeLibrary(provider);
  return 0;
}

namespace {

// The guard around the running mode is a handler on the thread's own
// exception frames, where a compiler's __try/__except would put it, so no
// filter that some DLL installs later can take its place.  FaultGuard holds
// where RunGuarded resumes after a fault; one thread, one guard at a time.
struct FaultGuard {
#if defined(__i386__)
  EXCEPTION_REGISTRATION_RECORD link;  // on the chain at fs:[0]
#endif
  void* resume[5];  // __builtin_setjmp's buffer
  DWORD code;
};
FaultGuard* ActiveGuard = nullptr;

// The guard's filter is the platform's UnhandledExceptionFilter: it shows the
// system's fault report or starts the registered debugger, and its verdict
// holds.  EXCEPTION_EXECUTE_HANDLER resumes in RunGuarded without unwinding
// the frames in between: none of ours holds anything, and the process ends
// right after.  cdecl, as compilers' own handlers are.
EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD* record, void*, CONTEXT* context,
                                           void*) {
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
      ActiveGuard->code = record->ExceptionCode;
      __builtin_longjmp(ActiveGuard->resume, 1);
  }
}

#if defined(__i386__)
// The head of the thread's handler chain, at fs:[0].
EXCEPTION_REGISTRATION_RECORD* ChainHead() {
  EXCEPTION_REGISTRATION_RECORD* head;
  asm volatile("movl %%fs:0, %0" : "=r"(head));
  return head;
}
void SetChainHead(EXCEPTION_REGISTRATION_RECORD* head) {
  asm volatile("movl %0, %%fs:0" : : "r"(head) : "memory");
}
#endif

}  // namespace

// Not inlined: on x64 the handler belongs to this function's own frame.
__attribute__((noinline)) int RunGuarded(int (*body)(const char*), const char* argument) {
  FaultGuard guard = {};
  FaultGuard* outer = ActiveGuard;
  ActiveGuard = &guard;
#if defined(__i386__)
  guard.link.Next = ChainHead();
  guard.link.Handler = reinterpret_cast<PEXCEPTION_ROUTINE>(GuardHandler);
  SetChainHead(&guard.link);
#elif defined(__x86_64__)
  asm(".seh_handler %c0, @except" : : "i"(GuardHandler));  // into this function's unwind data
#endif
  const bool faulted = __builtin_setjmp(guard.resume) != 0;
  const int result = faulted ? static_cast<int>(guard.code) : body(argument);
#if defined(__i386__)
  SetChainHead(guard.link.Next);
#endif
  ActiveGuard = outer;
  // On Windows 9x the running state would otherwise keep Ctrl+Alt+Del off.
  if (faulted) SetSaverRunning(FALSE);
  return result;
}

namespace {

int DetectWin9xPlatform() {
  OSVERSIONINFOA version = {};
  static_assert(sizeof version == 148, "the version record the platform expects");
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0;
}

}  // namespace

int SaverMain(HINSTANCE instance, const char* tail) {
  ModuleInstance = instance;
  Win9xPlatform = DetectWin9xPlatform();
  return RunGuarded(RunSwitch, tail);
}

// Takes what it needs from the platform itself and never returns.
void SaverEntry() {
  const char* tail = CommandLineTail(GetCommandLineA());
  ExitProcess(static_cast<UINT>(SaverMain(GetModuleHandleA(nullptr), tail)));
}
