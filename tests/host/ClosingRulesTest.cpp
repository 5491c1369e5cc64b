// The closing rules of DefaultSaverProc, driven through a real window with
// real messages: what is posted, what falls to DefWindowProcA, and when the
// cursor is hidden.
#include "host/DefaultSaverProc.h"
#include "host/HostState.h"
#include "tests/host/EventLog.h"
#include "tests/host/TestKit.h"

#include <gtest/gtest.h>

namespace {

const UINT VerifyPasswordMessage = 0x8000;
const LPARAM AltDown = LPARAM(1) << 29;

struct Trigger {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  const char* name;
};

// Every message that ends a full-screen saver on its own.
const Trigger ClosingTriggers[] = {
    {WM_KEYDOWN, 'A', 0x001E0001, "key A"},
    {WM_KEYDOWN, VK_ESCAPE, 0x00010001, "Escape"},
    {WM_KEYDOWN, VK_SHIFT, 0x002A0001, "Shift"},
    {WM_SYSKEYDOWN, 'Q', 0x00100001 | AltDown, "Alt+Q"},
    {WM_LBUTTONDOWN, MK_LBUTTON, 0, "left button"},
    {WM_RBUTTONDOWN, MK_RBUTTON, 0, "right button"},
    {WM_MBUTTONDOWN, MK_MBUTTON, 0, "middle button"},
    {WM_ACTIVATEAPP, 0, 0, "activation lost"},
    {WM_POWER, 3, 0, "critical resume"},
    {WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0, "query suspend"},
    {WM_POWERBROADCAST, PBT_APMSUSPEND, 0, "suspend"},
    {WM_POWERBROADCAST, PBT_APMRESUMECRITICAL, 0, "resume critical"},
    {WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0, "resume"},
    {WM_POWERBROADCAST, PBT_APMBATTERYLOW, 0, "battery low"},
    {WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0, "power status"},
    {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0, "resume automatic"},
    {WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 0, "power setting"},
    {WM_POWERBROADCAST, 12345, 0, "unknown event"},
};

// Messages that look like activity but do not end the saver by themselves.
const Trigger HarmlessMessages[] = {
    {WM_ACTIVATEAPP, 1, 0, "activation gained"},
    {WM_POWER, 1, 0, "suspend request"},
    {WM_POWER, 2, 0, "suspend resume"},
    {WM_KEYUP, 'A', static_cast<LPARAM>(0xC01E0001u), "key release"},
    {WM_SYSKEYUP, 'Q', static_cast<LPARAM>(0xC0100001u) | AltDown, "Alt+Q release"},
    {WM_CHAR, 'a', 0x001E0001, "character"},
    {WM_LBUTTONUP, 0, 0, "left release"},
    {WM_MBUTTONUP, 0, 0, "middle release"},
    {WM_LBUTTONDBLCLK, MK_LBUTTON, 0, "left double-click"},
    {WM_RBUTTONDBLCLK, MK_RBUTTON, 0, "right double-click"},
    {WM_MBUTTONDBLCLK, MK_MBUTTON, 0, "middle double-click"},
    {WM_MOUSEWHEEL, WHEEL_DELTA << 16, 0, "wheel"},
    {WM_NULL, 0, 0, "null message"},
};

class ClosingRules : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallRecordingHooks();
    PlaceCursor(640, 512);
    window = CreateRecordingWindow();
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window);
    PumpFor(150);
    TakeQueued(window, WM_CLOSE);
    ClearEvents();
  }
  void TearDown() override {
    if (IsWindow(window)) DestroyWindow(window);
  }

  // Sends one message and checks the recorded sequence and the queue.
  void ExpectCloses(const Trigger& t) {
    SCOPED_TRACE(t.name);
    ClearEvents();
    LRESULT result = SendMessageA(window, t.message, t.wParam, t.lParam);
    const Event expected[] = {
        {Received, t.message, t.wParam},
        {Posted, WM_CLOSE, 0},
        {ReachedDefault, t.message, t.wParam},
    };
    EXPECT_TRUE(MatchesSequence(expected));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(TakeQueued(window, WM_CLOSE), 1);
  }

  void ExpectDefaultOnly(const Trigger& t) {
    SCOPED_TRACE(t.name);
    ClearEvents();
    SendMessageA(window, t.message, t.wParam, t.lParam);
    const Event expected[] = {
        {Received, t.message, t.wParam},
        {ReachedDefault, t.message, t.wParam},
    };
    EXPECT_TRUE(MatchesSequence(expected));
    EXPECT_EQ(TakeQueued(window, WM_CLOSE), 0);
  }

  HWND window = nullptr;
};

