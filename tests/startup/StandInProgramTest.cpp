// Start-up programs around stand-ins, seen from outside: the exception guard
// of a mode that faults, and the Windows 9x password change calling a
// stand-in MPR.DLL that records how it was called.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "host/ExceptionGuard.h"
#include "host/HostState.h"
#include "host/StartUp.h"
#include "tests/startup/ProcessHarness.h"

namespace {

// A fresh temporary file name, removed again when the test ends.
struct TempLog {
  std::string path;
  explicit TempLog(const char* variable) {
    char folder[MAX_PATH], name[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    GetTempFileNameA(folder, "qst", 0, name);
    path = name;
    Clear();
    SetEnvironmentVariableA(variable, name);
  }
  ~TempLog() { Clear(); }
  void Clear() const { DeleteFileA(path.c_str()); }
  std::string Text() const {
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
  }
};

DWORD RunProgram(const char* program, const std::string& commandLine) {
  ChildProcess child;
  if (!child.Start(WindowsPath(program), commandLine)) return NoExitYet;
  return child.WaitForExit(15000);
}

std::string Value(uint64_t value) { return std::to_string(value); }
uint64_t Value(HWND window) { return reinterpret_cast<ULONG_PTR>(window); }

int ReturnsLength(const char* text) { return lstrlenA(text); }

}  // namespace

TEST(ExceptionGuard, AFaultEndsWithItsCodeAfterRunningOffOtherwiseTheModesCode) {
  TempLog log("QUILLARA_STANDIN_LOG");
  SetErrorMode(SEM_NOGPFAULTERRORBOX | SEM_FAILCRITICALERRORS);  // no fault box, should it fail
  SetEnvironmentVariableA("QUILLARA_STANDIN_CRASH", "1");
  EXPECT_EQ(static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION),
            RunProgram(STANDIN_PROGRAM_PATH, "startup_standin.exe /s"));
  EXPECT_EQ("RunSaver 0\nSetSaverRunning 0\n", log.Text());
  log.Clear();
  SetEnvironmentVariableA("QUILLARA_STANDIN_CRASH", nullptr);
  EXPECT_EQ(42u, RunProgram(STANDIN_PROGRAM_PATH, "startup_standin.exe -S"));
  EXPECT_EQ("RunSaver 0\n", log.Text()) << "the running state is left alone";

  // In process: the body's result comes back and the filter before is restored.
  LPTOP_LEVEL_EXCEPTION_FILTER before = SetUnhandledExceptionFilter(nullptr);
  SetUnhandledExceptionFilter(before);
  EXPECT_EQ(5, RunGuarded(ReturnsLength, "hello"));
  EXPECT_EQ(before, SetUnhandledExceptionFilter(before));
}

TEST(PasswordChange, Win9xCallsTheProviderWithScrsaveTheOwnerAndZerosAndEndsWithZero) {
  // Wine would load its own MPR.DLL even with one beside the program; its
  // per-program overrides make the probe take the stand-in.  (Windows takes
  // the one beside the program anyway.)  The key names only the probe.
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS,
            RegCreateKeyExA(HKEY_CURRENT_USER,
                            "Software\\Wine\\AppDefaults\\password_change_probe.exe\\DllOverrides",
                            0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
  RegSetValueExA(key, "mpr", 0, REG_SZ, reinterpret_cast<const BYTE*>("native"), 7);
  RegCloseKey(key);
  TempLog log("QUILLARA_MPR_LOG");
  HWND owner = CreateTestWindow("password owner");
  HWND other = CreateTestWindow("foreground window");
  HWND gone = CreateTestWindow("gone");
  const std::string ownerValue = Value(Value(owner)), goneValue = Value(Value(gone));
  DestroyWindow(gone);
  SetForegroundWindow(other);
  PumpMessages(50);
  ASSERT_EQ(other, GetForegroundWindow());
  const std::string toOwner = "SCRSAVE " + ownerValue + " 0 0\n";
  const std::string toForeground = "SCRSAVE " + Value(Value(other)) + " 0 0\n";

  struct Case {
    const char* mode;  // "9x", "nt", or "direct" for RunPasswordChange alone
    std::string afterName, program;
    DWORD exitCode;
    std::string recorded;
  };
  const std::string probe = PROBE_PROGRAM_PATH, withoutEntry = PROBE_WITHOUT_ENTRY_PATH,
                    withoutLibrary = PROBE_WITHOUT_LIBRARY_PATH;
  const Case cases[] = {
      {"9x", "/a " + ownerValue, probe, 0, toOwner},
      {"9x", "/a " + Value(Value(owner) + (1ull << 32)) + " more text", probe, 0, toOwner},
      {"9x", "-A", probe, 0, toForeground},
      {"9x", "/a 0", probe, 0, toForeground},
      {"9x", "/a:123", probe, 0, toForeground},
      {"9x", "/a   " + goneValue, probe, 0, toForeground},
      {"9x", "/a\t" + ownerValue, probe, 0, toForeground},  // a tab is not skipped: 0
      {"9x", "/a " + ownerValue, withoutLibrary, 0, ""},    // no MPR.DLL at all
      {"9x", "/a " + ownerValue, withoutEntry, 0, ""},      // no entry in it
      {"nt", "/a " + ownerValue, probe, static_cast<DWORD>(-1), ""},
      {"nt", "a", probe, static_cast<DWORD>(-1), ""},
      {"direct", ownerValue, probe, 0, toOwner},
      {"direct", "\xFF\xFE", probe, 0, toForeground},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.mode) + " " + c.program + " " + c.afterName);
    log.Clear();
    SetEnvironmentVariableA("QUILLARA_PROBE_MODE", c.mode);
    EXPECT_EQ(c.exitCode, RunProgram(c.program.c_str(), "probe.exe " + c.afterName));
    EXPECT_EQ(c.recorded, log.Text());
  }
  DestroyWindow(owner);
  DestroyWindow(other);
}

TEST(SaverMainPlatform, WineReportsTheNtFamily) {
  // SaverMain records the instance and the platform before any mode runs.
  Win9xPlatform = 1;
  SetEnvironmentVariableA("QUILLARA_STANDIN_LOG", nullptr);
  HINSTANCE self = GetModuleHandleA(nullptr);
  EXPECT_EQ(-1, SaverMain(self, "/a 1"));
  EXPECT_EQ(0, Win9xPlatform);
  EXPECT_EQ(self, ModuleInstance);
  EXPECT_EQ(42, SaverMain(self, "/s")) << "the stand-in RunSaver's code";
}
