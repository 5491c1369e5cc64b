// The password change of the Windows 9x platform: a probe program runs the
// dispatch with Win9xPlatform set, beside a stand-in MPR.DLL that records
// how it was called.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "host/HostState.h"
#include "host/StartUp.h"
#include "tests/startup/ProcessHarness.h"

namespace {

// Wine would load its own MPR.DLL even with one beside the program; its
// per-program overrides make the probe take the stand-in.  (Windows takes
// the one beside the program anyway.)  The key names only the probe.
void PreferStandInProvider() {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER,
                      "Software\\Wine\\AppDefaults\\password_change_probe.exe\\DllOverrides", 0,
                      nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
    const char native[] = "native";
    RegSetValueExA(key, "mpr", 0, REG_SZ, reinterpret_cast<const BYTE*>(native), sizeof native);
    RegCloseKey(key);
  }
}

class PasswordChange : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[MAX_PATH], path[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    GetTempFileNameA(folder, "qmp", 0, path);
    DeleteFileA(path);
    log_ = path;
    SetEnvironmentVariableA("QUILLARA_MPR_LOG", log_.c_str());
    PreferStandInProvider();
    owner_ = CreateTestWindow("password owner");
    other_ = CreateTestWindow("foreground window");
  }
  void TearDown() override {
    DestroyWindow(owner_);
    DestroyWindow(other_);
    DeleteFileA(log_.c_str());
  }
  DWORD RunProbe(const char* mode, const std::string& afterName) {
    SetEnvironmentVariableA("QUILLARA_PROBE_MODE", mode);
    ChildProcess probe;
    if (!probe.Start(WindowsPath(PROBE_PROGRAM_PATH), "probe.exe " + afterName)) return NoExitYet;
    return probe.WaitForExit(15000);
  }
  std::string Recorded() const {
    std::ifstream in(log_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  static std::string Value(HWND window) {
    return std::to_string(static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(window)));
  }
  std::string log_;
  HWND owner_ = nullptr;
  HWND other_ = nullptr;
};

}  // namespace

TEST_F(PasswordChange, Win9xCallsTheProviderWithScrsaveAndTheOwner) {
  EXPECT_EQ(0u, RunProbe("9x", "/a " + Value(owner_)));
  EXPECT_EQ("SCRSAVE " + Value(owner_) + " 0 0\n", Recorded());
}

TEST_F(PasswordChange, Win9xBadOwnerFallsBackToTheForegroundWindow) {
  SetForegroundWindow(other_);
  PumpMessages(50);
  HWND foreground = GetForegroundWindow();
  ASSERT_EQ(other_, foreground);
  HWND gone = CreateTestWindow("gone");
  std::string goneValue = Value(gone);
  DestroyWindow(gone);
  SetForegroundWindow(other_);
  PumpMessages(50);
  for (const std::string& afterName : std::initializer_list<std::string>{
           "-A", "/a 0", "/a:123", "/a   " + goneValue, "/a\t" + Value(owner_)}) {
    SCOPED_TRACE(afterName);  // a tab after the letter is not skipped: 0
    EXPECT_EQ(0u, RunProbe("9x", afterName));
  }
  const std::string line = "SCRSAVE " + Value(foreground) + " 0 0\n";
  EXPECT_EQ(line + line + line + line + line, Recorded());
}

TEST_F(PasswordChange, Win9xHandleWrapsAndTrailingTextIsIgnored) {
  unsigned long long wrapped = (1ull << 32) + reinterpret_cast<ULONG_PTR>(owner_);
  EXPECT_EQ(0u, RunProbe("9x", "/a " + std::to_string(wrapped) + " more text"));
  EXPECT_EQ("SCRSAVE " + Value(owner_) + " 0 0\n", Recorded());
}

TEST_F(PasswordChange, NtFamilyEndsWithMinusOneAndCallsNothing) {
  EXPECT_EQ(static_cast<DWORD>(-1), RunProbe("nt", "/a " + Value(owner_)));
  EXPECT_EQ(static_cast<DWORD>(-1), RunProbe("nt", "a"));
  EXPECT_EQ("", Recorded());
}

TEST_F(PasswordChange, RunPasswordChangeReturnsZeroWithAnyText) {
  EXPECT_EQ(0u, RunProbe("direct", Value(owner_)));
  EXPECT_EQ(0u, RunProbe("direct", "\xFF\xFE"));
  SetForegroundWindow(other_);
  PumpMessages(50);
  const std::string expected =
      "SCRSAVE " + Value(owner_) + " 0 0\nSCRSAVE " + Value(GetForegroundWindow()) + " 0 0\n";
  EXPECT_EQ(expected, Recorded());
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