TEST_F(ClosingRules, EveryTriggerPostsOneCloseAndFallsToTheDefault) {
  for (const Trigger& t : ClosingTriggers) ExpectCloses(t);
  EXPECT_EQ(CloseApproved, 0);
}

TEST_F(ClosingRules, ReleasesWheelDoubleClicksGainedActivationAndMildPowerEventsDoNotClose) {
  for (const Trigger& t : HarmlessMessages) ExpectDefaultOnly(t);
}

TEST_F(ClosingRules, SetCursorHidesTheCursorAndAnswersTrueWithoutTheDefault) {
  static const Event expected[] = {
      {Received, WM_SETCURSOR, 0, nullptr, AnyWParam},
      {CursorHidden, 0, 0},
  };
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  ClearEvents();
  LRESULT result = SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                                MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(MatchesSequence(expected));
  EXPECT_EQ(GetCursor(), nullptr);
  EXPECT_EQ(TakeQueued(window, WM_CLOSE), 0);
}

TEST_F(ClosingRules, ShowingTheWindowHidesTheCursorHidingItDoesNot) {
  static const Event shown[] = {
      {Received, WM_SHOWWINDOW, 1},
      {CursorHidden, 0, 0},
      {ReachedDefault, WM_SHOWWINDOW, 1},
  };
  static const Event hidden[] = {
      {Received, WM_SHOWWINDOW, 0},
      {ReachedDefault, WM_SHOWWINDOW, 0},
  };
  SendMessageA(window, WM_SHOWWINDOW, 1, 0);
  EXPECT_TRUE(MatchesSequence(shown));
  ClearEvents();
  SendMessageA(window, WM_SHOWWINDOW, 0, 0);
  EXPECT_TRUE(MatchesSequence(hidden));
  EXPECT_EQ(TakeQueued(window, WM_CLOSE), 0);
}

TEST_F(ClosingRules, InPreviewNothingClosesAndEverythingGetsTheDefault) {
  PreviewMode = 1;
  for (const Trigger& t : ClosingTriggers) ExpectDefaultOnly(t);
  ExpectDefaultOnly({WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), "set cursor"});
  ExpectDefaultOnly({WM_SHOWWINDOW, 1, 0, "shown"});
  EXPECT_EQ(CountEvents(CursorHidden, 0), 0u);
}

TEST_F(ClosingRules, InPreviewRealMouseMovesDoNotClose) {
  PreviewMode = 1;
  SwallowClose = true;
  POINT start = {640, 512};
  MouseAnchor = start;
  SetCursorPos(start.x + 200, start.y + 100);
  EXPECT_TRUE(PumpUntil([] { return CountEvents(Received, WM_MOUSEMOVE) > 0; }, 3000));
  PumpFor(50);
  EXPECT_EQ(CountEvents(Posted, WM_CLOSE), 0u);
  EXPECT_EQ(MouseAnchor.x, start.x);
  EXPECT_EQ(MouseAnchor.y, start.y);
}

TEST_F(ClosingRules, PreviewIsDestroyedByAnExplicitClose) {
  PreviewMode = 1;
  Win9xPlatform = 1;
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(CloseApproved, 0);
}

TEST_F(ClosingRules, WhileThePasswordCheckRunsTriggersAreIgnored) {
  CheckInProgress = 1;
  for (const Trigger& t : ClosingTriggers) ExpectDefaultOnly(t);
  ExpectDefaultOnly({WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), "set cursor"});
}

TEST_F(ClosingRules, OnceApprovedNothingMoreIsPostedAndCloseDestroys) {
  CloseApproved = 1;
  Win9xPlatform = 1;
  for (const Trigger& t : ClosingTriggers) ExpectDefaultOnly(t);
  ClearEvents();
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(CountEvents(ReachedDefault, WM_CLOSE), 1u);
}

