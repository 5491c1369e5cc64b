// A "PASSWORD.CPL" without the "VerifyScreenSavePwd" entry (the stand-in
// built without it, beside this test): released at once, nothing armed, and
// the saver closes on its first close without asking.
#include <gtest/gtest.h>

#include "host/DefaultSaverProc.h"
#include "host/HostState.h"
#include "host/PasswordSupport.h"
#include "tests/host/EventLog.h"
#include "tests/host/TestKit.h"

namespace {

TEST(PasswordWithoutEntry, TheComponentIsReleasedAtOnceAndTheFirstCloseIsApproved) {
  const Event expected[] = {
      {SystemCall, 1, 0, "RegOpenKeyA:Control Panel\\Desktop"},
      {SystemCall, 4, 0, "RegQueryValueExA:ScreenSaveUsePassword"},
      {SystemCall, 0, 0, "LoadLibraryA:PASSWORD.CPL"},
      {SystemCall, 0, 0, "GetProcAddress:VerifyScreenSavePwd"},
      {SystemCall, 0, 0, "FreeLibrary"},
      {SystemCall, 0, 0, "RegCloseKey"},
  };
  InstallRecordingHooks();
  ScratchRegistry registry;
  registry.SetUsePassword(1);
  Win9xPlatform = 1;
  ClearEvents();
  LoadPasswordComponent();
  EXPECT_TRUE(MatchesSequence(expected));
  EXPECT_EQ(PasswordModule, nullptr);
  EXPECT_EQ(PasswordVerifier, nullptr);
  EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), nullptr);

  HWND window = CreateRecordingWindow();
  ASSERT_NE(window, nullptr);
  ClearEvents();
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(CloseApproved, 1);
  EXPECT_EQ(CountEvents(Received, 0x8000), 0u);
}

}  // namespace
