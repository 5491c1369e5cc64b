// The Windows 9x password support: when the component is loaded, when the
// screen-saver-running state is switched, and how a close is approved through
// the component's verifier (the PASSWORD.CPL stand-in beside this test).
#include <gtest/gtest.h>

#include "host/DefaultSaverProc.h"
#include "host/HostState.h"
#include "host/PasswordSupport.h"
#include "tests/host/EventLog.h"
#include "tests/host/StandIn.h"
#include "tests/host/TestKit.h"

namespace {

const UINT VerifyPasswordMessage = 0x8000;

const Event OpenDesktop = {SystemCall, 1, 0, "RegOpenKeyA:Control Panel\\Desktop"};
const Event QueryUsePassword = {SystemCall, 4, 0, "RegQueryValueExA:ScreenSaveUsePassword"};
const Event LoadComponent = {SystemCall, 0, 0, "LoadLibraryA:PASSWORD.CPL"};
const Event FindVerifier = {SystemCall, 0, 0, "GetProcAddress:VerifyScreenSavePwd"};
const Event RunningOn = {SystemCall, 97, 1, "SystemParametersInfoA:cell,0"};
const Event RunningOff = {SystemCall, 97, 0, "SystemParametersInfoA:cell,0"};
const Event ReleaseComponent = {SystemCall, 0, 0, "FreeLibrary"};
const Event CloseDesktop = {SystemCall, 0, 0, "RegCloseKey"};

const Event LoadArmed[] = {OpenDesktop,  QueryUsePassword, LoadComponent,
                           FindVerifier, RunningOn,        CloseDesktop};
const Event LoadNoPassword[] = {OpenDesktop, QueryUsePassword, CloseDesktop};
const Event UnloadArmed[] = {ReleaseComponent, RunningOff};

class PasswordSupport : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallRecordingHooks();
    Win9xPlatform = 1;
    ClearEvents();
  }
  void TearDown() override {
    RecordingOn = false;
    UnloadPasswordComponent();
  }
  ScratchRegistry registry;
};

bool ComponentInProcess() { return GetModuleHandleA("PASSWORD.CPL") != nullptr; }

// "ScreenSaveUsePassword" of any type counts by the value of its (at most
// four) bytes; anything longer, missing or zero means no password.
TEST_F(PasswordSupport, TheRegistryValueDecidesWhetherTheVerifierIsArmed) {
  const BYTE one[4] = {1, 0, 0, 0}, zero[4] = {0, 0, 0, 0}, highByte[4] = {0, 0, 0, 1};
  const BYTE eightBytes[8] = {1, 0, 0, 0, 1, 0, 0, 0};
  const struct {
    const char* name;
    DWORD type;
    const BYTE* data;
    DWORD size;
    bool armed;
  } rows[] = {
      {"no Desktop key", 0, nullptr, 0, false},
      {"DWORD 1", REG_DWORD, one, 4, true},
      {"DWORD 0", REG_DWORD, zero, 4, false},
      {"missing value", REG_DWORD, nullptr, 0, false},
      {"8 bytes", REG_BINARY, eightBytes, 8, false},
      {"4 binary bytes, last set", REG_BINARY, highByte, 4, true},
      {"1 zero byte", REG_BINARY, zero, 1, false},
      {"2 zero bytes", REG_BINARY, zero, 2, false},
      {"1 byte of 1", REG_BINARY, one, 1, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.type != 0) registry.SetUsePassword(row.type, row.data, row.size);
    ClearEvents();
    LoadPasswordComponent();
    if (row.type == 0)
      EXPECT_TRUE(MatchesSequence(&OpenDesktop, 1));
    else if (row.armed)
      EXPECT_TRUE(MatchesSequence(LoadArmed));
    else
      EXPECT_TRUE(MatchesSequence(LoadNoPassword));
    EXPECT_EQ(ComponentInProcess(), row.armed);
    EXPECT_EQ(PasswordVerifier != nullptr, row.armed);
    if (row.armed)
      EXPECT_EQ(reinterpret_cast<void*>(PasswordVerifier),
                reinterpret_cast<void*>(RealGetProcAddress(PasswordModule, "VerifyScreenSavePwd")));
    ClearEvents();
    UnloadPasswordComponent();
    if (row.armed)
      EXPECT_TRUE(MatchesSequence(UnloadArmed));
    else
      EXPECT_TRUE(MatchesSequence(nullptr, 0));
    EXPECT_EQ(PasswordModule, nullptr);
    EXPECT_EQ(PasswordVerifier, nullptr);
    EXPECT_FALSE(ComponentInProcess());
  }
  // A second load first unloads what the first loaded.
  registry.SetUsePassword(1);
  LoadPasswordComponent();
  ClearEvents();
  LoadPasswordComponent();
  const Event reload[] = {ReleaseComponent, RunningOff,   OpenDesktop, QueryUsePassword,
                          LoadComponent,    FindVerifier, RunningOn,   CloseDesktop};
  EXPECT_TRUE(MatchesSequence(reload));
  EXPECT_TRUE(ComponentInProcess());
  // The running state goes to the system as it is, without profile update.
  ClearEvents();
  SetSaverRunning(TRUE);
  SetSaverRunning(FALSE);
  const Event running[] = {RunningOn, RunningOff};
  EXPECT_TRUE(MatchesSequence(running));
}

TEST_F(PasswordSupport, OnNtNothingIsReadLoadedOrSwitched) {
  Win9xPlatform = 0;
  registry.SetUsePassword(1);
  ClearEvents();
  LoadPasswordComponent();
  UnloadPasswordComponent();
  EXPECT_EQ(SetSaverRunning(TRUE), FALSE);
  SetSaverRunning(FALSE);
  EXPECT_TRUE(MatchesSequence(nullptr, 0));
  EXPECT_EQ(PasswordModule, nullptr);
  EXPECT_FALSE(ComponentInProcess());
}