TEST_F(ClosingRules, OnNtTheFirstCloseDestroysWithoutApproval) {
  LONG anchorX = MouseAnchor.x;
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(CloseApproved, 0);
  EXPECT_EQ(MouseAnchor.x, anchorX);
  // Destruction sends more; the close itself took the default path.
  ASSERT_GE(EventCount(), 2u);
  EXPECT_EQ(EventAt(0).kind, Received);
  EXPECT_EQ(EventAt(0).message, static_cast<UINT>(WM_CLOSE));
  EXPECT_EQ(CountEvents(ReachedDefault, WM_CLOSE), 1u);
  EXPECT_EQ(CountEvents(Received, WM_DESTROY), 1u);
}

TEST_F(ClosingRules, OnNtTheVerifyRequestGetsThePlatformDefault) {
  static const Event expected[] = {
      {Received, VerifyPasswordMessage, 0},
      {ReachedDefault, VerifyPasswordMessage, 0},
  };
  EXPECT_EQ(SendMessageA(window, VerifyPasswordMessage, 0, 0), 0);
  EXPECT_TRUE(MatchesSequence(expected));
}

TEST_F(ClosingRules, OnWin9xWithoutVerifierTheCloseIsApprovedAtOnce) {
  Win9xPlatform = 1;
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(CloseApproved, 1);
  EXPECT_EQ(CountEvents(ReachedDefault, WM_CLOSE), 1u);
}

TEST_F(ClosingRules, OnWin9xTheVerifyRequestIsAnsweredEvenDuringTheCheck) {
  static const Event expected[] = {
      {Received, VerifyPasswordMessage, 0},
  };
  Win9xPlatform = 1;
  CheckInProgress = 1;
  EXPECT_EQ(SendMessageA(window, VerifyPasswordMessage, 0, 0), 1);  // no verifier: may leave
  EXPECT_TRUE(MatchesSequence(expected));
}

int VerifierCalls = 0;
HWND VerifierWindow = nullptr;
BOOL WINAPI AnswerSeven(HWND window) {
  ++VerifierCalls;
  VerifierWindow = window;
  return 7;
}

TEST_F(ClosingRules, OnWin9xTheVerifyRequestReturnsTheVerifiersAnswer) {
  Win9xPlatform = 1;
  PasswordVerifier = AnswerSeven;
  EXPECT_EQ(SendMessageA(window, VerifyPasswordMessage, 0, 0), 7);
  EXPECT_EQ(VerifierCalls, 1);
  EXPECT_EQ(VerifierWindow, window);
}

// --- the AutoPlay query ------------------------------------------------------

class AutoPlayAnswer : public ClosingRules {
 protected:
  void SetUp() override {
    ClosingRules::SetUp();
    Win9xPlatform = 1;
    CancelAutoPlayMsg = RegisterWindowMessageA("QueryCancelAutoPlay");
    ASSERT_NE(CancelAutoPlayMsg, 0u);
  }
  void ExpectAnswer(LRESULT answer) {
    ClearEvents();
    const Event expected[] = {
        {Received, CancelAutoPlayMsg, 0},
        {Posted, WM_CLOSE, 0},
    };
    EXPECT_EQ(SendMessageA(window, CancelAutoPlayMsg, 0, 0), answer);
    EXPECT_TRUE(MatchesSequence(expected));
    EXPECT_EQ(TakeQueued(window, WM_CLOSE), 1);
  }
};

TEST_F(AutoPlayAnswer, WithoutVerifierClosesAndLetsAutoPlayRun) { ExpectAnswer(0); }

TEST_F(AutoPlayAnswer, WithVerifierClosesAndCancelsAutoPlay) {
  PasswordVerifier = AnswerSeven;
  ExpectAnswer(1);
  EXPECT_EQ(VerifierCalls, 0);
}

TEST_F(AutoPlayAnswer, HoldsInPreviewAndAfterApproval) {
  PasswordVerifier = AnswerSeven;
  PreviewMode = 1;
  ExpectAnswer(1);
  PreviewMode = 0;
  CloseApproved = 1;
  ExpectAnswer(1);
  PasswordVerifier = nullptr;
  ExpectAnswer(0);
}

TEST_F(AutoPlayAnswer, NotRegisteredMeansMessageZeroIsNoQuery) {
  CancelAutoPlayMsg = 0;
  ExpectDefaultOnly({WM_NULL, 0, 0, "null message"});
}

// --- the mouse rule, with the real cursor ------------------------------------

class MouseRule : public ClosingRules {
 protected:
  void SetUp() override {
    PlaceCursor(Anchor.x, Anchor.y);
    ClosingRules::SetUp();
    SwallowClose = true;
    PumpFor(100);
    MouseAnchor = Anchor;
    ClearEvents();
  }

