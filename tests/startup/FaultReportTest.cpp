// Faults in a mode, the dialog and WM_CREATE; the part before the test is the faulting component.
#include <windows.h>

#include <cstdio>
#include <cstring>

// Adds a line, then the running state, to the record in the directory these processes share.
static void Record(const char* mode, const char* line, unsigned long value, char* text = nullptr) {
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  FILE* file = std::fopen("fault_report.txt", mode);
  if (text) text[std::fread(text, 1, 255, file)] = '\0';
  std::fprintf(file, line, value, running);
  std::fclose(file);
}

static EXCEPTION_DISPOSITION __cdecl OnUnwind(EXCEPTION_RECORD* f, void*, CONTEXT*, void*) {
  if (f->ExceptionFlags & EXCEPTION_UNWINDING) Record("a", "unwound %lx %lu\n", f->ExceptionCode);
  return ExceptionContinueSearch;
}

// The saver running (as the password component's load sets it), a DLL's new top filter, then an
// illegal instruction (one code natively and under emulation) in a frame that records unwinding.
extern "C" [[noreturn]] void FaultInObservedFrame() {
  SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, nullptr, 0);
  Record("w", "fault %lu %lu\n", GetCurrentProcessId());
  SetUnhandledExceptionFilter(nullptr);
#if defined(__i386__)
  EXCEPTION_REGISTRATION_RECORD frame = {nullptr, reinterpret_cast<PEXCEPTION_ROUTINE>(OnUnwind)};
  asm volatile("movl %%fs:0, %0" : "=r"(frame.Next));
  asm volatile("movl %0, %%fs:0" : : "r"(&frame) : "memory");
#else
  asm(".seh_handler %c0, @unwind" : : "i"(OnUnwind));
#endif
  __builtin_trap();
}

// MPR's password change as the saver calls it (provider, owner, 0, 0, callee pops): which provider
// and owner it named, then the fault; the cdecl reading of stdcall arguments never returns.
extern "C" [[noreturn]] void ChangePasswordThenFault(const char* provider, HWND owner) {
  FILE* file = std::fopen("password_change.txt", "w");
  std::fprintf(file, "%s %lu", provider, HandleToUlong(owner));
  std::fclose(file);
  FaultInObservedFrame();
}

#if !defined(FAULTING_DRIVER)
#include <gtest/gtest.h>

#include "tests/kit/WinTestKit.h"

#define APP "Software\\Wine\\AppDefaults\\guarded.scr"  // settings of that program only

TEST(FaultGuard, ReportThenUnwindingThenRunningStateClearedThenExitWithTheFaultsCode) {
  const char* key = "Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug";  // Auto 1, winedbg
  char debugger[2 * MAX_PATH], text[256];
  std::snprintf(debugger, sizeof debugger, "\"%s\" debugger %%ld %%ld", _pgmptr);
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, key, "Debugger", REG_SZ, debugger, strlen(debugger) + 1);
  // The saver as on Windows 98, beside the components: faults in /a, the dialog and WM_CREATE.
  CopyFileA("Z:" QUILLARA_SCR_PATH, "Z:" DRIVER "/guarded.scr", FALSE);
  RegSetKeyValueA(HKEY_CURRENT_USER, APP, "Version", REG_SZ, "win98", 6);
  for (const char* dll : {"opengl32", "glu32", "comctl32", "mpr"})  // the ones beside it
    RegSetKeyValueA(HKEY_CURRENT_USER, APP "\\DllOverrides", dll, REG_SZ, "native", 7);
  const HWND owner = CreatePlainWindow(60, 40), front = CreatePlainWindow(60, 40);
  SetForegroundWindow(front);  // so that a dropped owner would show as another window
  char change[64] = "", asOwner[32];  // "/a" names the change's owner
  std::snprintf(asOwner, sizeof asOwner, "guarded.scr /a %lu", HandleToUlong(owner));
  for (const char* line : {static_cast<const char*>(asOwner), "guarded.scr /c", "guarded.scr /s"}) {
    // The running state as a fresh process reads it: under Wine a process keeps what it read first.
    std::snprintf(text, sizeof text, "fault_report_tests.exe exited %x",
                  FinishProgram(StartProgram("Z:" DRIVER "/guarded.scr", line), 20000));
    FinishProgram(StartProgram(_pgmptr, text), 20000);
    Record("r", "", 0, text);
    int f = 0, r = 1, n = 0;  // the faulting process as it saw itself and as the report named it
    std::sscanf(text, "fault %d 1 report %d 1 unwound c000001d 1 exit c000001d 0%n", &f, &r, &n);
    EXPECT_TRUE(f == r && n > 0 && std::strcmp(text + n, "\n") == 0) << line << "\n" << text;
  }
  FILE* file = std::fopen("password_change.txt", "r");
  EXPECT_TRUE(file && std::fgets(change, sizeof change, file) && std::fclose(file) == 0);
  EXPECT_STREQ(change, (std::string("SCRSAVE ") + std::to_string(HandleToUlong(owner))).c_str());
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, key, "Debugger", REG_SZ, "winedbg --auto %ld %ld", 23);
  SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, nullptr, 0);  // left on when one failed
}

int main(int argc, char** argv) {
  unsigned long process = 0, event = 0;
  if (argc == 3 && std::sscanf(argv[2], "%lx", &process)) return Record("a", "exit %lx %lu\n", process), 0;
  if (argc == 4 && std::sscanf(argv[2], "%lu", &process) && std::sscanf(argv[3], "%lu", &event)) {
    Record("a", "report %lu %lu\n", process);  // then declines, as a debugger may
    return !SetEvent(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(event)));
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
#endif