// --- approving a close through the verifier ----------------------------------

class PasswordCheck : public PasswordSupport {
 protected:
  void SetUp() override {
    PasswordSupport::SetUp();
    PlaceCursor(600, 500);
    registry.SetUsePassword(1);
    LoadPasswordComponent();
    ASSERT_TRUE(standIn.Bind());
    window = CreateRecordingWindow();
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window);
    PumpFor(100);
    // Coming up under a still cursor must not have asked for the password.
    ASSERT_EQ(CountEvents(Posted, WM_CLOSE), 0u);
    ASSERT_EQ(standIn.CallCount(), 0);
    ClearEvents();
  }
  void TearDown() override {
    if (IsWindow(window)) DestroyWindow(window);
    PasswordSupport::TearDown();
  }
  StandIn standIn;
  HWND window = nullptr;
};

TEST_F(PasswordCheck, RefusedKeepsRunningThenWaits200MsFromTheDialogsEndThenAccepted) {
  const Event refused[] = {
      {Received, WM_CLOSE, 0}, {Received, VerifyPasswordMessage, 0}, {CursorHidden}};
  const Event refusedWithoutAsking[] = {{Received, WM_CLOSE, 0}};
  const Event accepted[] = {
      {Received, WM_CLOSE, 0}, {Received, VerifyPasswordMessage, 0}, {ReachedDefault, WM_CLOSE, 0}};
  standIn.QueueAnswer(FALSE);
  standIn.QueueAnswer(TRUE);
  standIn.SetDuringCall([](HWND) { PumpFor(300); });  // the user takes a while to answer
  POINT cursor;
  GetCursorPos(&cursor);
  MouseAnchor = {cursor.x - 300, cursor.y - 300};
  const DWORD before = GetTickCount();
  EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(MatchesSequence(refused));
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(standIn.CallCount(), 1);
  EXPECT_EQ(standIn.CallWindow(0), window);
  EXPECT_EQ(CloseApproved, 0);
  EXPECT_EQ(CheckInProgress, 0);
  EXPECT_GE(LastCheckTick - before, 300u);  // counted from the dialog's end
  EXPECT_LE(LastCheckTick - before, 1300u);
  EXPECT_EQ(MouseAnchor.x, cursor.x);  // measured afresh from the cursor
  EXPECT_EQ(MouseAnchor.y, cursor.y);

  standIn.SetDuringCall(nullptr);
  ClearEvents();
  EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(MatchesSequence(refusedWithoutAsking));
  EXPECT_EQ(standIn.CallCount(), 1);
  EXPECT_TRUE(IsWindow(window));

  Sleep(260);
  ClearEvents();
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(MatchesSequence(accepted, true));  // then the platform destroys the window
  EXPECT_EQ(standIn.CallCount(), 2);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(CloseApproved, 1);
  EXPECT_EQ(CountEvents(CursorHidden, 0), 0u);
}

TEST_F(PasswordCheck, TheDelayIsAnUnsignedTickDifference) {
  const struct {
    const char* name;
    long offset;  // LastCheckTick relative to now
    int calls;
  } rows[] = {{"120 ms ago", -120, 0},
              {"400 ms ago", -400, 1},
              {"ahead of the counter (it wrapped since)", 1000, 2}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Sleep(260);  // past the previous check
    LastCheckTick = GetTickCount() + DWORD(row.offset);
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(standIn.CallCount(), row.calls);
  }
}

LRESULT NestedCloseResult = -1;
int CheckFlagDuringCall = -1;
int TimersLeftDuringCheck = -1;
bool UserMessageKept = false;

// While the dialog is open, a nested close, a queued close its loop
// dispatches and a trigger are all refused or ignored; up to two pending
// frame timers were taken out of the queue before asking.
TEST_F(PasswordCheck, DuringTheCheckClosesAreRefusedAndTriggersIgnored) {
  standIn.QueueAnswer(FALSE);
  standIn.SetDuringCall([](HWND w) {
    CheckFlagDuringCall = CheckInProgress;
    MSG msg;
    TimersLeftDuringCheck = 0;
    while (PeekMessageA(&msg, w, WM_TIMER, WM_TIMER, PM_REMOVE)) ++TimersLeftDuringCheck;
    UserMessageKept = PeekMessageA(&msg, w, WM_USER, WM_USER, PM_NOREMOVE) != 0;
    RealPostMessageA(w, WM_CLOSE, 0, 0);  // dispatched by the modal loop below
    PumpFor(100);
    NestedCloseResult = SendMessageA(w, WM_CLOSE, 0, 0);
    SendMessageA(w, WM_KEYDOWN, 'A', 0x001E0001);
  });
  for (int i = 0; i < 3; ++i) RealPostMessageA(window, WM_TIMER, 1, 0);
  RealPostMessageA(window, WM_USER, 0, 0);
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(CheckFlagDuringCall, 1);
  EXPECT_EQ(NestedCloseResult, 0);
  EXPECT_EQ(TimersLeftDuringCheck, 1);
  EXPECT_TRUE(UserMessageKept);
  EXPECT_EQ(standIn.CallCount(), 1);
  EXPECT_EQ(CountEvents(Received, WM_CLOSE), 3u);
  EXPECT_EQ(CountEvents(Posted, WM_CLOSE), 0u);
  EXPECT_EQ(CountEvents(ReachedDefault, WM_CLOSE), 0u);
  EXPECT_TRUE(IsWindow(window));
}

}  // namespace
