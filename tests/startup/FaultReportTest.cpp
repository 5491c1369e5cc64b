// A fault in the guard: first the report (a stand-in debugger), then the state cleared, then exit.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "host/HostState.h"
#include "host/PasswordSupport.h"
#include "host/StartUp.h"
#include "tests/kit/WinTestKit.h"

// Adds a line and the running state to the record in the directory all three processes share.
static void Record(const char* mode, const char* line, unsigned long value, char* text = nullptr) {
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  FILE* file = std::fopen("fault_report.txt", mode);
  if (text) text[std::fread(text, 1, 255, file)] = '\0';
  std::fprintf(file, line, value, running);
  std::fclose(file);
}

// Running state on, a DLL's new top filter, then a write to read-only code (root Wine maps page 0).
static int RunAndFault(const char*) {
  Win9xPlatform = 1;
  SetSaverRunning(TRUE);
  Record("w", "fault %lu running %lu\n", GetCurrentProcessId());
  SetUnhandledExceptionFilter(nullptr);
  return *reinterpret_cast<volatile char*>(reinterpret_cast<void*>(&RunAndFault)) = 0;
}

TEST(FaultGuard, ReportFirstThenRunningStateClearedThenExitWithTheFaultsCode) {
  const char* key = "Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug";  // Auto is 1
  char self[MAX_PATH], debugger[2 * MAX_PATH], saved[MAX_PATH] = "", text[256];
  DWORD size = sizeof saved;
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::snprintf(debugger, sizeof debugger, "\"%s\" debugger %%ld %%ld", self);
  RegGetValueA(HKEY_LOCAL_MACHINE, key, "Debugger", RRF_RT_REG_SZ, nullptr, saved, &size);
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, key, "Debugger", REG_SZ, debugger, strlen(debugger) + 1);
  const int exitCode = RunProgram(self, "fault_report_tests fault", 20000);
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, key, "Debugger", REG_SZ, saved, size);  // the run's prefix
  Record("a", "exit %lx running %lu\n", static_cast<unsigned long>(exitCode));
  Record("r", "", 0, text);
  int f = 0, r = 1, n = 0;  // the faulting process as it saw itself and as the report named it
  std::sscanf(text, "fault %d running 1 report %d running 1 exit c0000005 running 0%n", &f, &r, &n);
  EXPECT_TRUE(f == r && n > 0 && std::strcmp(text + n, "\n") == 0) << text;
}

int main(int argc, char** argv) {
  unsigned long process = 0, event = 0;
  if (argc == 4 && std::sscanf(argv[2], "%lu", &process) && std::sscanf(argv[3], "%lu", &event)) {
    Record("a", "report %lu running %lu\n", process);  // then declines, as a debugger may
    return !SetEvent(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(event)));
  }
  if (argc == 2 && std::strcmp(argv[1], "fault") == 0) return RunGuarded(RunAndFault, "");
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
