// The Windows 9x password support: when the component is loaded, when the
// screen-saver-running state is switched, and how a close is approved through
// the component's verifier (the PASSWORD.CPL stand-in beside this test).
#include "host/DefaultSaverProc.h"
#include "host/HostState.h"
#include "host/PasswordSupport.h"
#include "tests/host/EventLog.h"
#include "tests/host/StandIn.h"
#include "tests/host/TestKit.h"

#include <gtest/gtest.h>

namespace {

const UINT SpiScreenSaverRunning = 97;
const UINT VerifyPasswordMessage = 0x8000;

#define OPEN_DESKTOP \
  { SystemCall, 1, 0, "RegOpenKeyA:Control Panel\\Desktop" }
#define QUERY_USE_PASSWORD \
  { SystemCall, 4, 0, "RegQueryValueExA:ScreenSaveUsePassword" }
#define LOAD_COMPONENT \
  { SystemCall, 0, 0, "LoadLibraryA:PASSWORD.CPL" }
#define FIND_VERIFIER \
  { SystemCall, 0, 0, "GetProcAddress:VerifyScreenSavePwd" }
#define RUNNING_ON \
  { SystemCall, SpiScreenSaverRunning, 1, "SystemParametersInfoA:cell,0" }
#define RUNNING_OFF \
  { SystemCall, SpiScreenSaverRunning, 0, "SystemParametersInfoA:cell,0" }
#define RELEASE_COMPONENT \
  { SystemCall, 0, 0, "FreeLibrary" }
#define CLOSE_DESKTOP \
  { SystemCall, 0, 0, "RegCloseKey" }

const Event LoadArmed[] = {OPEN_DESKTOP,  QUERY_USE_PASSWORD, LOAD_COMPONENT,
                           FIND_VERIFIER, RUNNING_ON,         CLOSE_DESKTOP};
const Event LoadNoPassword[] = {OPEN_DESKTOP, QUERY_USE_PASSWORD, CLOSE_DESKTOP};
const Event LoadNoKey[] = {OPEN_DESKTOP};
const Event UnloadArmed[] = {RELEASE_COMPONENT, RUNNING_OFF};
const Event ReloadArmed[] = {RELEASE_COMPONENT, RUNNING_OFF,   OPEN_DESKTOP, QUERY_USE_PASSWORD,
                             LOAD_COMPONENT,    FIND_VERIFIER, RUNNING_ON,   CLOSE_DESKTOP};

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

TEST_F(PasswordSupport, PasswordInUseArmsTheVerifierAndSwitchesTheRunningStateOn) {
  registry.SetUsePassword(1);
  LoadPasswordComponent();
  EXPECT_TRUE(MatchesSequence(LoadArmed));
  ASSERT_NE(PasswordModule, nullptr);
  ASSERT_NE(PasswordVerifier, nullptr);
  EXPECT_EQ(reinterpret_cast<void*>(PasswordVerifier),
            reinterpret_cast<void*>(RealGetProcAddress(PasswordModule, "VerifyScreenSavePwd")));
  EXPECT_TRUE(ComponentInProcess());
}

TEST_F(PasswordSupport, UnloadReleasesTheComponentAndSwitchesTheRunningStateOff) {
  registry.SetUsePassword(1);
  LoadPasswordComponent();
  ClearEvents();
  UnloadPasswordComponent();
  EXPECT_TRUE(MatchesSequence(UnloadArmed));
  EXPECT_EQ(PasswordModule, nullptr);
  EXPECT_EQ(PasswordVerifier, nullptr);
  EXPECT_FALSE(ComponentInProcess());

  ClearEvents();
  UnloadPasswordComponent();  // nothing loaded: nothing to do
  EXPECT_TRUE(MatchesNothing());
}

TEST_F(PasswordSupport, WineTracksTheRunningState) {
  // What the system reports back (SPI_GETSCREENSAVERRUNNING), where the
  // platform keeps the state.
  const UINT spiGetScreenSaverRunning = 0x72;
  registry.SetUsePassword(1);
  LoadPasswordComponent();
  BOOL running = 2;
  BOOL queried = RealSystemParametersInfoA(spiGetScreenSaverRunning, 0, &running, 0);
  if (!queried) GTEST_SKIP() << "this platform does not report the screen-saver-running state";
  EXPECT_EQ(running, TRUE);
  UnloadPasswordComponent();
  RealSystemParametersInfoA(spiGetScreenSaverRunning, 0, &running, 0);
  EXPECT_EQ(running, FALSE);
}

TEST_F(PasswordSupport, NoPasswordWhenTheValueIsZeroMissingOrTooLong) {
  registry.SetUsePassword(0);
  LoadPasswordComponent();
  EXPECT_TRUE(MatchesSequence(LoadNoPassword));
  EXPECT_EQ(PasswordModule, nullptr);

  registry.DeleteUsePassword();
  ClearEvents();
  LoadPasswordComponent();
  EXPECT_TRUE(MatchesSequence(LoadNoPassword));
  EXPECT_EQ(PasswordModule, nullptr);

  const BYTE eightBytes[8] = {1, 0, 0, 0, 1, 0, 0, 0};
  registry.SetUsePassword(REG_BINARY, eightBytes, sizeof eightBytes);
  ClearEvents();
  LoadPasswordComponent();
  EXPECT_TRUE(MatchesSequence(LoadNoPassword));
  EXPECT_EQ(PasswordModule, nullptr);
  EXPECT_EQ(PasswordVerifier, nullptr);
  EXPECT_FALSE(ComponentInProcess());
}

TEST_F(PasswordSupport, NoPasswordWithoutTheDesktopKey) {
  LoadPasswordComponent();
  EXPECT_TRUE(MatchesSequence(LoadNoKey));
  EXPECT_EQ(PasswordModule, nullptr);
}

TEST_F(PasswordSupport, AnyTypeOfFourBytesCountsByItsValue) {
  const BYTE binaryOne[4] = {0, 0, 0, 1};
  registry.SetUsePassword(REG_BINARY, binaryOne, sizeof binaryOne);
  LoadPasswordComponent();
  EXPECT_TRUE(MatchesSequence(LoadArmed));
  EXPECT_NE(PasswordVerifier, nullptr);
}

TEST_F(PasswordSupport, AShortValueIsJudgedByItsOwnBytesOnly) {
  const BYTE oneZero[1] = {0};
  registry.SetUsePassword(REG_BINARY, oneZero, sizeof oneZero);
  LoadPasswordComponent();
  EXPECT_TRUE(MatchesSequence(LoadNoPassword));

  const BYTE twoZeros[2] = {0, 0};
  registry.SetUsePassword(REG_BINARY, twoZeros, sizeof twoZeros);
  ClearEvents();
  LoadPasswordComponent();
  EXPECT_TRUE(MatchesSequence(LoadNoPassword));

  const BYTE oneOne[1] = {1};
  registry.SetUsePassword(REG_BINARY, oneOne, sizeof oneOne);
  ClearEvents();
  LoadPasswordComponent();
  EXPECT_TRUE(MatchesSequence(LoadArmed));
  EXPECT_NE(PasswordVerifier, nullptr);
}

TEST_F(PasswordSupport, ASecondLoadFirstUnloadsWhatTheFirstLoaded) {
  registry.SetUsePassword(1);
  LoadPasswordComponent();
  ClearEvents();
  LoadPasswordComponent();
  EXPECT_TRUE(MatchesSequence(ReloadArmed));
  EXPECT_NE(PasswordVerifier, nullptr);
  EXPECT_TRUE(ComponentInProcess());
}

TEST_F(PasswordSupport, OnNtNothingIsReadLoadedOrSwitched) {
  Win9xPlatform = 0;
  registry.SetUsePassword(1);
  ClearEvents();
  LoadPasswordComponent();
  UnloadPasswordComponent();
  EXPECT_EQ(SetSaverRunning(TRUE), FALSE);
  SetSaverRunning(FALSE);
  EXPECT_TRUE(MatchesNothing());
  EXPECT_EQ(PasswordModule, nullptr);
  EXPECT_EQ(PasswordVerifier, nullptr);
  EXPECT_FALSE(ComponentInProcess());
}

TEST_F(PasswordSupport, SetSaverRunningPassesTheStateWithoutProfileUpdate) {
  static const Event expected[] = {RUNNING_ON, RUNNING_OFF};
  SetSaverRunning(TRUE);
  SetSaverRunning(FALSE);
  EXPECT_TRUE(MatchesSequence(expected));
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

HWND CheckedWindow = nullptr;
LRESULT NestedCloseResult = -1;
int TimersLeftDuringCheck = -1;
bool UserMessageKept = false;
int CheckFlagDuringCall = -1;

TEST_F(PasswordCheck, RefusedKeepsTheSaverRunningAndHidesTheCursorAgain) {
  static const Event expected[] = {
      {Received, WM_CLOSE, 0},
      {Received, VerifyPasswordMessage, 0},
      {CursorHidden, 0, 0},
  };
  standIn.QueueAnswer(FALSE);
  POINT cursor;
  GetCursorPos(&cursor);
  MouseAnchor = {cursor.x - 300, cursor.y - 300};
  DWORD before = GetTickCount();
  EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(MatchesSequence(expected));
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(standIn.CallCount(), 1);
  EXPECT_EQ(standIn.CallWindow(0), window);
  EXPECT_EQ(CloseApproved, 0);
  EXPECT_EQ(CheckInProgress, 0);
  EXPECT_GE(LastCheckTick - before, 0u);
  EXPECT_LE(LastCheckTick - before, 1000u);
  EXPECT_EQ(MouseAnchor.x, cursor.x);  // measured afresh from the cursor
  EXPECT_EQ(MouseAnchor.y, cursor.y);
}

TEST_F(PasswordCheck, AcceptedClosesTheWindow) {
  static const Event expected[] = {
      {Received, WM_CLOSE, 0},
      {Received, VerifyPasswordMessage, 0},
      {ReachedDefault, WM_CLOSE, 0},
  };
  standIn.QueueAnswer(TRUE);
  RecordingOn = true;
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(CloseApproved, 1);
  EXPECT_EQ(standIn.CallCount(), 1);
  // The destruction that follows is the platform's; compare up to the close.
  ASSERT_GE(EventCount(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(EventAt(i).kind, expected[i].kind) << i;
    EXPECT_EQ(EventAt(i).message, expected[i].message) << i;
  }
  EXPECT_EQ(CountEvents(CursorHidden, 0), 0u);
}

TEST_F(PasswordCheck, ACloseWithin200MsIsRefusedWithoutAskingALaterOneAsksAgain) {
  static const Event refusedSilently[] = {
      {Received, WM_CLOSE, 0},
  };
  standIn.QueueAnswer(FALSE);
  standIn.QueueAnswer(TRUE);
  SendMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_EQ(standIn.CallCount(), 1);

  ClearEvents();
  EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(MatchesSequence(refusedSilently));
  EXPECT_EQ(standIn.CallCount(), 1);
  EXPECT_TRUE(IsWindow(window));

  Sleep(260);
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(standIn.CallCount(), 2);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(CloseApproved, 1);
}

TEST_F(PasswordCheck, The200MsCountFromTheEndOfTheDialog) {
  standIn.QueueAnswer(FALSE);
  standIn.SetModalMillis(300);  // the user takes a while to answer
  SendMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_EQ(standIn.CallCount(), 1);
  standIn.SetModalMillis(0);
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(standIn.CallCount(), 1);
}

TEST_F(PasswordCheck, TheDelayIsAnUnsignedTickDifference) {
  LastCheckTick = GetTickCount() - 120;
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(standIn.CallCount(), 0);
  LastCheckTick = GetTickCount() - 400;
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(standIn.CallCount(), 1);
  // Ahead of the counter (it wrapped since): far in the past, asks again.
  Sleep(260);
  LastCheckTick = GetTickCount() + 1000;
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(standIn.CallCount(), 2);
}

TEST_F(PasswordCheck, ACloseRequestDuringTheCheckIsRefused) {
  standIn.QueueAnswer(FALSE);
  standIn.SetDuringCall([](HWND w) {
    CheckFlagDuringCall = CheckInProgress;
    NestedCloseResult = SendMessageA(w, WM_CLOSE, 0, 0);
    // A trigger while the dialog is open is ignored as well.
    SendMessageA(w, WM_KEYDOWN, 'A', 0x001E0001);
  });
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(CheckFlagDuringCall, 1);
  EXPECT_EQ(NestedCloseResult, 0);
  EXPECT_EQ(standIn.CallCount(), 1);
  EXPECT_EQ(CountEvents(Received, WM_CLOSE), 2u);
  EXPECT_EQ(CountEvents(Posted, WM_CLOSE), 0u);
  EXPECT_EQ(CountEvents(ReachedDefault, WM_CLOSE), 0u);
  EXPECT_TRUE(IsWindow(window));
}

TEST_F(PasswordCheck, AQueuedCloseDispatchedByTheDialogsLoopIsRefused) {
  standIn.QueueAnswer(FALSE);
  standIn.SetModalMillis(100);
  RealPostMessageA(window, WM_CLOSE, 0, 0);
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(standIn.CallCount(), 1);
  EXPECT_EQ(CountEvents(Received, WM_CLOSE), 2u);  // the queued one ran inside the dialog
  EXPECT_EQ(CountEvents(ReachedDefault, WM_CLOSE), 0u);
  EXPECT_TRUE(IsWindow(window));
}

TEST_F(PasswordCheck, UpToTwoPendingTimerMessagesAreRemovedBeforeAsking) {
  standIn.QueueAnswer(FALSE);
  standIn.QueueAnswer(FALSE);
  standIn.SetDuringCall([](HWND w) {
    TimersLeftDuringCheck = TakeQueued(w, WM_TIMER);
    UserMessageKept = IsQueued(w, WM_USER);
  });
  for (int i = 0; i < 3; ++i) RealPostMessageA(window, WM_TIMER, 1, 0);
  RealPostMessageA(window, WM_USER, 0, 0);
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(TimersLeftDuringCheck, 1);
  EXPECT_TRUE(UserMessageKept);
  TakeQueued(window, WM_USER);

  Sleep(260);
  RealPostMessageA(window, WM_TIMER, 1, 0);
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(standIn.CallCount(), 2);
  EXPECT_EQ(TimersLeftDuringCheck, 0);
}

TEST_F(PasswordCheck, AutoPlayIsCancelledWhileAVerifierIsLoaded) {
  CancelAutoPlayMsg = RegisterWindowMessageA("QueryCancelAutoPlay");
  EXPECT_EQ(SendMessageA(window, CancelAutoPlayMsg, 0, 0), 1);
  EXPECT_EQ(TakeQueued(window, WM_CLOSE), 1);
  EXPECT_EQ(standIn.CallCount(), 0);
  UnloadPasswordComponent();
  EXPECT_EQ(SendMessageA(window, CancelAutoPlayMsg, 0, 0), 0);
  EXPECT_EQ(TakeQueued(window, WM_CLOSE), 1);
}

TEST_F(PasswordCheck, TheVerifyRequestReachesTheVerifierEvenWhileChecking) {
  standIn.QueueAnswer(TRUE);
  CheckInProgress = 1;
  EXPECT_EQ(SendMessageA(window, VerifyPasswordMessage, 0, 0), TRUE);
  EXPECT_EQ(standIn.CallCount(), 1);
  EXPECT_EQ(CloseApproved, 0);  // only ApproveClose approves
}

}  // namespace