  // Moves the real cursor and waits for the window to see the move.
  void MoveTo(LONG x, LONG y) {
    size_t before = CountEvents(Received, WM_MOUSEMOVE);
    SetCursorPos(x, y);
    ASSERT_TRUE(PumpUntil([&] { return CountEvents(Received, WM_MOUSEMOVE) > before; }, 3000))
        << "no WM_MOUSEMOVE after SetCursorPos(" << x << ", " << y << ")";
    PumpFor(30);
  }
  size_t Closes() { return CountEvents(Posted, WM_CLOSE); }

  const POINT Anchor = {640, 512};
};

TEST_F(MouseRule, ThreeRightOneUpStaysThreeRightTwoDownCloses) {
  MoveTo(Anchor.x + 3, Anchor.y - 1);
  EXPECT_EQ(Closes(), 0u);
  EXPECT_EQ(MouseAnchor.x, Anchor.x);
  EXPECT_EQ(MouseAnchor.y, Anchor.y);

  MoveTo(Anchor.x + 3, Anchor.y + 2);
  EXPECT_EQ(Closes(), 1u);
  EXPECT_EQ(MouseAnchor.x, Anchor.x + 3);
  EXPECT_EQ(MouseAnchor.y, Anchor.y + 2);
  EXPECT_EQ(CountEvents(Received, WM_CLOSE), 1u);  // the posted close arrived
}

TEST_F(MouseRule, ExactlyFourStaysInEveryDirection) {
  MoveTo(Anchor.x + 4, Anchor.y);
  MoveTo(Anchor.x, Anchor.y - 4);
  MoveTo(Anchor.x - 2, Anchor.y + 2);
  MoveTo(Anchor.x - 1, Anchor.y - 3);
  EXPECT_EQ(Closes(), 0u);
  MoveTo(Anchor.x - 5, Anchor.y);
  EXPECT_EQ(Closes(), 1u);
}

TEST_F(MouseRule, SmallMovesAddUpUntilTheAnchorMoves) {
  MoveTo(Anchor.x + 2, Anchor.y);
  MoveTo(Anchor.x + 4, Anchor.y);
  EXPECT_EQ(Closes(), 0u);
  MoveTo(Anchor.x + 5, Anchor.y);
  EXPECT_EQ(Closes(), 1u);
  // Measured afresh from where the close was posted.
  MoveTo(Anchor.x + 9, Anchor.y);
  EXPECT_EQ(Closes(), 1u);
  MoveTo(Anchor.x + 10, Anchor.y + 1);
  EXPECT_EQ(Closes(), 2u);
  EXPECT_EQ(MouseAnchor.x, Anchor.x + 10);
  EXPECT_EQ(MouseAnchor.y, Anchor.y + 1);
}

TEST_F(MouseRule, TheMessagesOwnCoordinatesAreNotUsed) {
  ClearEvents();
  SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(Closes(), 0u);
  MouseAnchor = {Anchor.x - 50, Anchor.y};
  SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(Anchor.x - 50, Anchor.y));
  EXPECT_EQ(Closes(), 1u);
  EXPECT_EQ(MouseAnchor.x, Anchor.x);
}

TEST_F(MouseRule, TheMoveSentWhenTheWindowComesUpDoesNotClose) {
  DestroyWindow(window);
  PumpFor(50);
  ClearEvents();
  window = CreateRecordingWindow();  // anchor recorded at creation
  SetForegroundWindow(window);
  PumpFor(500);
  EXPECT_EQ(Closes(), 0u);
  EXPECT_EQ(MouseAnchor.x, Anchor.x);
  EXPECT_EQ(MouseAnchor.y, Anchor.y);
}

TEST_F(MouseRule, ARefusedCloseMovesTheAnchor) {
  Win9xPlatform = 1;
  CheckInProgress = 1;  // a nested close during the check is refused
  SwallowClose = false;
  SetCursorPos(Anchor.x + 3, Anchor.y);
  PumpFor(100);
  ClearEvents();
  EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(MouseAnchor.x, Anchor.x + 3);
  EXPECT_EQ(MouseAnchor.y, Anchor.y);
  EXPECT_EQ(CountEvents(ReachedDefault, WM_CLOSE), 0u);
}

}  // namespace
