// The exception guard, seen from outside: a program whose mode faults ends
// with the fault's exception code, after switching the running state off.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "host/ExceptionGuard.h"
#include "tests/startup/ProcessHarness.h"

namespace {

std::string TempFile(const char* stem) {
  char folder[MAX_PATH], path[MAX_PATH];
  GetTempPathA(sizeof folder, folder);
  GetTempFileNameA(folder, stem, 0, path);
  DeleteFileA(path);
  return path;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

int ReturnsSeven(const char*) { return 7; }
int ReturnsLength(const char* text) { return lstrlenA(text); }

}  // namespace

TEST(ExceptionGuard, FaultInTheModeEndsWithTheExceptionCodeAfterRunningOff) {
  const std::string log = TempFile("qgd");
  SetEnvironmentVariableA("QUILLARA_STANDIN_LOG", log.c_str());
  SetEnvironmentVariableA("QUILLARA_STANDIN_CRASH", "1");
  // Should the guard fail, no fault box may hold the test up.
  SetErrorMode(SEM_NOGPFAULTERRORBOX | SEM_FAILCRITICALERRORS);
  ChildProcess program;
  ASSERT_TRUE(program.Start(WindowsPath(STANDIN_PROGRAM_PATH), "startup_standin.exe /s"));
  EXPECT_EQ(static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION), program.WaitForExit(15000));
  EXPECT_EQ("RunSaver 0\nSetSaverRunning 0\n", ReadAll(log));
  DeleteFileA(log.c_str());
}

TEST(ExceptionGuard, ModeWithoutFaultEndsWithItsOwnCode) {
  const std::string log = TempFile("qgd");
  SetEnvironmentVariableA("QUILLARA_STANDIN_LOG", log.c_str());
  SetEnvironmentVariableA("QUILLARA_STANDIN_CRASH", nullptr);
  ChildProcess program;
  ASSERT_TRUE(program.Start(WindowsPath(STANDIN_PROGRAM_PATH), "startup_standin.exe -S"));
  EXPECT_EQ(42u, program.WaitForExit(15000));
  EXPECT_EQ("RunSaver 0\n", ReadAll(log)) << "the running state is left alone";
  DeleteFileA(log.c_str());
}

TEST(ExceptionGuard, ReturnsTheBodysResultAndRemovesItsFilter) {
  LPTOP_LEVEL_EXCEPTION_FILTER before = SetUnhandledExceptionFilter(nullptr);
  SetUnhandledExceptionFilter(before);
  EXPECT_EQ(7, RunGuarded(ReturnsSeven, ""));
  EXPECT_EQ(5, RunGuarded(ReturnsLength, "hello"));
  EXPECT_EQ(before, SetUnhandledExceptionFilter(before))
      << "the filter in place before the guard is back";
}
